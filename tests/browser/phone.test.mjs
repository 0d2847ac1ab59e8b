// The phone link from the pages, with the phone simulator in adb's place:
// the start window's 导入手机 (success, failures, several phones) and the
// advanced mode's app lists (titles with apostrophes and Chinese text,
// fetched from the phone, an app's icon replaced), and the pack result's
// link that pushes the archive just made.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, frameOf, makeTempDir, openEditor, openSession, popup, ROOT, screenshot, waitUntil,
    writePng,
} from './harness.mjs';

const THEMES = 'sdcard/.QuindoTheme/Download/themesuite';

// The simulator in a folder of its own; its state files steer it.
function phoneSimulator(dir) {
    fs.mkdirSync(dir, { recursive: true });
    const program = path.join(dir, 'adb');
    fs.copyFileSync(path.join(ROOT, 'tests/device/adb_simulator.sh'), program);
    fs.chmodSync(program, 0o755);
    const state = (name, text) => fs.writeFileSync(path.join(dir, name), text);
    return {
        env: { SKINWRIGHT_ADB: program },
        phones: (lines) => state('devices', lines),
        failOn: (operation) => state('fail', `${operation}\n`),
        slowOn: (operation) => state('slow', `${operation}\n`),
        heal() {
            for (const name of ['fail', 'slow', 'devices']) {
                fs.rmSync(path.join(dir, name), { force: true });
            }
        },
        root: (serial = 'SIM001') => path.join(dir, 'phones', serial),
        calls: () => fs.readFileSync(path.join(dir, 'calls'), 'utf8').split('\n').filter(Boolean)
            .map((line) => line.split('\t').slice(0, -1)),
    };
}

// A packed theme: meta.json, a preview and a module archive, zipped.
function packedTheme(dir, id) {
    const source = path.join(dir, `theme-${id}`);
    fs.mkdirSync(path.join(source, 'preview'), { recursive: true });
    fs.mkdirSync(path.join(source, 'content'), { recursive: true });
    fs.writeFileSync(path.join(source, 'meta.json'), JSON.stringify({ resource_id: id, resource_name: '港湾' }));
    fs.writeFileSync(path.join(source, 'preview', 'preview1.jpg'), 'jpeg');
    fs.writeFileSync(path.join(source, 'content', 'launcher'), 'launcher');
    const archive = path.join(dir, `theme-${id}.zip`);
    const zipped = spawnSync('zip', ['-qr', archive, '.'], { cwd: source });
    assert.equal(zipped.status, 0, 'zip makes the archive');
    return archive;
}

// A project made from the template, open in the editor with the phone
// simulator in adb's place.
async function editorWithPhone(work, home, phone, name) {
    const { project } = createProject(home, work, name, ['--theme-name', name]);
    const session = await openEditor(home, project, phone.env);
    return { project, session, page: session.page };
}

async function closeAlert(alert) {
    await alert.frame.locator('.btn-big', { hasText: '确定' }).click();
    await alert.layer.waitFor({ state: 'detached' });
}

describe('pushing a packed theme from the start window', () => {
    const work = makeTempDir('sw-phone-');
    const phone = phoneSimulator(path.join(work, 'phone'));
    let session;
    let page;

    before(async () => {
        session = await openSession({ home: path.join(work, 'home'), env: phone.env });
        page = session.page;
    });

    after(() => endSession(session, work));

    // 导入手机 with archive chosen in the file dialog; the alert that ends it.
    async function pushFromStartPage(archive) {
        const files = popup(page, '打开');
        await page.locator('#btn-push').click();
        await files.frame.locator('#file-path').fill(archive);
        await files.frame.locator('#file-ok').click();
        await files.layer.waitFor({ state: 'detached' });
    }

    it('shows the push running and ends in the success alert', async () => {
        phone.slowOn('push');
        await pushFromStartPage(packedTheme(work, 4321));
        await page.locator('#pushing-div').waitFor({ state: 'visible' });
        await page.locator('#pushing-div .status-text', { hasText: '正在导入手机（0.0 MB）' }).waitFor();
        assert.equal(await page.locator('#create-open-div').isVisible(), false);
        await screenshot(page, '40-push-running');
        const alert = popup(page, '导入手机');
        await alert.frame.getByText('主题导入手机成功！').waitFor();
        await screenshot(page, '41-push-done');
        await closeAlert(alert);
        await page.locator('#create-open-div').waitFor({ state: 'visible' });
        assert.equal(await page.locator('#pushing-div').isVisible(), false);

        const folder = path.join(phone.root(), THEMES, '4321');
        assert.deepEqual(fs.readdirSync(folder).sort(), ['content', 'meta.json', 'preview']);
        assert.equal(JSON.parse(fs.readFileSync(path.join(folder, 'meta.json'), 'utf8')).resource_name, '港湾');
        const theme = '//sdcard//.QuindoTheme//Download//themesuite//4321';
        // The push stages in a folder of its own inside themetool/.
        const calls = phone.calls();
        const staging = calls[2]?.[3] ?? '';
        assert.equal(path.dirname(staging), path.join(session.home, 'themetool'));
        assert.deepEqual(calls, [
            ['devices'],
            ['-s', 'SIM001', 'shell', 'rm', '-r', theme],
            ['-s', 'SIM001', 'push', staging, theme],
            ['-s', 'SIM001', 'shell', 'am', 'force-stop', 'com.quindo.themecenter'],
        ]);
        phone.heal();
    });

    it('ends in the failure alert with the phone hints when the phone fails', async () => {
        const cases = [
            { phones: '', reason: '未检测到手机' },
            { phones: 'SIM001\tunauthorized\n', reason: '请在手机上点击“允许USB调试”后重试' },
            { fail: 'push', reason: 'simulated failure of push' },
        ];
        for (const c of cases) {
            phone.heal();
            if (c.phones !== undefined) {
                phone.phones(c.phones);
            }
            if (c.fail) {
                phone.failOn(c.fail);
            }
            await pushFromStartPage(packedTheme(work, 5));
            const alert = popup(page, '');
            await alert.frame.getByText('主题导入手机失败！').waitFor();
            await alert.frame.getByText(c.reason).waitFor();
            assert.equal(await alert.frame.getByText('是否已使用USB线连接手机').count(), 1);
            if (c === cases[0]) {
                await screenshot(page, '42-push-no-phone');
            }
            await closeAlert(alert);
            await page.locator('#create-open-div').waitFor({ state: 'visible' });
        }
        phone.heal();
    });

    it('refuses an archive it cannot unpack and leaves the phone as it was', async () => {
        const broken = path.join(work, 'broken.zip');
        fs.writeFileSync(broken, 'not a zip archive');
        const kept = path.join(phone.root(), THEMES, '4321', 'meta.json');
        const before = fs.readFileSync(kept, 'utf8');
        const calls = phone.calls().length;
        await pushFromStartPage(broken);
        const warning = popup(page, '警告');
        await warning.frame.getByText(`主题包无法解压：${broken}`).waitFor();
        await closeAlert(warning);
        await page.locator('#create-open-div').waitFor({ state: 'visible' });
        assert.deepEqual(phone.calls().slice(calls), [['devices']]);
        assert.equal(fs.readFileSync(kept, 'utf8'), before);
    });

    it('lets the designer choose among several phones', async () => {
        phone.phones('A1\tdevice\nB2\tdevice\nC3\tunauthorized\n');
        await pushFromStartPage(packedTheme(work, 77));
        const chooser = popup(page, '选择手机');
        await chooser.frame.locator('.phone-choice', { hasText: 'B2' }).waitFor();
        assert.equal(await chooser.frame.getByText('C3（未授权：请在手机上允许USB调试）').count(), 1);
        await screenshot(page, '43-push-choose-phone');
        await chooser.frame.locator('.phone-choice', { hasText: 'B2' }).click();
        const alert = popup(page, '导入手机');
        await alert.frame.getByText('主题导入手机成功！').waitFor();
        await closeAlert(alert);
        assert.ok(fs.existsSync(path.join(phone.root('B2'), THEMES, '77', 'meta.json')));
        assert.equal(fs.existsSync(phone.root('A1')), false);
        phone.heal();
        assert.deepEqual(session.problems, []);
    });
});

describe('the advanced mode lists the phone apps', () => {
    const work = makeTempDir('sw-icons-');
    const phone = phoneSimulator(path.join(work, 'phone'));
    const home = path.join(work, 'home');
    let project;
    let session;
    let page;

    function iconNames(apps) {
        return '<?xml version="1.0" encoding="utf-8"?>\n<ICONS>\n' + apps.map(([icon, title, type = 'Application']) =>
            `  <icon icon_name="${icon}" type="${type}" title="${title.replace(/&/g, '&amp;').replace(/"/g, '&quot;')}" />\n`)
            .join('') + '</ICONS>\n';
    }

    async function openAdvancedMode() {
        const form = popup(page, '高级模式');
        await page.locator('#tool-bar .btn4:not(.hidden)').click();
        await form.frame.locator('#up_icon').waitFor({ state: 'visible' });
        return form;
    }

    function optionTexts(form, id) {
        return form.frame.locator(`#${id} option`).allTextContents();
    }

    before(async () => {
        ({ project, session, page } = await editorWithPhone(work, home, phone, 'icons'));
    });

    after(() => endSession(session, work));

    it('fills both lists from the app list in the home folder, any title', async () => {
        fs.writeFileSync(path.join(home, 'iconNames.xml'), iconNames([
            ['com_tencent_mm.png', '微信'],
            ['clock_widget.png', 'Clock', 'Widget'],
            ['com_example_cafe.png', "Rosie's Café, Inc."],
            ['com_example_quote.png', "');alert('x"],
        ]));
        const form = await openAdvancedMode();
        await waitUntil(async () => (await optionTexts(form, 'iconname')).length === 3, 'the lists are filled');
        assert.deepEqual(await optionTexts(form, 'iconname'), ['微信', "Rosie's Café, Inc.", "');alert('x"]);
        assert.deepEqual(await optionTexts(form, 'iconname2'),
                         ['com_tencent_mm.png', 'com_example_cafe.png', 'com_example_quote.png']);
        await screenshot(page, '44-advanced-mode-lists');
        await form.layer.locator('.sw-popup-close').click();
        await form.layer.waitFor({ state: 'detached' });
        assert.deepEqual(session.problems, []);
    });

    it('fetches the list from the phone, then replaces the chosen app icon', async () => {
        const apps = [['com_android_dialer.png', '电话']];
        for (let i = 0; i < 400; ++i) {
            apps.push([`com_example_app${i}.png`, `应用 ${i}'s`]);
        }
        fs.mkdirSync(path.join(phone.root(), 'sdcard'), { recursive: true });
        fs.writeFileSync(path.join(phone.root(), 'sdcard', 'iconNames.xml'), iconNames(apps));
        const form = await openAdvancedMode();
        await form.frame.locator('#pull_inconname').click();
        await waitUntil(async () => (await optionTexts(form, 'iconname')).length === 401, 'the phone apps are listed');
        assert.equal((await optionTexts(form, 'iconname'))[400], "应用 399's");
        assert.ok(fs.readFileSync(path.join(home, 'iconNames.xml'), 'utf8').includes('com_example_app399.png'));

        const picture = path.join(work, 'dialer.png');
        writePng(picture, 8, 8, () => [255, 0, 255]);
        await form.frame.locator('#iconname').selectOption({ label: '电话' });
        const files = popup(page, '打开');
        await form.frame.locator('#up_icon').click();
        await files.frame.locator('#file-path').fill(picture);
        await files.frame.locator('#file-ok').click();
        await form.frame.locator('#seccess').waitFor({ state: 'visible' });
        const icon = path.join(path.dirname(project), 'icons', 'launcher/content/res/drawable-xxhdpi',
                               'com_android_dialer.png');
        assert.deepEqual(fs.readFileSync(icon), fs.readFileSync(picture));
        await screenshot(page, '45-advanced-mode-replaced');
        await form.layer.locator('.sw-popup-close').click();
        await form.layer.waitFor({ state: 'detached' });
    });

    it('tells when the phone holds no list yet', async () => {
        fs.rmSync(path.join(phone.root(), 'sdcard', 'iconNames.xml'));
        const form = await openAdvancedMode();
        await form.frame.locator('#pull_inconname').click();
        const alert = popup(page, '');
        await alert.frame.getByText('手机上还没有图标列表，请先安装并打开图标查看器。').waitFor();
        await closeAlert(alert);
        assert.equal((await optionTexts(form, 'iconname')).length, 401, 'the lists stay');
        await form.layer.locator('.sw-popup-close').click();
        await form.layer.waitFor({ state: 'detached' });
        assert.deepEqual(session.problems, []);
    });
});

describe('the pack result pushes the new archive to the phone', () => {
    const work = makeTempDir('sw-pack-push-');
    const phone = phoneSimulator(path.join(work, 'phone'));
    const home = path.join(work, 'home');
    const out = path.join(work, 'out');
    let session;
    let page;

    before(async () => {
        fs.mkdirSync(out, { recursive: true });
        ({ session, page } = await editorWithPhone(work, home, phone, 'Tide'));
    });

    after(() => endSession(session, work));

    it('packs the project, then 一键导入手机中 puts the archive on the phone', async () => {
        const form = popup(page, '生成主题包');
        await page.locator('.btn-green').click();
        await form.frame.locator('#pack-theme-form').waitFor({ state: 'visible' });
        await (await frameOf(form.layer)).waitForFunction(() => $('#theme_path').val() !== '');
        const folders = popup(page, '浏览文件夹');
        await form.frame.locator('#select_path').click();
        await folders.frame.locator('#folder-path').fill(out);
        await folders.frame.locator('#folder-ok').click();
        await folders.layer.waitFor({ state: 'detached' });
        const tip = popup(page, '提示');
        await form.frame.locator('#create_theme').click();
        await tip.frame.getByText('主题包已成功生成。').waitFor();

        // The alert shows the push at work, and its links wait meanwhile.
        phone.slowOn('push');
        await tip.frame.getByText('一键导入手机中').click();
        await tip.frame.locator('.phone-progress', { hasText: '正在导入手机' }).waitFor();
        await screenshot(page, '46-pack-result-pushing');
        const done = popup(page, '导入手机');
        await done.frame.getByText('主题导入手机成功！').waitFor();
        await closeAlert(done);
        assert.equal(await tip.frame.locator('.phone-progress').isVisible(), false);
        await closeAlert(tip);

        // The archive's own content, under its resource number.
        const themes = fs.readdirSync(path.join(phone.root(), THEMES));
        assert.equal(themes.length, 1);
        const folder = path.join(phone.root(), THEMES, themes[0]);
        const meta = JSON.parse(fs.readFileSync(path.join(folder, 'meta.json'), 'utf8'));
        assert.equal(String(meta.resource_id), themes[0]);
        assert.equal(meta.resource_name, 'Tide');
        assert.ok(fs.existsSync(path.join(folder, 'preview')));
        assert.ok(fs.readdirSync(path.join(folder, 'content')).length > 0);
        assert.deepEqual(phone.calls().map((call) => call[2] === 'shell' ? call[3] : call[2] ?? call[0]),
                         ['devices', 'rm', 'push', 'am']);
        assert.deepEqual(session.problems, []);
    });
});
