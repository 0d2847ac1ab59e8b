// Comforts of the editor as a designer uses it: quick undo presses are all
// taken, Ctrl+Y redoes, the start page names the program's version, and a
// text colour keeps its alpha.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    closeForm, createProject, endSession, makeTempDir, openEditor, openForm, openSession, popup, PROGRAM, runProgram,
    screenshot, valuesEntryIn, waitUntil,
} from './harness.mjs';

const entryIn = valuesEntryIn;

describe('the editor as a designer uses it', () => {
    const work = makeTempDir('sw-comforts-');
    const home = path.join(work, 'home');
    let project;
    let session;
    let page;

    before(async () => {
        ({ project } = createProject(home, work, 'comforts', ['--theme-name', 'Comforts']));
        session = await openSession({ home });
        page = session.page;
    });

    after(() => endSession(session, work));

    it('shows the version the program says it is', async () => {
        const version = runProgram(['--version']).trim().replace(/^skinwright /, '');
        await page.locator('#start-version').filter({ hasText: /\S/ }).waitFor();
        assert.equal(await page.locator('#start-version').textContent(), `V${version}`);
        assert.ok(fs.existsSync(PROGRAM));
    });

    it('takes every one of three quick undo presses, and Ctrl+Y redoes', async () => {
        await session.close();
        session = await openEditor(home, project);
        page = session.page;
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

    it('shows and edits the alpha of a text colour, and keeps it when only the colour changes', async () => {
        const colours = path.join(path.dirname(project), 'comforts', 'lockscreen/content/res/values/colors.xml');
        const original = fs.readFileSync(colours, 'utf8');
        const entry = '<color name="lock_battery_text">#D9FFFFFF</color>';
        const body = (text) => text.replace(/^<\?xml version="1\.0" encoding="utf-8" ?\?>\n/, '');
        assert.ok(original.includes(entry), 'the template has an 85 % opaque battery text');
        // A fresh editor: the steps taken above redraw the lists a while after.
        await session.close();
        session = await openEditor(home, project);
        page = session.page;
        await page.locator('#package-locktop').click();
        await page.locator('#resource-tab td.tab-normal', { hasText: '电池' }).click();
        const cell = page.locator('#resource .category-block:visible .color-cell', { hasText: '正在充电 86%' });
        const field = cell.locator('.color-value');
        const alpha = cell.locator('.color-alpha');
        const dialog = popup(page, '颜色');
        const changes = [
            { how: 'as it opens', apply: async () => {}, argb: 'D9FFFFFF', swatch: 'rgba(255, 255, 255, 0.85)' },
            {
                how: 'a colour typed without alpha',
                apply: async () => {
                    await field.fill('ff0000');
                    await field.press('Enter');
                },
                argb: 'D9FF0000',
                swatch: 'rgba(255, 0, 0, 0.85)',
            },
            {
                how: 'the colour dialog',
                apply: async () => {
                    await cell.locator('.color-swatch').click();
                    await dialog.frame.locator('#color-value').fill('00ff00');
                    await dialog.frame.locator('#color-ok').click();
                    await dialog.layer.waitFor({ state: 'detached' });
                },
                argb: 'D900FF00',
                swatch: 'rgba(0, 255, 0, 0.85)',
            },
            { how: 'the alpha slider', apply: () => alpha.fill('128'), argb: '8000FF00', swatch: 'rgba(0, 255, 0, 0.5)' },
            {
                how: 'eight digits typed',
                apply: async () => {
                    await field.fill('#40abcdef');
                    await field.press('Enter');
                },
                argb: '40ABCDEF',
                swatch: 'rgba(171, 205, 239, 0.25)',
            },
        ];
        for (const change of changes) {
            await change.apply();
            // The file keeps its form: only the one value changes, as #AARRGGBB
            // (the declaration is printed the way every saved XML file has it).
            const expected = body(original).replace(entry, `<color name="lock_battery_text">#${change.argb}</color>`);
            await waitUntil(() => body(fs.readFileSync(colours, 'utf8')) === expected, `colors.xml after ${change.how}`);
            assert.equal(await field.inputValue(), change.argb, change.how);
            assert.equal(await alpha.inputValue(), String(parseInt(change.argb.slice(0, 2), 16)), change.how);
            assert.equal(await cell.locator('.color-swatch').evaluate((s) => getComputedStyle(s).backgroundColor),
                         change.swatch, change.how);
        }
        assert.deepEqual(session.problems, []);
    });

    it('follows every window size from 1280 x 720 up without a horizontal scroll bar', async () => {
        // Wider then narrower, only taller, only shorter, and back: the page
        // lays itself out for each size in turn.
        const sizes = [
            [1280, 720], [1920, 1080], [1280, 720], [1280, 1000], [1280, 1400], [1280, 720], [1600, 720],
            [2560, 1440], [1366, 768], [1280, 800], [1280, 720],
        ];
        for (const [width, height] of sizes) {
            await page.setViewportSize({ width, height });
            const fits = () => page.evaluate(() => {
                const root = document.documentElement;
                const resource = document.getElementById('resource').getBoundingClientRect();
                return { scroll: root.scrollWidth, client: root.clientWidth, right: resource.right, window: window.innerWidth };
            });
            await page.waitForFunction(() => {
                const root = document.documentElement;
                return root.scrollWidth <= root.clientWidth &&
                    document.getElementById('resource').getBoundingClientRect().right <= window.innerWidth;
            }, null, { timeout: 3000 }).catch(() => {});
            const seen = await fits();
            assert.ok(seen.scroll <= seen.client, `${width} x ${height}: no horizontal scroll (${JSON.stringify(seen)})`);
            assert.ok(seen.right <= seen.window, `${width} x ${height}: the resource panel is inside (${JSON.stringify(seen)})`);
        }
        await screenshot(page, '81-resized-back');
        assert.deepEqual(session.problems, []);
    });
});
