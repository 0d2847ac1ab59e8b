// What every browser test needs: the real host started on a temporary home,
// headless Chromium with a fresh profile, screenshots kept under
// build/screenshots/, and small pictures written as PNG files.
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import { chromium } from 'playwright-core';

export const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
// SKINWRIGHT_PROGRAM runs another build of the program (a benchmark on a release build).
export const PROGRAM = process.env.SKINWRIGHT_PROGRAM || path.join(ROOT, 'build', 'skinwright');
export const SCREENSHOTS = path.join(ROOT, 'build', 'screenshots');

const CHROMIUM = process.env.SKINWRIGHT_CHROMIUM || '/usr/bin/chromium';
const CHROMIUM_ARGS = [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
];
// How long a test waits for a condition; drawing a project's previews takes
// several seconds in a sanitizer build.
export const TIMEOUT = Number(process.env.SKINWRIGHT_TEST_TIMEOUT) || 60_000;
const START_LINE = /Skinwright is running at (http:\/\/127\.0\.0\.1:\d+\/\?token=\S+)/;

export function makeTempDir(prefix) {
    return fs.mkdtempSync(path.join(os.tmpdir(), prefix));
}

// Runs a headless subcommand of the program and fails on a non-zero exit.
export function runProgram(args) {
    const result = spawnSync(PROGRAM, args, { encoding: 'utf8' });
    if (result.status !== 0) {
        throw new Error(`skinwright ${args.join(' ')} exited with ${result.status}: ${result.stderr}`);
    }
    return result.stdout;
}

// Starts `skinwright serve` and resolves once it printed its address. env
// adds to (or overrides) the test's own environment.
export function startHost(home, extraArgs = [], env = {}) {
    const child = spawn(PROGRAM, ['serve', '--no-browser', '--home', home, ...extraArgs], {
        stdio: ['ignore', 'pipe', 'pipe'],
        env: { ...process.env, ...env },
    });
    let output = '';
    const exited = new Promise((resolve) => child.once('exit', (code, signal) => resolve({ code, signal })));
    const address = new Promise((resolve, reject) => {
        child.stdout.setEncoding('utf8');
        child.stderr.setEncoding('utf8');
        child.stderr.on('data', (text) => { output += text; });
        child.stdout.on('data', (text) => {
            output += text;
            const match = output.match(START_LINE);
            if (match) {
                resolve(match[1]);
            }
        });
        exited.then(({ code, signal }) =>
            reject(new Error(`the host exited (${code ?? signal}) before it was ready:\n${output}`)));
    });
    return address.then((url) => ({
        url,
        home,
        output: () => output,
        // Ends the host and resolves with how it ended: { code, signal }.
        async stop() {
            if (child.exitCode === null && child.signalCode === null) {
                child.kill('SIGTERM');
            }
            return exited;
        },
    }));
}

// Headless Chromium with a profile of its own, removed on close.
export async function openBrowser() {
    const profile = makeTempDir('sw-chromium-');
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: CHROMIUM,
        headless: true,
        args: CHROMIUM_ARGS,
        viewport: { width: 1440, height: 900 },
    });
    return {
        context,
        async close() {
            await context.close();
            fs.rmSync(profile, { recursive: true, force: true });
        },
    };
}

export async function screenshot(page, name) {
    fs.mkdirSync(SCREENSHOTS, { recursive: true });
    await page.screenshot({ path: path.join(SCREENSHOTS, `${name}.png`) });
}

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; ++k) {
        c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    }
    return c >>> 0;
});

function crc32(bytes) {
    let c = 0xffffffff;
    for (const b of bytes) {
        c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
    }
    return (c ^ 0xffffffff) >>> 0;
}

function pngChunk(type, data) {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(data.length, 0);
    head.write(type, 4, 'latin1');
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
    return Buffer.concat([head, data, crc]);
}

// Writes an opaque RGB PNG whose pixel (x, y) has the colour colourAt(x, y)
// ([r, g, b]).
export function writePng(file, width, height, colourAt) {
    const stride = width * 3 + 1;
    const raw = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        raw[y * stride] = 0;
        for (let x = 0; x < width; ++x) {
            const [r, g, b] = colourAt(x, y);
            const at = y * stride + 1 + x * 3;
            raw[at] = r;
            raw[at + 1] = g;
            raw[at + 2] = b;
        }
    }
    const header = Buffer.alloc(13);
    header.writeUInt32BE(width, 0);
    header.writeUInt32BE(height, 4);
    header[8] = 8; // bits per channel
    header[9] = 2; // RGB
    fs.writeFileSync(file, Buffer.concat([
        Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
        pngChunk('IHDR', header),
        pngChunk('IDAT', zlib.deflateSync(raw)),
        pngChunk('IEND', Buffer.alloc(0)),
    ]));
}

// The newest popup with this caption: its layer in the tab's page and the
// frame that shows its page.
export function popup(page, title) {
    const caption = page.locator('.sw-popup-title', { hasText: new RegExp(`^${title}$`) });
    const layer = page.locator('.sw-popup-layer', { has: caption }).last();
    return { layer, frame: layer.frameLocator('iframe.sw-popup-frame') };
}

// The frame of a popup's page, for waiting on conditions inside it.
export async function frameOf(layer) {
    return (await layer.locator('iframe.sw-popup-frame').elementHandle()).contentFrame();
}

// Waits until the tab shows the main editor with a project loaded and the
// preview drawn.
export async function waitForEditor(page) {
    await page.waitForURL(/\/page\/104\b/);
    await page.locator('#main').waitFor({ state: 'visible' });
    await page.waitForFunction(() => {
        const img = document.getElementById('preview-img');
        return img && img.complete && img.naturalWidth > 0;
    });
}

// A stand-in for xdg-open on the host's PATH: it only writes down what the
// host asked it to open, one line per call.
export function fakeOpener(dir) {
    const bin = path.join(dir, 'bin');
    const record = path.join(dir, 'opened.txt');
    fs.mkdirSync(bin, { recursive: true });
    fs.writeFileSync(path.join(bin, 'xdg-open'), `#!/bin/sh\nprintf '%s\\n' "$*" >> '${record}'\n`, {
        mode: 0o755,
    });
    return {
        env: { PATH: `${bin}:${process.env.PATH}` },
        opened: () => (fs.existsSync(record) ? fs.readFileSync(record, 'utf8').split('\n').filter(Boolean) : []),
    };
}

// The host on a fresh home folder (unless one is given), a browser and the
// tab that shows the host's top window. Uncaught page errors and browser
// dialogs (which no page of ours should raise) are collected in `problems`.
export async function openSession({ home = makeTempDir('sw-home-'), args = [], env = {} } = {}) {
    const host = await startHost(home, args, env);
    let browser;
    try {
        browser = await openBrowser();
        const page = browser.context.pages()[0] || (await browser.context.newPage());
        page.setDefaultTimeout(TIMEOUT);
        const problems = [];
        page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
        page.on('dialog', (dialog) => {
            problems.push(`browser dialog: ${dialog.message()}`);
            dialog.dismiss().catch(() => {});
        });
        await page.goto(host.url);
        return {
            host,
            page,
            home,
            problems,
            log: () => readLog(home),
            // Closes the browser and ends the host, which must end cleanly:
            // a sanitizer report or a crash fails the test that closes it.
            async close() {
                await browser.close();
                const { code, signal } = await host.stop();
                if (code !== 0 || /Sanitizer|runtime error:/.test(host.output())) {
                    throw new Error(`the host ended with ${code ?? signal}:\n${host.output().slice(-4000)}`);
                }
            },
        };
    } catch (error) {
        if (browser) {
            await browser.close();
        }
        await host.stop();
        throw error;
    }
}

// A new project made from the template in work/projects; the folder of its
// modules is beside the project file and bears its name.
export function createProject(home, work, name, args = []) {
    const project = runProgram(['create', '--home', home, '--name', name, '--dir', path.join(work, 'projects'),
                                ...args]).trim();
    return { project, folder: path.join(path.dirname(project), name) };
}

// A session whose tab shows the editor on project, its preview drawn.
export async function openEditor(home, project, env = {}) {
    const session = await openSession({ home, args: ['--open', project], env });
    try {
        await waitForEditor(session.page);
    } catch (error) {
        await session.close().catch(() => {});
        throw error;
    }
    return session;
}

// Ends a test's session (if it began) and removes the test's folder.
export async function endSession(session, work) {
    try {
        await session?.close();
    } finally {
        fs.rmSync(work, { recursive: true, force: true });
    }
}

// The middle value of a benchmark's timings.
export function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}

// Waits for a condition outside the page (a file, a log line), checking it
// every 50 ms.
export async function waitUntil(check, what, timeout = TIMEOUT) {
    const end = Date.now() + timeout;
    while (!(await check())) {
        if (Date.now() > end) {
            throw new Error(`timed out after ${timeout} ms waiting until ${what}`);
        }
        await new Promise((resolve) => setTimeout(resolve, 50));
    }
}

export function readLog(home) {
    const file = path.join(home, 'runtime.log');
    return fs.existsSync(file) ? fs.readFileSync(file, 'utf8') : '';
}

// Runs in the page: the share of an image's pixels whose colour lies within
// `tolerance` of `colour` ([r, g, b]), counted inside `box` (fractions of the
// image: left, top, width, height; the whole image when absent). null while
// the image is still loading.
function colourShareInPage({ selector, colour, tolerance, box }) {
    const img = document.querySelector(selector);
    if (!img || !img.complete || img.naturalWidth === 0) {
        return null;
    }
    const width = img.naturalWidth;
    const height = img.naturalHeight;
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext('2d');
    context.drawImage(img, 0, 0);
    const area = box || { left: 0, top: 0, width: 1, height: 1 };
    const x = Math.max(0, Math.floor(area.left * width));
    const y = Math.max(0, Math.floor(area.top * height));
    const w = Math.max(1, Math.min(width - x, Math.ceil(area.width * width)));
    const h = Math.max(1, Math.min(height - y, Math.ceil(area.height * height)));
    const data = context.getImageData(x, y, w, h).data;
    let near = 0;
    for (let i = 0; i < data.length; i += 4) {
        if (Math.abs(data[i] - colour[0]) <= tolerance && Math.abs(data[i + 1] - colour[1]) <= tolerance &&
            Math.abs(data[i + 2] - colour[2]) <= tolerance) {
            ++near;
        }
    }
    return near / (data.length / 4);
}

// The share of an image's pixels near a colour (see colourShareInPage); probe
// is { selector, colour, tolerance = 40, box }.
export async function colourShare(page, probe) {
    await page.waitForFunction(
        (selector) => {
            const img = document.querySelector(selector);
            return img && img.complete && img.naturalWidth > 0;
        },
        probe.selector,
    );
    return page.evaluate(colourShareInPage, { tolerance: 40, ...probe });
}

// Waits until the share of pixels near the colour is above (or below) limit.
export async function waitForColourShare(page, probe, { above, below }) {
    const arg = JSON.stringify({ tolerance: 40, ...probe });
    const test = above !== undefined ? `share > ${above}` : `share < ${below}`;
    try {
        await page.waitForFunction(`(() => { const share = (${colourShareInPage})(${arg}); ` +
                                   `return share !== null && ${test}; })()`);
    } catch (error) {
        const share = await page.evaluate(colourShareInPage, JSON.parse(arg)).catch(() => 'unknown');
        error.message += `\n${probe.selector}: share of ${probe.colour} is ${share}, wanted ${test}`;
        throw error;
    }
}

// Opens a settings form from the editor's tool bar (button: a selector
// inside #tool-bar) and waits until it is filled and its buttons bound.
export async function openForm(page, button, title) {
    const form = popup(page, title);
    await page.locator(`#tool-bar ${button}`).click();
    await form.frame.locator('body[data-form-ready]').waitFor({ state: 'attached' });
    return form;
}

export async function closeForm(form) {
    await form.layer.locator('.sw-popup-close').click();
    await form.layer.waitFor({ state: 'detached' });
}

// Waits for the warning alert with this text and closes it.
export async function expectWarning(page, text) {
    const warning = popup(page, '警告');
    await warning.frame.getByText(text).waitFor();
    await warning.frame.locator('.btn-big', { hasText: '确定' }).click();
    await warning.layer.waitFor({ state: 'detached' });
}

// Every file below root/relative but the preview pictures, by its path
// relative to root, with its bytes.
export function snapshotFiles(root, relative = '') {
    const files = {};
    const walk = (dir) => {
        for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
            const full = path.join(dir, entry.name);
            if (entry.isDirectory()) {
                walk(full);
            } else if (!full.includes(`${path.sep}preview${path.sep}`)) {
                files[path.relative(root, full)] = fs.readFileSync(full, 'latin1');
            }
        }
    };
    walk(path.join(root, relative));
    return files;
}

// The text of the values entry named name in a values file.
export function valuesEntryIn(file, name) {
    const match = fs.readFileSync(file, 'utf8').match(new RegExp(`name="${name}">([^<]*)<`));
    return match ? match[1] : undefined;
}
