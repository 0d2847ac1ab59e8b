// The colour dialog's eyedropper and recent colours: a pixel picked from the
// preview at two zooms gives that pixel's colour, and the dialog offers the
// last eight colours chosen in the project, newest first, after a reload too.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, makeTempDir, openEditor, popup, screenshot, waitForEditor, waitUntil, writePng,
} from './harness.mjs';

// The lock-screen wallpaper: four bands of plain colour.
const BANDS = [[220, 40, 40], [40, 200, 60], [230, 210, 30], [40, 60, 220]];

describe('colours from the screen', () => {
    const work = makeTempDir('sw-eyedropper-');
    const home = path.join(work, 'home');
    let session;
    let page;
    let folder;
    const dialog = () => popup(page, '颜色');

    before(async () => {
        const created = createProject(home, work, 'drop', ['--theme-name', 'Drop']);
        folder = created.folder;
        writePng(path.join(folder, 'lockscreen/content/res/drawable-xxhdpi/lockscreen_wallpaper.png'), 1080, 1920,
                 (x, y) => BANDS[Math.floor(y / 480)]);
        session = await openEditor(home, created.project);
        page = session.page;
    });

    after(() => endSession(session, work));

    async function openDialog() {
        await page.locator('#package-locktop').click();
        await page.locator('#resource-tab td.tab-normal', { hasText: '文字' }).click();
        const cell = page.locator('#resource .category-block:visible .color-cell', { hasText: '6月18日 星期四' });
        await cell.locator('.color-swatch').click();
        await dialog().frame.locator('#color-ok:enabled').waitFor();
        return dialog();
    }

    // The colour of the preview picture's pixel, read on its own.
    function pixelOfPreview(x, y) {
        return page.evaluate(({ x, y }) => {
            const img = document.getElementById('preview-img');
            const canvas = document.createElement('canvas');
            canvas.width = img.naturalWidth;
            canvas.height = img.naturalHeight;
            const context = canvas.getContext('2d');
            context.drawImage(img, 0, 0);
            return Array.from(context.getImageData(x, y, 1, 1).data.slice(0, 3));
        }, { x, y });
    }

    const hex = (rgb) => rgb.map((c) => c.toString(16).padStart(2, '0')).join('');

    it('picks the pixel under the pointer at two zooms', async () => {
        const cases = [
            { zoom: 0.5, x: 100, y: 30, band: 0 },
            { zoom: 2, x: 980, y: 1700, band: 3 },
        ];
        for (const c of cases) {
            const colours = await openDialog();
            // The zoom keeps the pixel where it was on the page, so it stays
            // in sight.
            const before = await page.evaluate(({ x, y }) => PreviewCanvas.pictureToClient(x + 0.5, y + 0.5), c);
            await page.evaluate(({ zoom, at }) => PreviewCanvas.setZoom(zoom, at), { zoom: c.zoom, at: before });
            const at = await page.evaluate(({ x, y }) => PreviewCanvas.pictureToClient(x + 0.5, y + 0.5), c);
            await colours.frame.locator('#color-eyedropper').click();
            await colours.layer.waitFor({ state: 'hidden' });
            await screenshot(page, `90-eyedropper-${c.zoom}`);
            await page.mouse.click(at.x, at.y);
            await colours.layer.waitFor({ state: 'visible' });
            const expected = hex(await pixelOfPreview(c.x, c.y));
            assert.equal(await colours.frame.locator('#color-value').inputValue(), expected, `at zoom ${c.zoom}`);
            BANDS[c.band].forEach((channel, i) => {
                assert.ok(Math.abs(parseInt(expected.slice(2 * i, 2 * i + 2), 16) - channel) < 16,
                          `the pixel at zoom ${c.zoom} is of band ${c.band}: ${expected}`);
            });
            await colours.frame.locator('#color-cancel').click();
            await colours.layer.waitFor({ state: 'detached' });
            await page.evaluate(() => PreviewCanvas.fit());
        }
    });

    it('Esc leaves the colour as it was', async () => {
        const colours = await openDialog();
        const before = await colours.frame.locator('#color-value').inputValue();
        await colours.frame.locator('#color-eyedropper').click();
        await colours.layer.waitFor({ state: 'hidden' });
        await page.keyboard.press('Escape');
        await colours.layer.waitFor({ state: 'visible' });
        assert.equal(await colours.frame.locator('#color-value').inputValue(), before);
        await colours.frame.locator('#color-cancel').click();
        await colours.layer.waitFor({ state: 'detached' });
    });

    it('keeps the last eight colours used, newest first, after a reload too', async () => {
        const chosen = ['101010', '202020', '303030', '404040', '505050', '606060', '707070', '808080', '909090',
                        '303030'];
        for (const colour of chosen) {
            const colours = await openDialog();
            await colours.frame.locator('#color-value').fill(colour);
            await colours.frame.locator('#color-ok').click();
            await colours.layer.waitFor({ state: 'detached' });
        }
        // A colour typed into the list's own field is used too.
        const field = page.locator('#resource .category-block:visible .color-cell', { hasText: '6月18日 星期四' })
            .locator('.color-value');
        // The field shows the last colour chosen (with its alpha).
        await page.waitForFunction(() => $('#resource .category-block:visible .color-cell .color-value').first().val()
            .toLowerCase().endsWith('303030'));
        await field.fill('A0B0C0');
        await field.press('Enter');
        await waitUntil(() => fs.readFileSync(`${folder}.history/recent-colors.json`, 'utf8').includes('a0b0c0'),
                        'the typed colour is kept');
        const expected = ['a0b0c0', '303030', '909090', '808080', '707070', '606060', '505050', '404040'];
        const offered = async () => {
            const colours = await openDialog();
            const list = await colours.frame.locator('#color-recent span').evaluateAll(
                (cells) => cells.map((cell) => cell.getAttribute('data-color')));
            await screenshot(page, '91-recent-colours');
            await colours.frame.locator('#color-recent span').nth(3).click();
            const field = await colours.frame.locator('#color-value').inputValue();
            await colours.frame.locator('#color-cancel').click();
            await colours.layer.waitFor({ state: 'detached' });
            return { list, field };
        };
        assert.deepEqual(await offered(), { list: expected, field: expected[3] });
        await page.reload();
        await waitForEditor(page);
        assert.deepEqual(await offered(), { list: expected, field: expected[3] });
        assert.deepEqual(session.problems, []);
    });
});
