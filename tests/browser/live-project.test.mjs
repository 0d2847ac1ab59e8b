// A live project: 刷新 shows what the files hold now; an image another
// program writes shows in the preview by itself, within a second, and undo
// takes that outside change back.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, makeTempDir, openEditor, readLog, screenshot, waitForColourShare, waitUntil, writePng,
} from './harness.mjs';

const MAGENTA = [255, 0, 255];
const CYAN = [0, 255, 255];
const YELLOW = [255, 255, 0];

describe('a live project', () => {
    const work = makeTempDir('sw-live-');
    const home = path.join(work, 'home');
    const pictures = path.join(work, 'pictures');
    let session;
    let page;
    let wallpaper;
    const preview = (colour) => ({ selector: '#preview-img', colour });

    before(async () => {
        fs.mkdirSync(pictures);
        const { project } = createProject(home, work, 'live', ['--theme-name', 'Live']);
        session = await openEditor(home, project);
        page = session.page;
        await page.locator('#package-desktop').click();
        wallpaper = await page.evaluate(() => ALL_RESOURCES['桌面'].category['壁纸'][0].mRes[0]);
        await waitUntil(() => readLog(home).includes('watching '), 'the project is watched');
    });

    after(() => endSession(session, work));

    // The time it takes is reported, not asserted: a sanitizer build on a busy
    // machine is no measure of speed.
    it('an image written from outside shows in the preview by itself', async (t) => {
        const theirs = path.join(pictures, 'theirs.png');
        writePng(theirs, 1080, 1920, () => MAGENTA);
        const beside = `${wallpaper}.part`;
        fs.copyFileSync(theirs, beside);
        const written = Date.now();
        fs.renameSync(beside, wallpaper);
        await waitForColourShare(page, preview(MAGENTA), { above: 0.3 });
        t.diagnostic(`the preview followed ${Date.now() - written} ms after the rename`);
        await page.waitForFunction(() => document.getElementById('undo-button').title === '撤销：外部修改 ' +
                                   String(ALL_RESOURCES['桌面'].category['壁纸'][0].mRes[0]).split('/').pop());
        await screenshot(page, '70-live-outside-write');
    });

    it('undo takes the outside change back', async () => {
        await page.locator('#undo-button').click();
        await waitForColourShare(page, preview(MAGENTA), { below: 0.05 });
        await page.waitForFunction(() => document.getElementById('redo-button').title.startsWith('重做：外部修改'));
        await page.locator('#redo-button').click();
        await waitForColourShare(page, preview(MAGENTA), { above: 0.3 });
    });

    it('an undecodable file keeps the picture and marks its list entry', async () => {
        await page.locator('#resource-tab td.tab-normal', { hasText: '壁纸' }).click();
        fs.writeFileSync(wallpaper, 'not an image');
        await page.locator('#resource .wallpaper-cell.resource-broken .live-mark').waitFor();
        await waitForColourShare(page, preview(MAGENTA), { above: 0.3 });
        writePng(wallpaper, 1080, 1920, () => CYAN);
        await waitForColourShare(page, preview(CYAN), { above: 0.3 });
        // The shown screen is drawn and shown first; the list hears of the
        // change when every screen is drawn.
        await page.locator('#resource .wallpaper-cell.resource-broken').waitFor({ state: 'detached' });
    });

    it('刷新 shows what the files hold now, where the designer was', async () => {
        // Written in place while the page does not look: 刷新 reads it again.
        writePng(wallpaper, 1080, 1920, () => YELLOW);
        await page.locator('#tool-bar .btn3[title="刷新"]:visible').click();
        await waitForColourShare(page, preview(YELLOW), { above: 0.3 });
        assert.equal(await page.evaluate(() => CURRENT_PACKAGE_NAME), '桌面');
        assert.equal(await page.evaluate(() => CURRENT_CATEGORY_NAME), '壁纸');
        assert.deepEqual(session.problems, []);
    });
});
