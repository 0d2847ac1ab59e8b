// Comforts of the editor as a designer uses it: quick undo presses are all
// taken, Ctrl+Y redoes, and the start page names the program's version.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    closeForm, makeTempDir, openForm, openSession, PROGRAM, runProgram, waitForEditor, waitUntil,
    valuesEntryIn,
} from './harness.mjs';

const entryIn = valuesEntryIn;

describe('the editor as a designer uses it', () => {
    const work = makeTempDir('sw-comforts-');
    const home = path.join(work, 'home');
    let project;
    let session;
    let page;

    before(async () => {
        project = runProgram(['create', '--home', home, '--name', 'comforts', '--dir', path.join(work, 'projects'),
                              '--theme-name', 'Comforts']).trim();
        session = await openSession({ home });
        page = session.page;
    });

    after(async () => {
        await session?.close();
        fs.rmSync(work, { recursive: true, force: true });
    });

    it('shows the version the program says it is', async () => {
        const version = runProgram(['--version']).trim().replace(/^skinwright /, '');
        await page.locator('#start-version').filter({ hasText: /\S/ }).waitFor();
        assert.equal(await page.locator('#start-version').textContent(), `V${version}`);
        assert.ok(fs.existsSync(PROGRAM));
    });

    it('takes every one of three quick undo presses, and Ctrl+Y redoes', async () => {
        await session.close();
        session = await openSession({ home, args: ['--open', project] });
        page = session.page;
        await waitForEditor(page);
        const dimens = path.join(path.dirname(project), 'comforts', 'launcher/content/res/values/dimens.xml');
        const widths = [entryIn(dimens, 'home_point_width')];
        const form = await openForm(page, '.btn5', '属性设置');
        for (const width of ['11dp', '12dp', '13dp']) {
            await form.frame.locator('#pageWidth').fill(width);
            await form.frame.locator('#save_attribute').click();
            await waitUntil(() => entryIn(dimens, 'home_point_width') === width, `${width} is saved`);
            await waitUntil(async () => await form.frame.locator('#pageWidth').inputValue() === width,
                            `${width} is shown as stored`);
            widths.push(width);
        }
        await closeForm(form);
        await page.waitForFunction(() => !document.getElementById('undo-button').classList.contains('is-disabled'));

        await page.locator('#preview-resolution').click();
        for (let i = 0; i < 3; ++i) {
            await page.keyboard.press('Control+z');
            await page.waitForTimeout(150);
        }
        await waitUntil(() => entryIn(dimens, 'home_point_width') === widths[0], 'all three steps are undone');
        await page.keyboard.press('Control+y');
        await waitUntil(() => entryIn(dimens, 'home_point_width') === widths[1], 'Ctrl+Y redoes one step');
        assert.deepEqual(session.problems, []);
    });
});
