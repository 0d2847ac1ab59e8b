// Packing the demo theme from the editor's tool bar: the form's two
// refusals, a pack with its progress and its result alert, the archive on
// disk, and a pack cancelled by closing the form.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, fakeOpener, frameOf, makeTempDir, openEditor, popup, screenshot, waitUntil,
} from './harness.mjs';

describe('packing a theme from the editor', () => {
    const work = makeTempDir('sw-pack-');
    const home = path.join(work, 'home');
    const out = path.join(work, 'out');
    const opener = fakeOpener(work);
    let project;
    let session;
    let page;

    before(async () => {
        fs.mkdirSync(out, { recursive: true });
        ({ project } = createProject(home, work, 'meadow', ['--theme-name', 'Meadow']));
        session = await openEditor(home, project, opener.env);
        page = session.page;
    });

    after(() => endSession(session, work));

    async function openPackForm() {
        const form = popup(page, '生成主题包');
        await page.locator('.btn-green').click();
        await form.frame.locator('#pack-theme-form').waitFor({ state: 'visible' });
        await (await frameOf(form.layer)).waitForFunction(() => $('#theme_path').val() !== '');
        return form;
    }

    async function refusal(form, message) {
        const warning = popup(page, '警告');
        await form.frame.locator('#create_theme').click();
        await warning.frame.getByText(message).waitFor();
        await warning.frame.locator('.btn-big', { hasText: '确定' }).click();
        await warning.layer.waitFor({ state: 'detached' });
        await form.frame.locator('#pack-theme-form').waitFor({ state: 'visible' });
    }

    async function chooseFolder(form, folder) {
        const folders = popup(page, '浏览文件夹');
        await form.frame.locator('#select_path').click();
        await folders.frame.locator('#folder-path').fill(folder);
        await folders.frame.locator('#folder-ok').click();
        await folders.layer.waitFor({ state: 'detached' });
        // The form takes the choice when the dialog's answer reaches it, which
        // may come just after the dialog is gone.
        const field = form.frame.locator('#theme_path');
        for (let tries = 0; tries < 50 && (await field.inputValue()) !== folder; ++tries) {
            await new Promise((resolve) => setTimeout(resolve, 100));
        }
        assert.equal(await field.inputValue(), folder);
    }

    it('refuses an empty name and an empty folder', async () => {
        const form = await openPackForm();
        assert.equal(await form.frame.locator('#theme_path').inputValue(), path.dirname(project));
        assert.equal(await form.frame.locator('#theme_name').inputValue(), 'Meadow');
        // The version the theme was created with (the template's).
        assert.equal(await form.frame.locator('#version').inputValue(), '1.0');
        await screenshot(page, '60-pack-form');

        await form.frame.locator('#theme_name').fill('   ');
        await refusal(form, '请填写主题包名称');
        await form.frame.locator('#theme_name').fill('My Meadow');
        await form.frame.locator('#theme_path').evaluate((field) => { field.value = ''; });
        await refusal(form, '请选择保存路径');
        await form.frame.locator('#cancel_create').click();
        await form.layer.waitFor({ state: 'detached' });
        assert.deepEqual(fs.readdirSync(out), []);
    });

    it('packs the theme, showing each step, and offers the archive', async () => {
        const form = await openPackForm();
        await form.frame.locator('#theme_name').fill('My Meadow');
        await form.frame.locator('#iscall').uncheck();
        await chooseFolder(form, out);

        const tip = popup(page, '提示');
        await form.frame.locator('#create_theme').click();
        await form.frame.locator('#pack-theme-loading').waitFor({ state: 'visible' });
        // The form names the step at work and how far the pack got.
        await form.frame.locator('#pack-step').filter({ hasText: /\S/ }).waitFor();
        await screenshot(page, '61-pack-progress');
        await tip.frame.getByText('主题包已成功生成。').waitFor();
        await form.layer.waitFor({ state: 'detached' });
        await screenshot(page, '62-pack-done');

        // Only the first blank of the name goes.
        const archive = path.join(out, 'MyMeadow.zip');
        assert.ok(fs.existsSync(archive), 'the archive is written');
        assert.equal(fs.readFileSync(archive).subarray(0, 2).toString(), 'PK');
        assert.deepEqual(fs.readdirSync(path.join(home, 'tmp')), [], 'no work folder is left');
        const meta = JSON.parse(fs.readFileSync(path.join(path.dirname(project), 'meadow', 'launcher', 'meta.json')));
        assert.equal(meta.resource_name, 'My Meadow');
        assert.match(session.log(), /pack: .*MyMeadow\.zip written/);

        await tip.frame.getByText('在文件夹中查看').click();
        await waitUntil(() => opener.opened().includes(out), 'the archive\'s folder is opened');

        // Its push link is tried with a phone in phone.test.mjs.
        assert.equal(await tip.frame.getByText('一键导入手机中').count(), 1);
        await tip.frame.locator('.btn-big', { hasText: '确定' }).click();
        await tip.layer.waitFor({ state: 'detached' });
        assert.deepEqual(session.problems, []);
    });

    it('closing the form while it packs cancels the pack', async () => {
        const form = await openPackForm();
        await form.frame.locator('#theme_name').fill('Cancelled');
        await chooseFolder(form, out);
        await form.frame.locator('#create_theme').click();
        await form.frame.locator('#pack-theme-loading').waitFor({ state: 'visible' });
        await form.frame.locator('#pack-step').filter({ hasText: /\S/ }).waitFor();
        await form.frame.locator('#pack-theme-loading .btn-big', { hasText: '取消' }).click();
        await form.layer.waitFor({ state: 'detached' });
        await waitUntil(() => /pack: cancelled/.test(session.log()), 'the pack has stopped', 5_000);
        assert.ok(!fs.existsSync(path.join(out, 'Cancelled.zip')), 'no archive is left');
        assert.deepEqual(fs.readdirSync(out).filter((name) => name !== 'MyMeadow.zip'), []);
        assert.deepEqual(fs.readdirSync(path.join(home, 'tmp')), [], 'no work folder is left');
        assert.equal(await popup(page, '警告').layer.count(), 0, 'a cancelled pack is no failure');
    });
});
