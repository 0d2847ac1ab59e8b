// How smoothly the preview follows a drag, and how soon the redrawn screen
// shows after the release: the lock screen's date line is dragged ten times
// in headless Chromium, each drag 60 pointer moves over about a second. The
// page times itself (animation frames during the drag; release to the new
// picture loaded) and the figures are printed against their goals: at least
// 50 frames a second, at most 150 ms from release to the redrawn preview.
//
//     node bench/canvas_drag.mjs        (uses build/skinwright, or SKINWRIGHT_PROGRAM)
import { median, withEditor } from './editor_session.mjs';

const DRAGS = 10;
const MOVES = 60;
const FPS_GOAL = 50;
const REDRAW_GOAL_MS = 150;

await withEditor('sw-bench-canvas-', async ({ page }) => {
    await page.locator('#package-locktop').click();
    await page.waitForFunction(() => PreviewSelection.boxesOf().pkg === '锁屏' && PreviewSelection.boxes().length);
    await page.evaluate(() => PreviewCanvas.setZoom(0.5));
    const fps = [];
    const redraw = [];
    const saves = [];
    for (let i = 0; i < DRAGS; ++i) {
        const start = await page.evaluate(() => {
            const date = PreviewSelection.boxes().find((b) => b.mElementID === 9);
            const area = document.getElementById('preview-area');
            area.scrollLeft = 0;
            area.scrollTop = 0;
            return PreviewCanvas.pictureToClient(date.left + 10, date.top + date.height / 2);
        });
        const before = await page.evaluate(() => PreviewCanvas.stats().releaseToRedrawMs);
        await page.mouse.move(start.x, start.y);
        await page.mouse.down();
        await page.keyboard.down('Alt');
        const began = Date.now();
        // Down and back up in turns, wobbling sideways, ending straight
        // below or above where it began.
        const direction = i % 2 === 0 ? 1 : -1;
        for (let m = 1; m <= MOVES; ++m) {
            const wobble = m === MOVES ? 0 : 6 * Math.sin(m / 4);
            await page.mouse.move(start.x + wobble, start.y + direction * (40 * m) / MOVES);
            const due = began + (m * 1000) / MOVES;
            if (Date.now() < due) {
                await new Promise((resolve) => setTimeout(resolve, due - Date.now()));
            }
        }
        await page.mouse.up();
        await page.keyboard.up('Alt');
        await page.waitForFunction(
            (old) => PreviewCanvas.stats().releaseToRedrawMs !== old &&
                document.querySelectorAll('#preview .canvas-ghost').length === 0,
            before, { timeout: 20_000 });
        const stats = await page.evaluate(() => PreviewCanvas.stats());
        fps.push(stats.fps);
        redraw.push(stats.releaseToRedrawMs);
        saves.push(stats.saveMs);
    }
    const fpsMedian = median(fps);
    const redrawMedian = median(redraw);
    console.log(`frames per second while dragging: median ${fpsMedian.toFixed(1)} ` +
                `(${(fpsMedian / FPS_GOAL).toFixed(2)} x the goal of ${FPS_GOAL}); ` +
                `all: ${fps.map((f) => f.toFixed(1)).join(' ')}`);
    console.log(`release to redrawn preview: median ${redrawMedian.toFixed(0)} ms ` +
                `(${(redrawMedian / REDRAW_GOAL_MS).toFixed(2)} x the goal of ${REDRAW_GOAL_MS} ms); ` +
                `all: ${redraw.map((r) => r.toFixed(0)).join(' ')}`);
    console.log(`of which the save (files written, screen drawn): median ${median(saves).toFixed(0)} ms ` +
                `(${(median(saves) / median(redraw)).toFixed(2)} of the whole)`);
});
