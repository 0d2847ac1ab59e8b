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
export const PROGRAM = path.join(ROOT, 'build', 'skinwright');
export const SCREENSHOTS = path.join(ROOT, 'build', 'screenshots');

const CHROMIUM = process.env.SKINWRIGHT_CHROMIUM || '/usr/bin/chromium';
const CHROMIUM_ARGS = [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
];
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

// Starts `skinwright serve` and resolves once it printed its address.
export function startHost(home, extraArgs = []) {
    const child = spawn(PROGRAM, ['serve', '--no-browser', '--home', home, ...extraArgs], {
        stdio: ['ignore', 'pipe', 'pipe'],
    });
    let output = '';
    const exited = new Promise((resolve) => child.once('exit', resolve));
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
        exited.then((code) => reject(new Error(`the host exited (${code}) before it was ready:\n${output}`)));
    });
    return address.then((url) => ({
        url,
        home,
        output: () => output,
        async stop() {
            if (child.exitCode === null && child.signalCode === null) {
                child.kill('SIGTERM');
            }
            await exited;
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
