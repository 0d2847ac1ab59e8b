// Opening projects from the start window: a cancelled choice, broken project
// files, then a good project; in the editor, every tool-bar popup.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, fakeOpener, makeTempDir, openSession, popup, screenshot, waitForEditor, waitUntil,
} from './harness.mjs';

// Project files that cannot be opened, and the log line that says why.
const BROKEN = [
    { name: 'not-json', text: '{ "name": "not-json", ', log: 'fail to parse' },
    { name: 'no-folder', text: '{ "name": "no-folder", "dpi": "xxhdpi", "density": 480 }', log: 'fail to search directory' },
    { name: 'odd-dpi', text: '{ "name": "odd-dpi", "dpi": "tvdpi-x", "density": 213 }', log: 'not supported resolution' },
];

// The tool-bar buttons of the editor and the popups they open, with a part of
// each popup's page and the size the page gives its popup.
const POPUPS = [
    { name: 'create', button: '.btn1', title: '新建主题包', part: '#prj_name', size: [408, 576] },
    { name: 'open', button: '.btn2', title: '打开', part: '#file-path', size: [640, 480] },
    { name: 'pack', button: '.btn-green', title: '生成主题包', part: '#pack-theme-form', size: [460, 350] },
    { name: 'weather', button: '.btn8', title: '天气布局', part: '#save_weather', size: [730, 640] },
    { name: 'lockscreen', button: '.btn6', title: '锁屏布局', part: '#save_Lockscreentemplate', size: [810, 660] },
    { name: 'callscreen', button: '.btn9', title: '通话布局', part: '#savecallscreen', size: [680, 625] },
    { name: 'lock-animation', button: '.btn7', title: '锁屏动画', part: '#save_LockscreenAnimator', size: [450, 580] },
    { name: 'attributes', button: '.btn5', title: '属性设置', part: '#save_attribute', size: [350, 450] },
    { name: 'advanced', button: '.btn4:not(.hidden)', title: '高级模式', part: '#up_icon', size: [530, 250] },
];

async function startPageShowsButtons(page) {
    await page.locator('#create-open-div').waitFor({ state: 'visible' });
    assert.equal(await page.locator('#opening-div').isVisible(), false);
}

describe('opening a project from the start window', () => {
    const work = makeTempDir('sw-open-');
    const home = path.join(work, 'home');
    const opener = fakeOpener(work);
    let project;
    let session;
    let page;

    before(async () => {
        ({ project } = createProject(home, work, 'harbor', ['--theme-name', 'Harbor']));
        for (const broken of BROKEN) {
            fs.writeFileSync(path.join(work, `${broken.name}.wtpj`), broken.text);
        }
        session = await openSession({ home, env: opener.env });
        page = session.page;
    });

    after(() => endSession(session, work));

    it('a cancelled file dialog returns the start page to its buttons', async () => {
        const files = popup(page, '打开');
        await page.locator('#btn-open').click();
        await files.frame.locator('#file-path').waitFor({ state: 'visible' });
        assert.equal(await page.locator('#create-open-div').isVisible(), false);
        await screenshot(page, '20-start-open-dialog');
        await files.frame.locator('#file-cancel').click();
        await files.layer.waitFor({ state: 'detached' });
        await startPageShowsButtons(page);
    });

    it('a broken project shows the warning with its log link', async () => {
        for (const broken of BROKEN) {
            const file = path.join(work, `${broken.name}.wtpj`);
            const files = popup(page, '打开');
            await page.locator('#btn-open').click();
            await files.frame.locator('#file-path').fill(file);
            await files.frame.locator('#file-ok').click();
            const warning = popup(page, '警告');
            await warning.frame.getByText('打开主题包失败。').waitFor();
            const link = warning.frame.getByText('查看错误信息');
            assert.equal(await link.count(), 1, broken.name);
            if (broken === BROKEN[0]) {
                await screenshot(page, '21-open-failed');
                // The link shows the log and leaves the warning open.
                await link.click();
                await waitUntil(() => opener.opened().length > 0, 'the log is opened');
                assert.deepEqual(opener.opened(), [path.join(home, 'runtime.log')]);
                assert.equal(await warning.layer.isVisible(), true);
            }
            await warning.frame.locator('.btn-big', { hasText: '确定' }).click();
            await warning.layer.waitFor({ state: 'detached' });
            await startPageShowsButtons(page);
            assert.ok(session.log().includes(broken.log), `runtime.log tells why ${broken.name} failed`);
        }
    });

    it('an existing project opens in the editor', async () => {
        const files = popup(page, '打开');
        await page.locator('#btn-open').click();
        await files.frame.locator('#file-path').fill(project);
        await files.frame.locator('#file-ok').click();
        await waitForEditor(page);
        const folder = path.join(path.dirname(project), 'harbor');
        const modules = await page.evaluate(() =>
            Object.fromEntries(Object.entries(ALL_RESOURCES).map(([name, pkg]) => [name, pkg.path])));
        assert.deepEqual(modules, {
            '桌面': path.join(folder, 'launcher'),
            '锁屏': path.join(folder, 'lockscreen'),
            '通话': path.join(folder, 'screencall'),
        });
        const src = await page.locator('#preview-img').getAttribute('src');
        assert.equal(new URL(src, 'http://host').searchParams.get('path'),
                     path.join(folder, 'launcher/preview/xxhdpi/preview1_suit.jpg'));
        await screenshot(page, '22-editor-opened');
    });

    it('every tool-bar button opens its popup, and its close button closes it', async () => {
        for (const entry of POPUPS) {
            const { layer, frame } = popup(page, entry.title);
            await page.locator(`#tool-bar ${entry.button}`).click();
            await frame.locator(entry.part).waitFor({ state: 'visible' });
            const box = layer.locator('.sw-popup');
            await page.waitForFunction(
                ([element, width, height]) => element.offsetWidth === width && element.offsetHeight === height,
                [await box.elementHandle(), ...entry.size]);
            await screenshot(page, `23-popup-${entry.name}`);
            await layer.locator('.sw-popup-close').click();
            await layer.waitFor({ state: 'detached' });
            await page.locator('#main').waitFor({ state: 'visible' });
        }
        assert.deepEqual(session.problems, []);
    });
});
