// How long the page waits for a redraw of the home screens: the wallpaper
// (element 0 of the first home screen) is shown again through the page's
// own command, external.Redraw, which draws all six home screens and their
// thumbnails, twenty times after a warm-up, in headless Chromium. The page
// times itself (performance.now): the command's round trip, and the time
// from the call until the shown screen's new picture has loaded. Both
// medians are printed against the goal of 60 ms, with the processor time
// the host spent a call (which a busy machine stretches less than the
// clock).
//
//     node bench/redraw_roundtrip.mjs   (uses build/skinwright, or SKINWRIGHT_PROGRAM;
//                                        measure a Release build)
import fs from 'node:fs';
import { median, withEditor } from './editor_session.mjs';

const WARM_UP = 3;
const CALLS = 20;
const GOAL_MS = 60;

// The process id of the host serving this home folder.
function hostProcess(home) {
    for (const name of fs.readdirSync('/proc')) {
        if (!/^\d+$/.test(name)) {
            continue;
        }
        try {
            const args = fs.readFileSync(`/proc/${name}/cmdline`, 'utf8').split('\0');
            if (args.includes('serve') && args.includes(home)) {
                return name;
            }
        } catch {
            // A process that ended meanwhile.
        }
    }
    throw new Error(`no host serves ${home}`);
}

// The processor time a process has used so far, in milliseconds.
function processorMs(pid) {
    const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
    // utime and stime, fields 14 and 15 of the whole line, in clock ticks of 10 ms.
    return (Number(fields[11]) + Number(fields[12])) * 10;
}

await withEditor('sw-bench-redraw-', async ({ page, home }) => {
    const host = hostProcess(home);
    await page.locator('#package-desktop').click();
    await page.waitForFunction(() => CURRENT_PACKAGE_NAME === '桌面' && CURRENT_SCREEN_ID === 0);
    let cpuBefore = 0;
    await page.exposeFunction('benchCallsBegin', () => {
        cpuBefore = processorMs(host);
    });
    const runs = await page.evaluate(async ({ warmUp, calls }) => {
        const picture = document.getElementById('preview-img');
        // The next picture the preview loads, as a time.
        const nextLoad = () =>
            new Promise((resolve) => picture.addEventListener('load', () => resolve(performance.now()), { once: true }));
        const one = async () => {
            const shown = nextLoad();
            const started = performance.now();
            let answered = 0;
            const command = async () => {
                const drawn = await external.Redraw(CURRENT_PACKAGE_NAME, CURRENT_SCREEN_ID, 0, 0);
                answered = performance.now();
                return drawn;
            };
            // The page's own way: the preview refreshed as soon as the host
            // says the shown screen is drawn; an older page refreshes it
            // after the answer.
            let drawn;
            if (typeof RedrawAndShow === 'function') {
                drawn = await RedrawAndShow(command);
            } else {
                drawn = await command();
                RefreshPreview();
            }
            const loaded = await shown;
            // Whatever the page still loads is done before the next call.
            while (!picture.complete) {
                await new Promise((resolve) => setTimeout(resolve, 1));
            }
            return { drawn, call: answered - started, shown: loaded - started };
        };
        for (let i = 0; i < warmUp; ++i) {
            await one();
        }
        await window.benchCallsBegin();
        const all = [];
        for (let i = 0; i < calls; ++i) {
            all.push(await one());
        }
        return all;
    }, { warmUp: WARM_UP, calls: CALLS });
    const cpuPerCall = (processorMs(host) - cpuBefore) / CALLS;
    if (runs.some((run) => !run.drawn)) {
        throw new Error('external.Redraw answered false');
    }
    const report = (what, times) => {
        const middle = median(times);
        console.log(`${what}: median ${middle.toFixed(1)} ms (${(middle / GOAL_MS).toFixed(2)} x the goal of ` +
                    `${GOAL_MS} ms); all: ${times.map((t) => t.toFixed(0)).join(' ')}`);
    };
    report('external.Redraw round trip', runs.map((run) => run.call));
    report('call to the shown screen\'s new picture', runs.map((run) => run.shown));
    console.log(`host processor time: ${cpuPerCall.toFixed(1)} ms a call (all cores together)`);
});
