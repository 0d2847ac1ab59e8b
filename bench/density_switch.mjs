// How soon the preview shows another density: the chooser under the preview
// is switched twenty times between the densities of each module of the
// template in headless Chromium. The page times itself from the choice to
// the new picture loaded (PreviewDensity.stats()), and the median is printed
// against the goal of 300 ms.
//
//     node bench/density_switch.mjs      (uses build/skinwright, or SKINWRIGHT_PROGRAM)
import fs from 'node:fs';
import path from 'node:path';
import { makeTempDir, median, openSession, runProgram, waitForEditor } from '../tests/browser/harness.mjs';

const SWITCHES = 20;
const GOAL_MS = 300;
const MODULES = [
    { button: '#package-desktop', densities: ['hdpi', 'xhdpi', 'xxxhdpi'] },
    { button: '#package-locktop', densities: ['hdpi', 'hdpi_720x1280', 'xhdpi', 'xxxhdpi'] },
    { button: '#package-calltop', densities: ['hdpi', 'xhdpi', 'xxxhdpi'] },
];

const work = makeTempDir('sw-bench-density-');
const home = path.join(work, 'home');
const project = runProgram(['create', '--home', home, '--name', 'bench', '--dir', path.join(work, 'projects')]).trim();
const session = await openSession({ home, args: ['--open', project] });
const page = session.page;
try {
    await waitForEditor(page);
    for (const module of MODULES) {
        await page.locator(module.button).click();
        const times = [];
        const draws = [];  // of each, the host's drawing until its answer
        for (let i = 0; i < SWITCHES; ++i) {
            const density = module.densities[i % module.densities.length];
            const before = await page.evaluate(() => PreviewDensity.stats().switches);
            await page.selectOption('#preview-density', density);
            await page.waitForFunction((old) => PreviewDensity.stats().switches !== old, before,
                                       { timeout: 20_000 });
            const stats = await page.evaluate(() => PreviewDensity.stats());
            times.push(stats.switchMs);
            draws.push(stats.drawMs);
        }
        await page.selectOption('#preview-density', 'xxhdpi');
        const middle = median(times);
        console.log(`${module.button}: choice to picture, median ${middle.toFixed(0)} ms ` +
                    `(${(middle / GOAL_MS).toFixed(2)} x the goal of ${GOAL_MS} ms); ` +
                    `all: ${times.map((t) => t.toFixed(0)).join(' ')}; ` +
                    `the host's drawing of them: median ${median(draws).toFixed(0)} ms, ` +
                    `all: ${draws.map((t) => t.toFixed(0)).join(' ')}`);
    }
} finally {
    await session.close();
    fs.rmSync(work, { recursive: true, force: true });
}
