// What the settings forms write, as a designer saves them: bad numbers are
// refused in every form with the field named and nothing written, a value
// saved empty once can be set again, a save that cannot write one file
// writes none, a template without its values file is not chosen, and the
// pack form keeps what the theme was created with.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    closeForm, createProject, endSession, expectWarning as expectWarningOf, makeTempDir, openEditor,
    openForm as openFormOf, popup, snapshotFiles, valuesEntryIn, waitUntil,
} from './harness.mjs';

const entryIn = valuesEntryIn;

describe('the settings forms save all or nothing', () => {
    const work = makeTempDir('sw-form-saves-');
    const home = path.join(work, 'home');
    let folder;
    let session;
    let page;

    const file = (relative) => path.join(folder, relative);

    const snapshot = () => snapshotFiles(folder);
    const openForm = (button, title) => openFormOf(page, button, title);
    const expectWarning = (text) => expectWarningOf(page, text);

    before(async () => {
        const created = createProject(home, work, 'saves', ['--theme-name', 'Saves', '--version-name', '1.0.0',
                                                            '--originate', '原创', '--author', '小林']);
        folder = created.folder;
        session = await openEditor(home, created.project);
        page = session.page;
    });

    after(() => endSession(session, work));

    it('refuses bad numbers in every form, names the field and writes nothing', async () => {
        const forms = [
            // button, caption, save button, field, its name in the warning, the range it keeps
            ['.btn5', '属性设置', '#save_attribute', 'dayFontSize', '动态日历日期字体大小', '1 到 640 sp'],
            ['.btn6', '锁屏布局', '#save_Lockscreentemplate', 'datesize', '日期 字体大小', '1 到 1920 px'],
            ['.btn9', '通话布局', '#savecallscreen', 'answerx', '接听 x', '0 到 1080 px'],
            ['.btn8', '天气布局', '#save_weather', 'temperaturesize', '温度 字体大小', '1 到 1920 px'],
            ['.btn7', '锁屏动画', '#save_LockscreenAnimator', 'AnimatorH', '动画 h', '0 到 1920 px'],
        ];
        const inputs = [
            ['', (name) => `请填写${name}。`],
            ['abc', (name) => `${name}：“abc”不是整数`],
            ['NaN', (name) => `${name}：“NaN”不是整数`],
            ['99999', (name, range) => `${name}：应在 ${range} 之间。`],
            ['9'.repeat(600), (name, range) => `${name}：应在 ${range} 之间。`],
        ];
        const untouched = snapshot();
        for (const [button, title, save, field, name, range] of forms) {
            const form = await openForm(button, title);
            for (const [typed, message] of inputs) {
                await form.frame.locator(`#${field}`).fill(typed);
                await form.frame.locator(save).click();
                await expectWarning(message(name, range));
                assert.equal(await form.frame.locator(`#${field}.field-refused`).count(), 1, `${title} marks ${field}`);
            }
            assert.equal(await form.frame.locator('#seccess').isVisible(), false, title);
            await closeForm(form);
        }
        assert.deepEqual(snapshot(), untouched);
    });

    it('sets a value again that an older save left empty', async () => {
        const dimens = file('launcher/content/res/values/dimens.xml');
        fs.writeFileSync(dimens, fs.readFileSync(dimens, 'utf8').replace(
            /(<dimen name="calendar_day_font_size">)[^<]*(<\/dimen>)/, '$1$2'));
        const form = await openForm('.btn5', '属性设置');
        assert.equal(await form.frame.locator('#dayFontSize').inputValue(), '');
        await form.frame.locator('#dayFontSize').fill('30');
        await form.frame.locator('#save_attribute').click();
        await form.frame.locator('#seccess').waitFor({ state: 'visible' });
        assert.equal(entryIn(dimens, 'calendar_day_font_size'), '30sp');
        await waitUntil(async () => await form.frame.locator('#dayFontSize').inputValue() === '30sp',
                        'the form shows the stored value');
        await closeForm(form);
    });

    it('writes no file when one density cannot be written', async (t) => {
        const locked = file('lockscreen/content/lockscreen1/content/res/xxxhdpi_1440x2560/lockscreen.xml');
        if (spawnSync('chattr', ['+i', locked]).status !== 0) {
            t.skip('files cannot be made immutable here');
            return;
        }
        try {
            const untouched = snapshot();
            const form = await openForm('.btn6', '锁屏布局');
            await form.frame.locator('#timex1').fill('100');
            await form.frame.locator('#save_Lockscreentemplate').click();
            await expectWarning('lockscreen/content/lockscreen1/content/res/xxxhdpi_1440x2560/lockscreen.xml');
            assert.equal(await form.frame.locator('#seccess').isVisible(), false);
            assert.deepEqual(snapshot(), untouched);
            await closeForm(form);
        } finally {
            spawnSync('chattr', ['-i', locked]);
        }
    });

    it('does not choose a template whose values file is missing', async () => {
        const values = file('lockscreen/template_values2.xml');
        const kept = fs.readFileSync(values);
        fs.rmSync(values);
        try {
            const untouched = snapshot();
            const form = await openForm('.btn6', '锁屏布局');
            const shown = await form.frame.locator('#timex1').inputValue();
            await form.frame.locator('#Lockscreentemplate').selectOption('2');
            await expectWarning('lockscreen/template_values2.xml');
            assert.equal(await form.frame.locator('#Lockscreentemplate').inputValue(), '1');
            assert.equal(await form.frame.locator('#timex1').inputValue(), shown);
            assert.equal(await form.frame.locator('#lockpreview1').isVisible(), true);
            assert.deepEqual(snapshot(), untouched);
            await closeForm(form);
        } finally {
            fs.writeFileSync(values, kept);
        }
    });

    it('packs with the version and origin the theme was created with', async () => {
        const form = await openForm('.btn-green', '生成主题包');
        const fields = {};
        for (const id of ['theme_name', 'version', 'description', 'developer']) {
            fields[id] = await form.frame.locator(`#${id}`).inputValue();
        }
        assert.deepEqual({ name: fields.theme_name, version: fields.version, developer: fields.developer },
                         { name: 'Saves', version: '1.0.0', developer: '小林' });
        await form.frame.locator('#theme_path').evaluate((input, out) => { input.value = out; }, path.join(work, 'out'));
        fs.mkdirSync(path.join(work, 'out'));
        const tip = popup(page, '提示');
        await form.frame.locator('#create_theme').click();
        await tip.frame.getByText('主题包已成功生成。').waitFor();
        await tip.frame.locator('.btn-big', { hasText: '确定' }).click();
        await tip.layer.waitFor({ state: 'detached' });
        const meta = file('launcher/meta.json');
        const stored = JSON.parse(fs.readFileSync(meta, 'utf8'));
        assert.equal(stored.resource_versionname, '1.0.0');
        assert.equal(stored.resource_originate, '原创');
        assert.equal(stored.resource_designer, '小林');
        assert.deepEqual(session.problems, []);
    });
});
