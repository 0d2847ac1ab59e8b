// A designer's first session: a project made from the start window, then
// looked at and edited in the main editor (packages, screens, tabs, preview
// clicks, the wallpaper and a text colour).
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    colourShare, endSession, frameOf, makeTempDir, openSession, popup, screenshot, waitForColourShare, waitForEditor,
    writePng,
} from './harness.mjs';

const PACKAGES = [
    { item: '#package-desktop', name: '桌面', module: 'launcher', screens: 6 },
    { item: '#package-locktop', name: '锁屏', module: 'lockscreen', screens: 1 },
    { item: '#package-calltop', name: '通话', module: 'screencall', screens: 1 },
];
const MAGENTA = [255, 0, 255];
const CYAN = [0, 255, 255];
const RED = [255, 0, 0];

// The editor's data as the page holds it.
function pageState(page) {
    return page.evaluate(() => ({
        resources: ALL_RESOURCES,
        categories: ALL_CATEGORY,
        package: CURRENT_PACKAGE_NAME,
        screen: CURRENT_SCREEN_ID,
        category: CURRENT_CATEGORY_NAME,
        ratio: PREVIEW_ZOOM_RATIO,
        previewWidth: CURRENT_PREVIEW_AREA_WIDTH,
        previewHeight: CURRENT_PREVIEW_AREA_HEIGHT,
    }));
}

// The file the preview shows, from its address (/file?path=...&t=...).
async function previewFile(page) {
    const src = await page.locator('#preview-img').getAttribute('src');
    return new URL(src, 'http://host').searchParams.get('path');
}

async function activeIndicator(page) {
    return page.locator('#screen-indicators img').evaluateAll(
        (images) => images.findIndex((img) => img.getAttribute('src').endsWith('/res/PNG/160')));
}

async function closeAlert(page, title) {
    const alert = popup(page, title);
    await alert.frame.locator('.btn-big', { hasText: '确定' }).click();
    await alert.layer.waitFor({ state: 'detached' });
}

describe('a project made from the start window and edited', () => {
    const work = makeTempDir('sw-create-');
    const projects = path.join(work, 'projects');
    const pictures = path.join(work, 'pictures');
    let session;
    let page;

    before(async () => {
        fs.mkdirSync(projects);
        fs.mkdirSync(pictures);
        session = await openSession({ home: path.join(work, 'home') });
        page = session.page;
    });

    after(() => endSession(session, work));

    it('the start page offers its three actions', async () => {
        for (const id of ['#btn-new', '#btn-open', '#btn-push']) {
            await page.locator(id).waitFor({ state: 'visible' });
        }
        assert.equal(await page.locator('#opening-div').isVisible(), false);
        assert.equal(await page.locator('#creating-div').isVisible(), false);
        await screenshot(page, '01-start');
    });

    it('the create form refuses an empty name and takes its folder from the folder dialog', async () => {
        const form = popup(page, '新建主题包');
        // Cancelled, the form leaves the start page as it was and creates nothing.
        await page.locator('#btn-new').click();
        await form.frame.locator('#cancel_create').click();
        await form.layer.waitFor({ state: 'detached' });
        await page.locator('#create-open-div').waitFor({ state: 'visible' });
        assert.deepEqual(fs.readdirSync(path.join(session.home, 'work')), []);

        await page.locator('#btn-new').click();
        await form.frame.locator('#prj_name').waitFor({ state: 'visible' });
        await page.locator('#creating-div').waitFor({ state: 'visible' });
        assert.equal(await page.locator('#create-open-div').isVisible(), false);
        // The form starts in the home folder's work folder.
        await (await frameOf(form.layer)).waitForFunction(
            (folder) => document.getElementById('theme_path').value === folder, path.join(session.home, 'work'));
        await screenshot(page, '02-create-form');

        // No name: the warning, and the form stays.
        await form.frame.locator('#create_theme').click();
        const warning = popup(page, '警告');
        await warning.frame.getByText('请填写主题包名称').waitFor();
        assert.equal(await warning.frame.getByText('查看错误信息').count(), 1);
        await screenshot(page, '03-create-empty-name');
        await closeAlert(page, '警告');
        assert.equal(await form.layer.isVisible(), true);

        // The folder dialog: cancelled, a folder that does not exist, then a real one.
        const themePath = form.frame.locator('#theme_path');
        const before = await themePath.inputValue();
        const folders = popup(page, '浏览文件夹');
        await form.frame.locator('#select_path').click();
        await folders.frame.locator('#folder-path').waitFor({ state: 'visible' });
        await screenshot(page, '04-folder-dialog');
        await folders.frame.locator('#folder-cancel').click();
        await folders.layer.waitFor({ state: 'detached' });
        assert.equal(await themePath.inputValue(), before);

        await form.frame.locator('#select_path').click();
        await folders.frame.locator('#folder-path').fill(path.join(work, 'nowhere'));
        await folders.frame.locator('#folder-ok').click();
        await folders.frame.getByText(`找不到文件夹：${path.join(work, 'nowhere')}`).waitFor();
        await folders.frame.locator('#folder-path').fill(projects);
        await folders.frame.locator('#folder-ok').click();
        await folders.layer.waitFor({ state: 'detached' });
        assert.equal(await themePath.inputValue(), projects);

        // Every field reaches the new project's description; blanks around
        // the name are dropped.
        const fields = {
            prj_name: '  aurora ', theme_name: '极光', version_name: '2.1', description: '北方的夜空',
            originate: '原创', author: 'Lin', resourceid: '777',
        };
        for (const [id, value] of Object.entries(fields)) {
            await form.frame.locator(`#${id}`).fill(value);
        }
        await form.frame.locator('#create_theme').click();
        await waitForEditor(page);
        assert.ok(fs.existsSync(path.join(projects, 'aurora', 'aurora.wtpj')), 'the project file was written');
        const meta = JSON.parse(fs.readFileSync(path.join(projects, 'aurora', 'aurora', 'launcher', 'meta.json'), 'utf8'));
        assert.deepEqual(
            [meta.resource_name, meta.resource_versionname, meta.resource_description, meta.resource_originate,
             meta.resource_designer, meta.resource_id],
            ['极光', '2.1', '北方的夜空', '原创', 'Lin', 777]);
    });

    it('the editor shows the three packages with their previews', async () => {
        const { resources, categories } = await pageState(page);
        assert.deepEqual(Object.keys(resources).sort(), PACKAGES.map((p) => p.name).sort());
        const pictures = [];
        for (const pkg of PACKAGES) {
            await page.locator(pkg.item).click();
            await page.waitForFunction((name) => CURRENT_PACKAGE_NAME === name, pkg.name);
            assert.match(await page.locator(pkg.item).getAttribute('class'), /package-active/);
            const file = await previewFile(page);
            // The screen itself, pixel for pixel, which the preview zooms.
            assert.equal(file, path.join(projects, 'aurora', 'aurora', pkg.module,
                                         'preview/xxhdpi/preview1_suit.jpg'));
            await page.waitForFunction(() => {
                const img = document.getElementById('preview-img');
                return img.complete && img.naturalWidth === 1080 && img.naturalHeight === 1920;
            });
            assert.equal(await page.locator('#screen-indicators img').count(), pkg.screens);
            assert.equal(await page.locator('#preview-resolution').textContent(), 'xxhdpi (1080 x 1920)');
            const tabs = await page.locator('#resource-tab td.tab-normal').allTextContents();
            assert.deepEqual(tabs, categories[pkg.name]);
            const shown = await page.locator('#resource .package-block:visible').getAttribute('data-package');
            assert.equal(shown, pkg.name);
            pictures.push(await page.locator('#preview-img').evaluate((img) => {
                const canvas = document.createElement('canvas');
                canvas.width = img.naturalWidth;
                canvas.height = img.naturalHeight;
                canvas.getContext('2d').drawImage(img, 0, 0);
                return canvas.toDataURL();
            }));
            await screenshot(page, `05-editor-${pkg.module}`);
        }
        assert.equal(new Set(pictures).size, PACKAGES.length, 'each package has a preview of its own');
    });

    it('screens and category tabs switch', async () => {
        await page.locator('#package-desktop').click();
        const screens = [
            { action: () => page.locator('#next-screen').click(), screen: 1 },
            { action: () => page.locator('#prev-screen').click(), screen: 0 },
            { action: () => page.locator('#prev-screen').click(), screen: 5 }, // wraps round
            { action: () => page.locator('#next-screen').click(), screen: 0 },
            { action: () => page.locator('#screen-indicators img').nth(3).click(), screen: 3 },
        ];
        for (const step of screens) {
            await step.action();
            assert.equal(await activeIndicator(page), step.screen);
            assert.match(await previewFile(page), new RegExp(`/preview${step.screen + 1}_suit\\.jpg$`));
            await page.waitForFunction(() => document.getElementById('preview-img').complete);
        }
        await page.locator('#screen-indicators img').nth(0).click();

        const { categories } = await pageState(page);
        const names = categories['桌面'];
        const tabs = page.locator('#resource-tab td.tab-normal');
        const visible = await page.locator('#resource-tab td.tab-normal:visible').count();
        assert.ok(visible > 0 && visible < names.length, `${visible} of ${names.length} tabs fit the view`);
        for (let i = 0; i < visible; ++i) {
            await tabs.nth(i).click();
            assert.match(await tabs.nth(i).getAttribute('class'), /tab-active/);
            assert.equal(await page.evaluate(() => CURRENT_CATEGORY_NAME), names[i]);
            const shown = await page.locator('#resource .package-block:visible .category-block:visible')
                              .evaluateAll((blocks) => blocks.map((b) => b.getAttribute('data-category')));
            assert.deepEqual(shown, [names[i]]);
        }
        // The arrows scroll the tab bar by one; the active tab stays.
        await page.locator('#resource-tab td.tab-right').click();
        assert.equal(await tabs.nth(0).isVisible(), false);
        assert.equal(await tabs.nth(visible).isVisible(), true);
        await page.locator('#resource-tab td.tab-left').click();
        assert.equal(await tabs.nth(0).isVisible(), true);
        assert.equal(await page.evaluate(() => CURRENT_CATEGORY_NAME), names[visible - 1]);
        await tabs.nth(0).click();
    });

    it('a click in the preview selects what lies there and outlines it', async () => {
        await page.locator('#package-desktop').click();
        const { ratio } = await pageState(page);
        // Points of the first screen where the wallpaper, and where an icon,
        // is the topmost element.
        const targets = await page.evaluate(async () => {
            const found = {};
            for (let y = 40; y < 1920 && Object.keys(found).length < 2; y += 80) {
                for (let x = 40; x < 1080; x += 80) {
                    const hits = JSON.parse(await external.GetElementByXY('桌面', 0, '', x, y));
                    const hit = hits[0];
                    if (hit && hit.mElementID === 0 && !found.wallpaper) {
                        found.wallpaper = { x, y, hit };
                    } else if (hit && hit.mTag === 'icon' && hit.mCategory === '图标' && !found.icon) {
                        found.icon = { x, y, hit };
                    }
                }
            }
            return found;
        });
        const cases = [
            { name: 'wallpaper', category: '壁纸', cell: '.wallpaper-cell' },
            { name: 'icon', category: '图标', cell: '.resource-cell' },
        ];
        for (const c of cases) {
            const target = targets[c.name];
            assert.ok(target, `a point on the ${c.name} was found`);
            // A tab click clears the outlines of the last click.
            await page.locator('#resource-tab td.tab-normal').first().click();
            assert.equal(await page.locator('#preview .dashed-rect').count(), 0);
            await page.locator('#preview-img').click({
                position: { x: target.x * ratio + 0.5, y: target.y * ratio + 0.5 },
            });
            const rects = page.locator('#preview .dashed-rect');
            await rects.first().waitFor({ state: 'visible' });
            assert.equal(await rects.count(), 1);
            const box = await rects.first().boundingBox();
            const preview = await page.locator('#preview-img').boundingBox();
            const expected = {
                x: preview.x + target.hit.left * ratio,
                y: preview.y + target.hit.top * ratio,
                width: target.hit.width * ratio,
                height: target.hit.height * ratio,
            };
            for (const key of ['x', 'y', 'width', 'height']) {
                assert.ok(Math.abs(box[key] - expected[key]) <= 2, `${c.name} outline ${key}: ${box[key]} vs ${expected[key]}`);
            }
            assert.equal(await page.locator('#resource-tab td.tab-active').textContent(), c.category);
            assert.equal(await page.locator(`#resource .filter-block ${c.cell}`).count(), 1);
            await screenshot(page, `06-preview-click-${c.name}`);
        }
        await page.locator('#resource-tab td.tab-normal').first().click();
        assert.equal(await page.locator('#preview .dashed-rect').count(), 0);

        // The wallpaper's cell in the list outlines it too, and the outline
        // follows the preview when the window changes size.
        const outlinesPreview = async () => {
            const box = await page.locator('#preview .dashed-rect').boundingBox();
            const preview = await page.locator('#preview-img').boundingBox();
            for (const key of ['x', 'y', 'width', 'height']) {
                assert.ok(Math.abs(box[key] - preview[key]) <= 2, `outline ${key}: ${box[key]} vs ${preview[key]}`);
            }
        };
        await page.locator('#resource .wallpaper-cell:visible img.wallpapper').click();
        await page.locator('#preview .dashed-rect').waitFor({ state: 'visible' });
        await outlinesPreview();
        const height = (await page.locator('#preview-img').boundingBox()).height;
        await page.setViewportSize({ width: 1280, height: 760 });
        await page.waitForFunction((old) => document.getElementById('preview-img').offsetHeight < old - 50, height);
        await outlinesPreview();
        await page.setViewportSize({ width: 1440, height: 900 });
        await page.waitForFunction((old) => document.getElementById('preview-img').offsetHeight === old, height);
        await outlinesPreview();
    });

    it('the wallpaper is replaced through the file dialog only by a 1080 x 1920 PNG', async () => {
        await page.locator('#package-desktop').click();
        await page.locator('#resource-tab td.tab-normal', { hasText: '壁纸' }).click();
        const { resources } = await pageState(page);
        const wallpaper = resources['桌面'].category['壁纸'][0].mRes[0];
        const original = fs.readFileSync(wallpaper);
        const small = path.join(pictures, 'small.png');
        const large = path.join(pictures, 'large.png');
        writePng(small, 720, 1280, () => CYAN);
        writePng(large, 1080, 1920, () => MAGENTA);
        const files = popup(page, '打开');
        const preview = { selector: '#preview-img', colour: MAGENTA };
        const listed = { selector: '#resource img.wallpapper', colour: MAGENTA };
        const replace = page.locator('#resource .wallpaper-cell:visible .btn', { hasText: '替换..' });

        // Cancelled, a file that does not exist, and the wrong size change nothing.
        await replace.click();
        await files.frame.locator('#file-path').waitFor({ state: 'visible' });
        await screenshot(page, '07-file-dialog');
        await files.frame.locator('#file-cancel').click();
        await files.layer.waitFor({ state: 'detached' });

        await replace.click();
        await files.frame.locator('#file-path').fill(path.join(pictures, 'missing.png'));
        await files.frame.locator('#file-ok').click();
        await files.frame.getByText(`找不到文件：${path.join(pictures, 'missing.png')}`).waitFor();
        await files.frame.locator('#file-path').fill(small);
        await files.frame.locator('#file-ok').click();
        await files.layer.waitFor({ state: 'detached' });
        const warning = popup(page, '警告');
        await warning.frame.getByText('您选择的图片尺寸(720 * 1280)不正确。需要是 (1080 * 1920)。').waitFor();
        await screenshot(page, '08-wallpaper-wrong-size');
        await closeAlert(page, '警告');
        assert.ok(fs.readFileSync(wallpaper).equals(original), 'the wallpaper file is unchanged');

        // A broken image is named and changes nothing.
        const broken = path.join(pictures, 'broken.png');
        const whole = fs.readFileSync(large);
        fs.writeFileSync(broken, whole.subarray(0, whole.length >> 1));
        await replace.click();
        await files.frame.locator('#file-path').fill(broken);
        await files.frame.locator('#file-ok').click();
        await files.layer.waitFor({ state: 'detached' });
        await warning.frame.getByText('无法读取图片“broken.png”。').waitFor();
        await closeAlert(page, '警告');
        assert.ok(fs.readFileSync(wallpaper).equals(original), 'the wallpaper file is unchanged');
        fs.unlinkSync(broken);
        assert.equal(await colourShare(page, { ...preview, colour: CYAN }), 0);
        assert.equal(await colourShare(page, preview), 0);

        // The right size, picked from the folder's listing (folders first,
        // then the PNG files only), replaces the wallpaper of every screen of
        // the package.
        fs.writeFileSync(path.join(pictures, 'notes.txt'), 'not a picture');
        fs.mkdirSync(path.join(pictures, 'more'));
        await replace.click();
        await files.frame.locator('#file-path').fill(pictures);
        await files.frame.locator('#file-ok').click();
        await files.frame.locator('#file-list li.file', { hasText: 'small.png' }).waitFor();
        assert.deepEqual(await files.frame.locator('#file-list li').allTextContents(), ['more', 'large.png', 'small.png']);
        await screenshot(page, '07-file-dialog-listing');
        await files.frame.locator('#file-list li', { hasText: 'large.png' }).dblclick();
        await files.layer.waitFor({ state: 'detached' });
        await waitForColourShare(page, preview, { above: 0.3 });
        await waitForColourShare(page, listed, { above: 0.9 });
        assert.ok(fs.readFileSync(wallpaper).equals(fs.readFileSync(large)), 'the wallpaper file is the chosen one');
        await screenshot(page, '09-wallpaper-replaced');
        await page.locator('#next-screen').click();
        await waitForColourShare(page, preview, { above: 0.3 });
        await page.locator('#screen-indicators img').nth(0).click();
    });

    it('a text colour changes through the colour dialog and through its field', async () => {
        await page.locator('#package-locktop').click();
        await page.locator('#resource-tab td.tab-normal', { hasText: '文字' }).click();
        const { resources } = await pageState(page);
        const pkg = resources['锁屏'];
        const element = pkg.category['文字'].find((e) => e.mText === '6月18日 星期四');
        assert.ok(element, 'the lock screen has its date text');
        const colours = path.join(pkg.path, 'content/res/values/colors.xml');
        const saved = () => fs.readFileSync(colours, 'utf8').match(/<color name="lock_date_text">([^<]*)</)[1];
        const probe = {
            selector: '#preview-img',
            colour: RED,
            tolerance: 90,
            box: {
                left: element.left / pkg.screen_width,
                top: element.top / pkg.screen_height,
                width: element.width / pkg.screen_width,
                height: element.height / pkg.screen_height,
            },
        };
        const cell = page.locator('#resource .category-block:visible .color-cell', { hasText: element.mText });
        const field = cell.locator('.color-value');
        const swatch = cell.locator('.color-swatch');
        const dialog = popup(page, '颜色');
        assert.equal(await field.inputValue(), 'FFFFFFFF');
        assert.equal(await colourShare(page, probe), 0);
        const xmlBefore = fs.readFileSync(colours, 'utf8');

        // The dialog starts on white; cancelling it changes nothing.
        await swatch.click();
        await dialog.frame.locator('#color-value').waitFor({ state: 'visible' });
        assert.equal(await dialog.frame.locator('#color-value').inputValue(), 'ffffff');
        await dialog.frame.locator('#color-value').fill('ff0000');
        await screenshot(page, '10-colour-dialog');
        await dialog.frame.locator('#color-cancel').click();
        await dialog.layer.waitFor({ state: 'detached' });
        assert.equal(await field.inputValue(), 'FFFFFFFF');
        assert.equal(fs.readFileSync(colours, 'utf8'), xmlBefore);

        const changes = [
            {
                how: 'the colour dialog',
                apply: async () => {
                    await swatch.click();
                    await dialog.frame.locator('#color-value').fill('ff0000');
                    await dialog.frame.locator('#color-ok').click();
                    await dialog.layer.waitFor({ state: 'detached' });
                },
                field: 'FFFF0000',
                swatch: 'rgb(255, 0, 0)',
                xml: '#FFFF0000',
                red: { above: 0.004 },
            },
            {
                how: 'the field, with too few digits',
                apply: async () => {
                    await field.fill('12345');
                    await field.press('Enter');
                },
                field: 'FFFFFFFF',
                swatch: 'rgb(255, 255, 255)',
                xml: '#FFFFFFFF',
                red: { below: 0.0005 },
            },
        ];
        for (const change of changes) {
            await change.apply();
            await waitForColourShare(page, probe, change.red);
            assert.equal(await field.inputValue(), change.field, change.how);
            assert.equal(await swatch.evaluate((s) => getComputedStyle(s).backgroundColor), change.swatch);
            assert.equal(saved().toUpperCase(), change.xml, `colors.xml after ${change.how}`);
            await screenshot(page, `11-colour-${change.field}`);
        }

        // A colors.xml that cannot be replaced: a warning, not the new preview.
        const xmlKept = fs.readFileSync(colours, 'utf8');
        fs.renameSync(colours, `${colours}.kept`);
        fs.mkdirSync(colours);
        await field.fill('00FF00');
        await field.press('Enter');
        const warning = popup(page, '警告');
        await warning.frame.getByText('颜色保存失败，请重试。').waitFor();
        await screenshot(page, '12-colour-not-saved');
        await closeAlert(page, '警告');
        fs.rmdirSync(colours);
        fs.renameSync(`${colours}.kept`, colours);
        assert.equal(fs.readFileSync(colours, 'utf8'), xmlKept);
        assert.deepEqual(session.problems, []);
    });
});
