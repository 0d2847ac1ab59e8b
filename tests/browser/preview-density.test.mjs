// The preview at every density the pack makes: for each module and density
// the picture has that density's size, and a wallpaper shows exactly the
// pixels of that density's file in the archive the program packs (the pack's
// own resampling, not a scaled picture of xxhdpi).
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, makeTempDir, openEditor, runProgram, screenshot, waitUntil, writePng,
} from './harness.mjs';

// The entries of a zip archive by name (stored or deflated).
function readZip(buffer) {
    let end = buffer.length - 22;
    while (end >= 0 && buffer.readUInt32LE(end) !== 0x06054b50) {
        --end;
    }
    assert.ok(end >= 0, 'the archive has an end record');
    const count = buffer.readUInt16LE(end + 10);
    let at = buffer.readUInt32LE(end + 16);
    const entries = {};
    for (let i = 0; i < count; ++i) {
        const method = buffer.readUInt16LE(at + 10);
        const size = buffer.readUInt32LE(at + 20);
        const nameLength = buffer.readUInt16LE(at + 28);
        const extra = buffer.readUInt16LE(at + 30);
        const comment = buffer.readUInt16LE(at + 32);
        const local = buffer.readUInt32LE(at + 42);
        const name = buffer.toString('utf8', at + 46, at + 46 + nameLength);
        const dataAt = local + 30 + buffer.readUInt16LE(local + 26) + buffer.readUInt16LE(local + 28);
        const data = buffer.subarray(dataAt, dataAt + size);
        entries[name] = method === 8 ? zlib.inflateRawSync(data) : Buffer.from(data);
        at += 46 + nameLength + extra + comment;
    }
    return entries;
}

// A wallpaper whose fine pattern no two resamplers turn into the same pixels.
function pattern(x, y) {
    return [(x * 7 + y * 3) % 256, (x * x + y * 5) % 251, ((x ^ y) * 13) % 256];
}

// Module page name, its button, its wallpaper file and, by density, the
// density's size and the wallpaper's file in the module's res.zip (null
// where the archive keeps none of its own for that density).
const MODULES = [
    {
        name: '桌面', button: '#package-desktop', folder: 'launcher', archive: 'content/launcher',
        wallpaper: 'wallpaper_grass.png',
        densities: {
            hdpi: [540, 960, 'drawable-hdpi'], xhdpi: [720, 1280, 'drawable-xhdpi'],
            xxhdpi: [1080, 1920, 'drawable-xxhdpi'], xxxhdpi: [1440, 2560, null],
        },
    },
    {
        name: '锁屏', button: '#package-locktop', folder: 'lockscreen', archive: 'content/lockscreen',
        wallpaper: 'lockscreen_wallpaper.png',
        densities: {
            hdpi: [540, 960, 'hdpi'], hdpi_720x1280: [720, 1280, 'hdpi_720x1280'], xhdpi: [720, 1280, 'xhdpi'],
            xxhdpi: [1080, 1920, 'xxhdpi'], xxxhdpi: [1440, 2560, 'xxxhdpi_1440x2560'],
        },
    },
    {
        name: '通话', button: '#package-calltop', folder: 'screencall', archive: 'content/callscreen',
        wallpaper: 'custom_wallpaper.png',
        densities: {
            hdpi: [540, 960, 'hdpi'], xhdpi: [720, 1280, 'xhdpi'], xxhdpi: [1080, 1920, 'xxhdpi'],
            xxxhdpi: [1440, 2560, 'xxxhdpi'],
        },
    },
];

describe('the preview at every density', () => {
    const work = makeTempDir('sw-density-');
    const home = path.join(work, 'home');
    let session;
    let page;
    let resources;  // res.zip entries by module folder
    let folder;     // the project's modules

    before(async () => {
        let project;
        ({ project, folder } = createProject(home, work, 'dens', ['--theme-name', 'Dens']));
        for (const module of MODULES) {
            writePng(path.join(folder, module.folder, 'content/res/drawable-xxhdpi', module.wallpaper), 1080, 1920,
                     pattern);
        }
        const out = path.join(work, 'out');
        fs.mkdirSync(out);
        runProgram(['pack', project, '--name', 'dens', '--out', out, '--home', home]);
        const theme = readZip(fs.readFileSync(path.join(out, 'dens.zip')));
        resources = {};
        for (const module of MODULES) {
            resources[module.folder] = readZip(theme[`${module.archive}/content/res.zip`]);
        }
        session = await openEditor(home, project);
        page = session.page;
    });

    after(() => endSession(session, work));

    // The file's entry in res.zip, whether the archive names it from res or
    // from inside it.
    function densityFile(module, folder) {
        const entries = resources[module.folder];
        const name = Object.keys(entries).find((entry) => entry.endsWith(`${folder}/${module.wallpaper}`));
        assert.ok(name, `${module.archive} packs ${folder}/${module.wallpaper}`);
        return entries[name];
    }

    // Squares of the form's 1080 x 1920 screen that no element but the
    // wallpaper touches, with room around them.
    async function bareSquares(module) {
        const boxes = await page.evaluate(async (name) => ParseJson(await external.GetScreenElements(name, 0)),
                                          module.name);
        const squares = [];
        for (let y = 0; y + 48 <= 1920 && squares.length < 6; y += 48) {
            for (let x = 0; x + 48 <= 1080 && squares.length < 6; x += 48) {
                const touched = boxes.some((b) => !(b.left === 0 && b.top === 0 && b.width >= 1080) &&
                    b.left < x + 60 && b.left + Math.max(b.width, 200) > x - 12 &&
                    b.top < y + 60 && b.top + Math.max(b.height, 80) > y - 12);
                if (!touched) {
                    squares.push({ x, y });
                }
            }
        }
        assert.ok(squares.length > 0, `${module.name} shows bare wallpaper somewhere`);
        return squares;
    }

    // The RGB pixels of the preview and of the archive's file in one square
    // of the density's picture.
    async function pixels(file, square) {
        return page.evaluate(async ({ data, square }) => {
            const read = (img) => {
                const canvas = document.createElement('canvas');
                canvas.width = square.size;
                canvas.height = square.size;
                const context = canvas.getContext('2d');
                context.drawImage(img, square.x, square.y, square.size, square.size, 0, 0, square.size,
                                  square.size);
                return Array.from(context.getImageData(0, 0, square.size, square.size).data);
            };
            const packed = new Image();
            packed.src = `data:image/png;base64,${data}`;
            await packed.decode();
            return { shown: read(document.getElementById('preview-img')), packed: read(packed) };
        }, { data: file.toString('base64'), square });
    }

    for (const module of MODULES) {
        it(`${module.name}: each density has its size and the archive's pixels`, async () => {
            await page.locator(module.button).click();
            const wanted = Object.keys(module.densities).sort().join(' ');
            await page.waitForFunction((names) => $('#preview-density option').map(function () {
                return this.value;
            }).get().sort().join(' ') === names, wanted);
            const squares = await bareSquares(module);
            for (const [density, [width, height, folder]] of Object.entries(module.densities)) {
                await page.selectOption('#preview-density', density);
                const label = `${density} (${width} x ${height})`;
                await page.waitForFunction(([w, h, text]) => {
                    const img = document.getElementById('preview-img');
                    return $('#preview-resolution').text() === text && img.complete && img.naturalWidth === w &&
                           img.naturalHeight === h;
                }, [width, height, label]);
                if (folder === null) {
                    continue;
                }
                const file = densityFile(module, folder);
                const scale = width / 1080;
                let worst = 0;
                let worstMean = 0;
                for (const { x, y } of squares) {
                    const square = { x: Math.ceil(x * scale), y: Math.ceil(y * scale), size: Math.floor(40 * scale) };
                    const { shown, packed } = await pixels(file, square);
                    const sums = [0, 0, 0, 0];
                    for (let i = 0; i < shown.length; ++i) {
                        sums[i % 4] += shown[i] - packed[i];
                        worst = Math.max(worst, Math.abs(shown[i] - packed[i]));
                    }
                    for (const sum of sums) {
                        worstMean = Math.max(worstMean, Math.abs(sum / (shown.length / 4)));
                    }
                }
                if (density === 'xxhdpi') {
                    // The editor's own picture is a JPEG: the same colours
                    // on average, not pixel for pixel.
                    assert.ok(worstMean < 3, `${module.name} xxhdpi differs by ${worstMean} on average`);
                } else {
                    assert.equal(worst, 0, `${module.name} ${density} shows the packed file's pixels`);
                }
            }
            await screenshot(page, `80-density-${module.folder}`);
            await page.selectOption('#preview-density', 'xxhdpi');
        });
    }

    it('a density is kept per module, and the canvas works on its pixels', async () => {
        await page.locator('#package-calltop').click();
        await page.selectOption('#preview-density', 'xhdpi');
        await page.waitForFunction(() => document.getElementById('preview-img').naturalWidth === 720);
        assert.ok(Math.abs(await page.evaluate(() => PreviewCanvas.formScale()) - 1 / 0.66) < 1e-9);
        await page.locator('#package-desktop').click();
        await page.waitForFunction(() => document.getElementById('preview-img').naturalWidth === 1080);
        await page.locator('#package-calltop').click();
        assert.equal(await page.locator('#preview-density').inputValue(), 'xhdpi');
        await page.waitForFunction(() => document.getElementById('preview-img').naturalWidth === 720);
        // The readout shows the density's own numbers, as the layout forms
        // write them, and a typed number becomes the form number they turn
        // into it.
        assert.deepEqual(await page.evaluate(() => [PreviewDensity.toShown(260), PreviewDensity.toForm(171),
                                                    PreviewDensity.toForm(33)]),
                         [171, 260, 50]);
        // A click on the answer button where the xhdpi picture shows it
        // selects it; a number typed in the readout is the one the xhdpi
        // layout gets.
        const answer = await page.evaluate(async () => ParseJson(await external.GetScreenElements('通话', 0))[4]);
        const at = await page.evaluate(({ x, y }) => PreviewCanvas.pictureToClient(x, y),
                                       { x: (answer.left + answer.width / 2) * 0.66,
                                         y: (answer.top + answer.height / 2) * 0.66 });
        await page.mouse.click(at.x, at.y);
        await page.waitForFunction(() => PreviewSelection.current() && PreviewSelection.current().mElementID === 4);
        assert.equal(await page.locator('#place-x').inputValue(), String(Math.trunc(answer.left * 0.66)));
        await page.locator('#place-x').fill('401');
        await page.locator('#place-x').press('Enter');
        const layout = path.join(folder, 'screencall/content/res/xhdpi/lockscreen.xml');
        await waitUntil(() => /<ButtonAnswer x="401"/.test(fs.readFileSync(layout, 'utf8')),
                        'the xhdpi layout has the typed x');
        await page.waitForFunction(() => document.getElementById('preview-img').naturalWidth === 720);
        assert.deepEqual(session.problems, []);
    });
});
