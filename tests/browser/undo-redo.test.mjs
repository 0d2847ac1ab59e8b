// Undo and redo in the editor: a wallpaper replaced, taken back and done
// again through the tool-bar buttons and with Ctrl+Z / Ctrl+Shift+Z, the
// preview's pixels following each step, and a change another program made
// taken back as a step of its own.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, makeTempDir, openEditor, popup, screenshot, waitForColourShare, writePng,
} from './harness.mjs';

const MAGENTA = [255, 0, 255];
const CYAN = [0, 255, 255];

// The preview picture the page shows, scaled down to 54 x 96 RGB values,
// once it has loaded.
async function previewPixels(page) {
    await page.waitForFunction(() => {
        const img = document.getElementById('preview-img');
        return img && img.complete && img.naturalWidth > 0;
    });
    return page.evaluate(() => {
        const img = document.getElementById('preview-img');
        const canvas = document.createElement('canvas');
        canvas.width = 54;
        canvas.height = 96;
        const context = canvas.getContext('2d');
        context.drawImage(img, 0, 0, 54, 96);
        const data = context.getImageData(0, 0, 54, 96).data;
        return Array.from(data).filter((_, i) => i % 4 !== 3);
    });
}

// The mean difference of two pixel lists, 0 .. 255.
function difference(a, b) {
    assert.equal(a.length, b.length);
    let sum = 0;
    for (let i = 0; i < a.length; ++i) {
        sum += Math.abs(a[i] - b[i]);
    }
    return sum / a.length;
}

describe('undo and redo in the editor', () => {
    const work = makeTempDir('sw-undo-');
    const home = path.join(work, 'home');
    const pictures = path.join(work, 'pictures');
    let session;
    let page;
    let wallpaper;
    let original;
    let originalPixels;
    const large = path.join(pictures, 'large.png');
    const preview = { selector: '#preview-img', colour: MAGENTA };

    const undoButton = () => page.locator('#undo-button');
    const redoButton = () => page.locator('#redo-button');
    const disabled = (button) => button.evaluate((el) => el.classList.contains('is-disabled'));

    before(async () => {
        fs.mkdirSync(pictures);
        writePng(large, 1080, 1920, () => MAGENTA);
        const { project } = createProject(home, work, 'undo', ['--theme-name', 'Undo']);
        session = await openEditor(home, project);
        page = session.page;
    });

    after(() => endSession(session, work));

    it('with nothing done, both buttons are greyed', async () => {
        await page.waitForFunction(() => document.getElementById('undo-button').getAttribute('aria-disabled') === 'true');
        assert.equal(await disabled(undoButton()), true);
        assert.equal(await disabled(redoButton()), true);
        await screenshot(page, '60-undo-greyed');
    });

    it('a replaced wallpaper is taken back and done again through the tool bar', async () => {
        await page.locator('#package-desktop').click();
        await page.locator('#resource-tab td.tab-normal', { hasText: '壁纸' }).click();
        wallpaper = await page.evaluate(() => ALL_RESOURCES['桌面'].category['壁纸'][0].mRes[0]);
        original = fs.readFileSync(wallpaper);
        originalPixels = await previewPixels(page);

        const files = popup(page, '打开');
        await page.locator('#resource .wallpaper-cell:visible .btn', { hasText: '替换..' }).click();
        await files.frame.locator('#file-path').fill(large);
        await files.frame.locator('#file-ok').click();
        await files.layer.waitFor({ state: 'detached' });
        await waitForColourShare(page, preview, { above: 0.3 });
        assert.ok(fs.readFileSync(wallpaper).equals(fs.readFileSync(large)));
        await page.waitForFunction(() => !document.getElementById('undo-button').classList.contains('is-disabled'));
        assert.equal(await undoButton().getAttribute('title'), `撤销：替换图片 ${path.basename(wallpaper)}`);
        assert.equal(await disabled(redoButton()), true);
        const replacedPixels = await previewPixels(page);
        assert.ok(difference(replacedPixels, originalPixels) > 30, 'the replacement shows in the preview');
        await screenshot(page, '61-undo-ready');

        await undoButton().click();
        await waitForColourShare(page, preview, { below: 0.05 });
        assert.ok(fs.readFileSync(wallpaper).equals(original), 'undo puts back the exact bytes');
        assert.ok(difference(await previewPixels(page), originalPixels) < 2, 'the preview is as before');
        await waitForColourShare(page, { selector: '#resource img.wallpapper', colour: MAGENTA }, { below: 0.05 });
        await page.waitForFunction(() => !document.getElementById('redo-button').classList.contains('is-disabled'));
        assert.equal(await redoButton().getAttribute('title'), `重做：替换图片 ${path.basename(wallpaper)}`);
        assert.equal(await disabled(undoButton()), true);
        // The editor stays where the designer was.
        assert.equal(await page.evaluate(() => CURRENT_PACKAGE_NAME), '桌面');
        assert.equal(await page.evaluate(() => CURRENT_CATEGORY_NAME), '壁纸');
        await screenshot(page, '62-undone');

        await redoButton().click();
        await waitForColourShare(page, preview, { above: 0.3 });
        assert.ok(fs.readFileSync(wallpaper).equals(fs.readFileSync(large)), 'redo puts back the new bytes');
        assert.ok(difference(await previewPixels(page), replacedPixels) < 2, 'the preview is as replaced');
        await page.waitForFunction(() => document.getElementById('redo-button').classList.contains('is-disabled'));
    });

    it('Ctrl+Z and Ctrl+Shift+Z take the same steps', async () => {
        await page.locator('#preview-resolution').click();
        await page.keyboard.press('Control+z');
        await waitForColourShare(page, preview, { below: 0.05 });
        assert.ok(fs.readFileSync(wallpaper).equals(original));
        await page.keyboard.press('Control+Shift+Z');
        await waitForColourShare(page, preview, { above: 0.3 });
        assert.ok(fs.readFileSync(wallpaper).equals(fs.readFileSync(large)));
    });

    it('a change another program made is a step of its own, taken back like an edit', async () => {
        const theirs = path.join(pictures, 'theirs.png');
        writePng(theirs, 1080, 1920, () => CYAN);
        fs.copyFileSync(theirs, wallpaper);
        await waitForColourShare(page, { selector: '#preview-img', colour: CYAN }, { above: 0.3 });
        await page.waitForFunction((name) => document.getElementById('undo-button').title === '撤销：外部修改 ' + name,
                                   path.basename(wallpaper));
        await page.locator('#preview-resolution').click();
        await page.keyboard.press('Control+z');
        await waitForColourShare(page, preview, { above: 0.3 });
        assert.ok(fs.readFileSync(wallpaper).equals(fs.readFileSync(large)), 'undo puts back the editor\'s file');
        await page.keyboard.press('Control+Shift+Z');
        await waitForColourShare(page, { selector: '#preview-img', colour: CYAN }, { above: 0.3 });
        assert.ok(fs.readFileSync(wallpaper).equals(fs.readFileSync(theirs)), 'redo puts back the other program\'s file');
        assert.deepEqual(session.problems, []);
    });
});
