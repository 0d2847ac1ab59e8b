// The start page as the editor's home: closing the editor comes back to it,
// it lists the projects opened last (newest first, a missing one greyed and
// removable, each one opened by a click), and the editor's title names the
// open project.
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, makeTempDir, openEditor, popup, screenshot, waitForEditor, waitUntil,
} from './harness.mjs';

const TITLE = 'Quindo手机主题制作工具';

describe('the start page lists the projects opened last', () => {
    const work = makeTempDir('sw-start-');
    const home = path.join(work, 'home');
    const projects = {};
    let session;
    let page;

    // The rows of the list as the designer reads them.
    const rows = () => page.locator('#recent-projects .recent-project').evaluateAll((all) => all.map((row) => ({
        name: row.querySelector('.recent-name').textContent,
        folder: row.querySelector('.recent-folder').textContent,
        missing: row.classList.contains('recent-missing'),
    })));

    async function closeEditor() {
        await page.locator('#caption-close').click();
        await page.waitForURL(/\/page\/106\b/);
        await page.locator('#create-open-div').waitFor({ state: 'visible' });
    }

    before(async () => {
        for (const name of ['harbor', 'meadow']) {
            projects[name] = createProject(home, work, name, ['--theme-name', name]).project;
        }
        session = await openEditor(home, projects.harbor);
        page = session.page;
    });

    after(() => endSession(session, work));

    it('comes back to the start page when the editor closes, and opens from the list', async () => {
        await page.waitForFunction((title) => document.title === `harbor - ${title}`, TITLE);

        // While a push (of this program or another) holds the push lock,
        // closing asks first; 取消 keeps the editor.
        const lock = path.join(home, 'themetool.lock');
        const push = spawn('flock', ['--no-fork', lock, 'sleep', '120'], { stdio: 'ignore' });
        try {
            await waitUntil(() => spawnSync('flock', ['-n', lock, 'true']).status !== 0, 'the push lock is held');
            await page.locator('#caption-close').click();
            await page.locator('#close-question', { hasText: '正在导入手机' }).waitFor();
            await screenshot(page, '82-close-question');
            await page.locator('#close-question-no').click();
            await page.locator('#close-question').waitFor({ state: 'detached' });
            assert.match(page.url(), /\/page\/104\b/);
        } finally {
            push.kill();
        }
        await waitUntil(() => spawnSync('flock', ['-n', lock, 'true']).status === 0, 'the push lock is free');
        await closeEditor();
        await page.locator('#recent-projects .recent-project').first().waitFor();
        assert.deepEqual(await rows(), [{ name: 'harbor', folder: path.dirname(projects.harbor), missing: false }]);

        // Another project through the file dialog, then back: newest first.
        const files = popup(page, '打开');
        await page.locator('#btn-open').click();
        await files.frame.locator('#file-path').fill(projects.meadow);
        await files.frame.locator('#file-ok').click();
        await waitForEditor(page);
        await page.waitForFunction((title) => document.title === `meadow - ${title}`, TITLE);
        // The harbor project goes away meanwhile.
        fs.renameSync(projects.harbor, `${projects.harbor}.moved`);
        await closeEditor();
        await page.locator('#recent-projects .recent-missing').waitFor();
        assert.deepEqual(await rows(), [
            { name: 'meadow', folder: path.dirname(projects.meadow), missing: false },
            { name: 'harbor', folder: path.dirname(projects.harbor), missing: true },
        ]);
        await screenshot(page, '80-recent-projects');

        // A greyed row opens nothing; its cross takes it out of the list.
        await page.locator('#recent-projects .recent-missing .recent-name').click();
        assert.match(page.url(), /\/page\/106\b/);
        await page.locator('#recent-projects .recent-missing .recent-remove').click();
        await page.locator('#recent-projects .recent-missing').waitFor({ state: 'detached' });
        assert.deepEqual((await rows()).map((row) => row.name), ['meadow']);

        await page.locator('#recent-projects .recent-project', { hasText: 'meadow' }).click();
        await waitForEditor(page);
        await page.waitForFunction((title) => document.title === `meadow - ${title}`, TITLE);
        const kept = JSON.parse(fs.readFileSync(path.join(home, 'recent-projects.json'), 'utf8'));
        assert.deepEqual(kept.projects.map((project) => project.path), [projects.meadow]);
        assert.deepEqual(session.problems, []);
    });
});
