// The preview as a design canvas: zoom with the screen's own pixels at
// 100 %, hit tests that agree at every zoom, and elements moved with the
// mouse ending in the layout forms' own saves: the files are byte for byte
// what the form writes for the same numbers, one undo takes the move back,
// Esc puts a drag back, a drag stops at the form's limits, the wallpaper
// never moves, and a drag snaps to the centre line unless Alt is held.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { createProject, endSession, makeTempDir, openEditor, popup, screenshot, waitUntil } from './harness.mjs';

const PACKAGES = { '桌面': '#package-desktop', '锁屏': '#package-locktop', '通话': '#package-calltop' };

describe('the preview canvas', () => {
    const work = makeTempDir('sw-canvas-');
    const home = path.join(work, 'home');
    let folder;
    let session;
    let page;

    // Every file of the project but the drawn pictures, by relative path.
    function snapshot() {
        const files = {};
        const walk = (dir) => {
            for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
                const full = path.join(dir, entry.name);
                if (entry.isDirectory()) {
                    if (entry.name !== 'preview') {
                        walk(full);
                    }
                } else {
                    try {
                        files[path.relative(folder, full)] = fs.readFileSync(full, 'latin1');
                    } catch (error) {
                        // A file renamed over its target meanwhile.
                        if (error.code !== 'ENOENT') {
                            throw error;
                        }
                    }
                }
            }
        };
        walk(folder);
        return files;
    }

    function changedFiles(before, now) {
        return Object.keys({ ...before, ...now }).filter((name) => before[name] !== now[name]).sort();
    }

    async function showPackage(name) {
        await page.locator(PACKAGES[name]).click();
        await page.waitForFunction((pkg) => {
            const img = document.getElementById('preview-img');
            return img.complete && img.naturalWidth > 0 && PreviewSelection.boxesOf().pkg === pkg &&
                   PreviewSelection.boxes().length > 0;
        }, name);
    }

    async function setZoom(zoom) {
        await page.evaluate((z) => PreviewCanvas.setZoom(z), zoom);
    }

    // The element's box (form pixels) as the host has it now.
    async function boxOf(id) {
        return page.evaluate((element) => PreviewSelection.boxes().find((b) => b.mElementID === element), id);
    }

    // Scrolls the preview so that the form point is in view; its page point.
    async function reveal(x, y) {
        return page.evaluate(([px, py]) => {
            const area = document.getElementById('preview-area');
            const at = PreviewCanvas.pictureToClient(px, py);
            const rect = area.getBoundingClientRect();
            area.scrollLeft += at.x - (rect.left + rect.width / 2);
            area.scrollTop += at.y - (rect.top + rect.height / 2);
            return PreviewCanvas.pictureToClient(px, py);
        }, [x, y]);
    }

    // Drags from a form point by (dx, dy) CSS pixels in a few steps.
    async function drag(from, dx, dy, { alt = false, beforeRelease } = {}) {
        const start = await reveal(from.x, from.y);
        await page.mouse.move(start.x, start.y);
        await page.mouse.down();
        if (alt) {
            await page.keyboard.down('Alt');
        }
        for (let i = 1; i <= 5; ++i) {
            await page.mouse.move(start.x + (dx * i) / 5, start.y + (dy * i) / 5);
        }
        if (beforeRelease) {
            await beforeRelease();
        }
        await page.mouse.up();
        if (alt) {
            await page.keyboard.up('Alt');
        }
    }

    // Waits until the files differ from before and the save has ended: the
    // page shows no moving element and the files rest.
    async function waitForFiles(before, what) {
        await waitUntil(() => changedFiles(before, snapshot()).length > 0, what);
        await page.waitForFunction(() => document.querySelectorAll('#preview .canvas-ghost').length === 0);
        let last = snapshot();
        await waitUntil(async () => {
            await new Promise((resolve) => setTimeout(resolve, 250));
            const now = snapshot();
            const resting = changedFiles(last, now).length === 0;
            last = now;
            return resting;
        }, `the files rest after ${what}`);
        return last;
    }

    async function undo(expected) {
        await page.locator('#undo-button:not(.is-disabled)').click();
        await waitUntil(() => changedFiles(expected, snapshot()).length === 0, 'the undo restored every file');
        await page.waitForFunction(() => !document.body.classList.contains('history-busy'));
        await page.evaluate(() => PreviewSelection.reload());
    }

    // A form point inside the element that the hit test gives to it.
    async function grabPoint(id) {
        const point = await page.evaluate((element) => {
            const b = PreviewSelection.boxes().find((box) => box.mElementID === element);
            for (let i = 1; i < 12; ++i) {
                for (let j = 1; j < 12; ++j) {
                    const x = Math.floor(b.left + (b.width * i) / 12);
                    const y = Math.floor(b.top + (b.height * j) / 12);
                    const hit = PreviewSelection.hitTest(x, y);
                    if (hit && hit.mElementID === element) {
                        return { x, y };
                    }
                }
            }
            return null;
        }, id);
        assert.ok(point, `element ${id} can be grabbed somewhere`);
        return point;
    }

    async function formValues(form) {
        return page.evaluate(async (name) => (await ElementPlacement.formValues(name)).fields, form);
    }

    // Opens a layout form, types the values in and saves it.
    async function saveThroughForm(form, values) {
        const layer = popup(page, form.title);
        await page.locator(`#tool-bar ${form.button}`).click();
        await layer.frame.locator('body[data-form-ready]').waitFor({ state: 'attached' });
        for (const [field, value] of Object.entries(values)) {
            const input = layer.frame.locator(`#${field}`);
            if (await input.evaluate((el) => el.tagName === 'SELECT')) {
                await input.selectOption(value);
            } else {
                await input.fill(value);
            }
        }
        await layer.frame.locator(form.save).click();
        await layer.frame.locator('#seccess').waitFor({ state: 'visible' });
        await layer.layer.locator('.sw-popup-close').click();
        await layer.layer.waitFor({ state: 'detached' });
    }

    before(async () => {
        const created = createProject(home, work, 'canvas', ['--theme-name', 'Canvas']);
        folder = created.folder;
        session = await openEditor(home, created.project);
        page = session.page;
    });

    after(() => endSession(session, work));

    it('zooms in steps, shows the screen pixel for pixel at 100 %, and hit tests alike at every zoom', async () => {
        await showPackage('锁屏');
        const readout = () => page.locator('#preview-zoom').textContent();
        await page.locator('#preview-area').hover();
        await page.keyboard.press('Control+1');
        assert.equal(await readout(), '100%');
        const size = await page.locator('#preview-img').evaluate((img) => {
            const rect = img.getBoundingClientRect();
            return [rect.width, rect.height, img.naturalWidth, getComputedStyle(img).imageRendering];
        });
        assert.deepEqual(size, [1080, 1920, 1080, 'pixelated']);
        const seen = [];
        for (let i = 0; i < 9; ++i) {
            await page.keyboard.press('Control+Equal');
            seen.push(await readout());
        }
        assert.deepEqual(seen, ['150%', '200%', '300%', '400%', '400%', '400%', '400%', '400%', '400%']);
        seen.length = 0;
        for (let i = 0; i < 9; ++i) {
            await page.locator('#zoom-out').click();
            seen.push(await readout());
        }
        assert.deepEqual(seen, ['300%', '200%', '150%', '100%', '67%', '50%', '33%', '25%', '25%']);
        await page.keyboard.press('Control+0');
        assert.notEqual(await readout(), '25%');

        // The date line, clicked at one screen point, at three zooms.
        const date = await boxOf(9);
        const point = { x: date.left + 7, y: date.top + Math.floor(date.height / 2) };
        for (const zoom of [0.25, 1, 4]) {
            await setZoom(zoom);
            await page.evaluate(() => PreviewSelection.clear());
            const at = await reveal(point.x, point.y);
            await page.mouse.click(at.x, at.y);
            await page.locator('#preview .canvas-selection').waitFor();
            assert.equal(await page.evaluate(() => PreviewSelection.current().mElementID), 9, `zoom ${zoom}`);
            const outline = await page.locator('#preview .canvas-selection').boundingBox();
            const image = await page.locator('#preview-img').boundingBox();
            assert.ok(Math.abs(outline.x - (image.x + date.left * zoom)) <= 1, `outline left at ${zoom}`);
            assert.ok(Math.abs(outline.width - date.width * zoom) <= 1, `outline width at ${zoom}`);
        }
        // The zoom stays when the screen's module changes.
        await setZoom(2);
        await showPackage('通话');
        assert.equal(await readout(), '200%');
        await screenshot(page, 'canvas-zoom');
    });
    it('the preview area takes the room the resource list leaves, follows the window, and Ctrl+0 fits it',
       async () => {
        await showPackage('锁屏');
        const boxes = () => page.evaluate(() => {
            const box = (id) => document.getElementById(id).getBoundingClientRect();
            return { area: box('preview-area'), img: box('preview-img'), list: box('resource-column'),
                     page: document.documentElement.scrollWidth };
        });
        const resizeTo = async (width, height) => {
            const old = (await boxes()).area.width;
            await page.setViewportSize({ width, height });
            await page.waitForFunction((w) => document.getElementById('preview-area')
                .getBoundingClientRect().width !== w, old);
            // The layout rests once the window does.
            await page.waitForTimeout(200);
        };
        try {
            const sizes = [];
            for (const [width, height] of [[1920, 1080], [1440, 900], [1100, 760]]) {
                await resizeTo(width, height);
                await page.locator('#preview-area').hover();
                await page.keyboard.press('Control+0');
                const b = await boxes();
                sizes.push(b.area.width);
                // Nothing sticks out of the window; the list stays beside the preview.
                assert.ok(b.page <= width, `page ${b.page} wide in a window ${width} wide`);
                assert.ok(b.area.right <= b.list.left, `area ends at ${b.area.right}, list at ${b.list.left}`);
                assert.ok(b.list.width >= 300, `list ${b.list.width} wide`);
                // Fitted: the whole screen shows, as large as the area lets it.
                assert.ok(b.img.width <= b.area.width + 1 && b.img.height <= b.area.height + 1);
                assert.ok(Math.abs(b.img.height - b.area.height) <= 1 || Math.abs(b.img.width - b.area.width) <= 1,
                          `picture ${b.img.width}x${b.img.height} in ${b.area.width}x${b.area.height}`);
                // The room goes to the preview, past the fitted picture's width.
                if (width >= 1440) {
                    assert.ok(b.area.width > b.img.width + 100, `area ${b.area.width}, picture ${b.img.width}`);
                }
            }
            assert.ok(sizes[0] > sizes[1] && sizes[1] > sizes[2], `area widths ${sizes}`);
        } finally {
            await resizeTo(1440, 900);
        }
    });

    const FORMS = {
        lockscreen: { button: '.btn6', title: '锁屏布局', save: '#save_Lockscreentemplate' },
        weather: { button: '.btn8', title: '天气布局', save: '#save_weather' },
        callscreen: { button: '.btn9', title: '通话布局', save: '#savecallscreen' },
        animator: { button: '.btn7', title: '锁屏动画', save: '#save_LockscreenAnimator' },
    };

    // Each element, dragged by (40, 30) screen pixels with Alt held: the
    // fields its form gets (x and y; a centred text becomes left-aligned).
    const MOVES = [
        { name: 'lock date', pkg: '锁屏', id: 9, form: 'lockscreen', x: 'datex', y: 'datey',
          also: { dateCenter: '1' } },
        { name: 'lock handle', pkg: '锁屏', id: 13, form: 'lockscreen', x: 'handlex', y: 'handley' },
        { name: 'weather background', pkg: '桌面', id: 2, form: 'weather', x: null, y: 'backgroundy' },
        { name: 'answer button', pkg: '通话', id: 4, form: 'callscreen', x: 'answerx', y: 'answery' },
        // As wide as the screen: the form's rules hold its x at 0.
        { name: 'animation frame', pkg: '锁屏', id: 1, form: 'animator', x: null, y: 'AnimatorY' },
    ];
    const DX = 40;
    const DY = 30;

    for (const zoom of [1, 0.5]) {
        for (const move of MOVES) {
            it(`a drag of the ${move.name} at ${zoom * 100} % writes what its form writes, and one undo takes it back`,
               async () => {
                   await showPackage(move.pkg);
                   await setZoom(zoom);
                   const original = snapshot();
                   const shown = await formValues(move.form);
                   const moved = (field, by) => `${parseInt(shown[field], 10) + by}px`;
                   const typed = { ...move.also, [move.y]: moved(move.y, DY) };
                   if (move.x) {
                       typed[move.x] = moved(move.x, DX);
                   }
                   await drag(await grabPoint(move.id), DX * zoom, DY * zoom, { alt: true });
                   const dragged = await waitForFiles(original, 'the drag is saved');
                   assert.deepEqual(await page.evaluate(() => PreviewSelection.current()?.mElementID), move.id);
                   const after = await formValues(move.form);
                   for (const [field, value] of Object.entries(typed)) {
                       assert.equal(after[field], value, field);
                   }
                   await undo(original);

                   await saveThroughForm(FORMS[move.form], typed);
                   const saved = await waitForFiles(original, 'the form is saved');
                   assert.deepEqual(changedFiles(dragged, saved), [], 'the form wrote other bytes');
                   await undo(original);
               });
        }
    }

    it('Esc puts a drag back and writes nothing; a drag past the range stops at the limit', async () => {
        await showPackage('锁屏');
        await setZoom(0.5);
        const original = snapshot();
        const handle = await grabPoint(13);
        await drag(handle, 60, 40, { beforeRelease: () => page.keyboard.press('Escape') });
        await page.waitForTimeout(800);
        assert.deepEqual(changedFiles(original, snapshot()), []);
        assert.equal(await page.locator('#preview .canvas-ghost').count(), 0);

        const shown = await formValues('lockscreen');
        await drag(handle, -400 * 0.5, 0, { alt: true, beforeRelease: async () => {
            await page.waitForFunction(() => /0<锁子x<980/.test(document.getElementById('place-note').textContent));
        } });
        await waitForFiles(original, 'the drag is saved');
        const after = await formValues('lockscreen');
        assert.equal(after.handlex, '0px');
        assert.equal(after.handley, shown.handley);
        await undo(original);
    });

    it('the wallpaper shows it cannot move and a drag on it writes nothing', async () => {
        await showPackage('桌面');
        await setZoom(0.5);
        const original = snapshot();
        const point = await grabPoint(0);
        const at = await reveal(point.x, point.y);
        await page.mouse.move(at.x, at.y);
        await page.waitForFunction(() => document.getElementById('preview').classList.contains('cannot-move'));
        await drag(point, 80, 60);
        await page.waitForTimeout(800);
        assert.deepEqual(changedFiles(original, snapshot()), []);
    });

    it('a drag ending 5 pixels from the centre line lands on it, and with Alt where it ends', async () => {
        await showPackage('通话');
        await setZoom(1);
        const original = snapshot();
        const answer = await boxOf(4);
        const by = 545 - (answer.left + answer.width / 2);
        await drag(await grabPoint(4), by, 0);
        await waitForFiles(original, 'the snapped drag is saved');
        assert.equal((await formValues('callscreen')).answerx, `${540 - answer.width / 2}px`);
        await undo(original);

        await drag(await grabPoint(4), by, 0, { alt: true });
        await waitForFiles(original, 'the free drag is saved');
        assert.equal((await formValues('callscreen')).answerx, `${545 - answer.width / 2}px`);
        await undo(original);
    });

    it('arrow presses in a quick run are one move and one undo step', async () => {
        await showPackage('通话');
        await setZoom(1);
        const original = snapshot();
        const shown = await formValues('callscreen');
        const at = await reveal(...Object.values(await grabPoint(5)));
        await page.mouse.click(at.x, at.y);
        await page.waitForFunction(() => PreviewSelection.current()?.mElementID === 5);
        for (const key of ['ArrowRight', 'ArrowRight', 'ArrowRight', 'Shift+ArrowDown']) {
            await page.keyboard.press(key);
        }
        await waitForFiles(original, 'the nudge is saved');
        const after = await formValues('callscreen');
        assert.equal(after.hangupx, `${parseInt(shown.hangupx, 10) + 3}px`);
        assert.equal(after.hangupy, `${parseInt(shown.hangupy, 10) + 10}px`);
        await undo(original);
    });
    it('handles size a box (Shift keeps its proportions) and a text, and the readout places by typed numbers',
       async () => {
           await showPackage('通话');
           await setZoom(1);
           const original = snapshot();
           const shown = await formValues('callscreen');
           const select = async (id) => {
               await page.evaluate(() => PreviewSelection.clear());
               const at = await reveal(...Object.values(await grabPoint(id)));
               await page.mouse.click(at.x, at.y);
               await page.locator('#preview .canvas-selection').waitFor();
           };
           const dragHandle = async (edge, dx, dy, modifier) => {
               const handle = page.locator(`#preview .canvas-handle-${edge}`);
               await handle.scrollIntoViewIfNeeded();
               const box = await handle.boundingBox();
               const x = box.x + box.width / 2;
               const y = box.y + box.height / 2;
               await page.mouse.move(x, y);
               await page.mouse.down();
               if (modifier) {
                   await page.keyboard.down(modifier);
               }
               for (let i = 1; i <= 4; ++i) {
                   await page.mouse.move(x + (dx * i) / 4, y + (dy * i) / 4);
               }
               await page.mouse.up();
               if (modifier) {
                   await page.keyboard.up(modifier);
               }
           };
           await select(4);
           await dragHandle('se', 20, 10, 'Shift');
           await waitForFiles(original, 'the resize is saved');
           let after = await formValues('callscreen');
           const w = parseInt(shown.answerw, 10) + 20;
           assert.deepEqual([after.answerw, after.answerh], [`${w}px`, `${w}px`]);
           assert.equal(after.answerx, shown.answerx);
           await undo(original);

           await select(5);
           await page.locator('#place-x').fill('300');
           await page.locator('#place-x').press('Enter');
           await waitForFiles(original, 'the typed place is saved');
           after = await formValues('callscreen');
           assert.equal(after.hangupx, '300px');
           assert.equal(after.hangupy, shown.hangupy);
           await undo(original);

           await showPackage('锁屏');
           const lock = await formValues('lockscreen');
           await select(9);
           await dragHandle('se', 0, 6);
           await waitForFiles(original, 'the text size is saved');
           assert.equal((await formValues('lockscreen')).datesize, `${parseInt(lock.datesize, 10) + 6}px`);
           await undo(original);
       });
});
