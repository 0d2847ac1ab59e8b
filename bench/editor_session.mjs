// What the page benchmarks share: a project made from the template, open in
// the editor in headless Chromium, and the median of their timings.
import fs from 'node:fs';
import path from 'node:path';
import { createProject, makeTempDir, openEditor } from '../tests/browser/harness.mjs';

export { median } from '../tests/browser/harness.mjs';

// Runs work({ page, home, work }) on a new project open in the editor, and
// cleans up after it.
export async function withEditor(prefix, work) {
    const folder = makeTempDir(prefix);
    const home = path.join(folder, 'home');
    const { project } = createProject(home, folder, 'bench');
    const session = await openEditor(home, project);
    try {
        await work({ page: session.page, home, work: folder });
    } finally {
        await session.close();
        fs.rmSync(folder, { recursive: true, force: true });
    }
}
