// The settings forms of the editor's tool bar on a project made from the
// template: each form shows what the project's files hold, refuses what it
// must with its exact message and writes nothing then, and a save changes
// the files and the pictures of the form and of the editor.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    closeForm, createProject, endSession, expectWarning as expectWarningOf, makeTempDir, openEditor,
    openForm as openFormOf, popup, screenshot, snapshotFiles, valuesEntryIn, waitUntil,
} from './harness.mjs';

// A picture as the page shows it, as a data address; null while it loads.
function pictureIn(locator) {
    return locator.evaluate((img) => {
        if (!img.complete || img.naturalWidth === 0) {
            return null;
        }
        const canvas = document.createElement('canvas');
        canvas.width = img.naturalWidth;
        canvas.height = img.naturalHeight;
        canvas.getContext('2d').drawImage(img, 0, 0);
        return canvas.toDataURL();
    });
}

async function pictureOf(locator) {
    let picture = null;
    await waitUntil(async () => (picture = await pictureIn(locator)) !== null, 'the picture is shown');
    return picture;
}

async function waitForNewPicture(locator, old, what) {
    await waitUntil(async () => {
        const now = await pictureIn(locator);
        return now !== null && now !== old;
    }, what);
}

// An attribute of the first element with this tag (and name) in an XML file.
function attributeIn(file, tag, attribute, name) {
    const text = fs.readFileSync(file, 'utf8');
    for (const match of text.matchAll(new RegExp(`<${tag}\\b[^>]*>`, 'g'))) {
        if (name && !match[0].includes(`name="${name}"`)) {
            continue;
        }
        const value = match[0].match(new RegExp(`\\b${attribute}="([^"]*)"`));
        return value ? value[1] : undefined;
    }
    return undefined;
}

const entryIn = valuesEntryIn;

describe('the settings forms', () => {
    const work = makeTempDir('sw-settings-');
    const home = path.join(work, 'home');
    let folder;
    let session;
    let page;

    const file = (relative) => path.join(folder, relative);

    const openForm = (button, title) => openFormOf(page, button, title);
    const expectWarning = (text) => expectWarningOf(page, text);

    // The browser alerts raised since the last look, taken out of the
    // session's problems.
    function takeBrowserAlerts() {
        const alerts = session.problems.filter((p) => p.startsWith('browser dialog: '));
        session.problems.splice(0, session.problems.length, ...session.problems.filter((p) => !alerts.includes(p)));
        return alerts.map((p) => p.slice('browser dialog: '.length));
    }

    const snapshot = (relative) => snapshotFiles(folder, relative);

    before(async () => {
        const created = createProject(home, work, 'studio', ['--theme-name', 'Studio']);
        folder = created.folder;
        session = await openEditor(home, created.project);
        page = session.page;
    });

    after(() => endSession(session, work));

    it('launcher attributes: shown, refused without a width, saved with the editor following', async () => {
        await page.locator('#package-desktop').click();
        const before = await pictureOf(page.locator('#preview-img'));
        // A text the select has no option for shows no choice, and is kept.
        const bools = file('launcher/content/res/values/bools.xml');
        fs.writeFileSync(bools, fs.readFileSync(bools, 'utf8').replace('>true<', '>yes<'));
        const form = await openForm('.btn5', '属性设置');
        assert.equal(await form.frame.locator('#isDynamic').evaluate((select) => select.selectedIndex), -1);
        const shown = {};
        for (const id of ['pageWidth', 'pageHeight', 'isDynamic', 'isShadow', 'isAnimation', 'weekdayFontSize',
                          'dayFontSize', 'weekdayColor', 'dayColor']) {
            shown[id] = await form.frame.locator(`#${id}`).inputValue();
        }
        assert.deepEqual(shown, {
            pageWidth: '10dp', pageHeight: '10dp', isDynamic: '', isShadow: '1', isAnimation: '1',
            weekdayFontSize: '12sp', dayFontSize: '32sp', weekdayColor: '#FFFFFFFF', dayColor: '#FF3A3F6E',
        });

        const dimens = file('launcher/content/res/values/dimens.xml');
        const untouched = fs.readFileSync(dimens, 'utf8');
        await form.frame.locator('#pageWidth').fill('  ');
        await form.frame.locator('#save_attribute').click();
        await expectWarning('请填分页符宽度（dp）');
        assert.equal(fs.readFileSync(dimens, 'utf8'), untouched);
        assert.equal(await form.frame.locator('#seccess').isVisible(), false);

        await form.frame.locator('#pageWidth').fill('40dp');
        await form.frame.locator('#pageHeight').fill('40dp');
        await form.frame.locator('#isShadow').selectOption('0');
        await form.frame.locator('#save_attribute').click();
        await form.frame.locator('#seccess').waitFor({ state: 'visible' });
        assert.equal(entryIn(dimens, 'home_point_width'), '40dp');
        assert.equal(entryIn(dimens, 'home_point_height'), '40dp');
        assert.equal(entryIn(file('launcher/content/res/values/integers.xml'), 'config_same_shape'), '0');
        assert.equal(entryIn(bools, 'support_active_icon_app'), 'yes');
        await screenshot(page, '40-attributes-saved');
        await closeForm(form);
        // The bigger page indicator shows in the editor without reopening.
        await waitForNewPicture(page.locator('#preview-img'), before, 'the editor shows the new indicator');
    });

    it('lock screen: shown, the handle kept on the screen, saved, and another template chosen and saved', async () => {
        await page.locator('#package-locktop').click();
        const editorBefore = await pictureOf(page.locator('#preview-img'));
        const form = await openForm('.btn6', '锁屏布局');
        assert.equal(await form.frame.locator('#Lockscreentemplate').inputValue(), '1');
        assert.equal(await form.frame.locator('#timex1').inputValue(), '230px');
        assert.equal(await form.frame.locator('#handlex').inputValue(), '205px');
        assert.equal(await form.frame.locator('#dateCenter').inputValue(), '2');
        assert.equal(await form.frame.locator('#lockpreview1').isVisible(), true);
        assert.equal(await form.frame.locator('#lockpreview4').isVisible(), false);
        assert.equal(await form.frame.locator('#camerax').isVisible(), false);
        assert.equal(await form.frame.locator('#unlockx').isVisible(), true);
        await screenshot(page, '41-lockscreen-form');

        const untouched = snapshot('lockscreen');
        await form.frame.locator('#handlex').fill('990');
        await form.frame.locator('#save_Lockscreentemplate').click();
        await expectWarning('0<锁子x<980');
        await form.frame.locator('#handlex').fill('205px');
        await form.frame.locator('#handley').fill('1900');
        await form.frame.locator('#save_Lockscreentemplate').click();
        await expectWarning('0<锁子y<1820');
        assert.deepEqual(snapshot('lockscreen'), untouched);

        const preview = form.frame.locator('#preview-img1');
        const formBefore = await pictureOf(preview);
        await form.frame.locator('#handley').fill('1375px');
        await form.frame.locator('#timex1').fill('60px');
        await form.frame.locator('#timey1').fill('900px');
        await form.frame.locator('#save_Lockscreentemplate').click();
        await form.frame.locator('#seccess').waitFor({ state: 'visible' });
        const xxhdpi = file('lockscreen/content/lockscreen1/content/res/xxhdpi/lockscreen.xml');
        assert.equal(attributeIn(xxhdpi, 'ImageHour10', 'x'), '60');
        assert.equal(attributeIn(file('lockscreen/content/lockscreen1/content/res/hdpi/lockscreen.xml'),
                                 'ImageHour10', 'y'), '450');
        assert.equal(entryIn(file('lockscreen/template_values.xml'), 'lock_num_h0_y'), '900px');
        await waitForNewPicture(preview, formBefore, 'the form shows the moved digit');
        await screenshot(page, '42-lockscreen-saved');

        // Saved values come back as stored.
        assert.equal(await form.frame.locator('#timex1').inputValue(), '60px');

        // Choosing the four-way template shows its values and writes nothing;
        // the save button applies it.
        const chosenOnly = snapshot('lockscreen');
        await form.frame.locator('#Lockscreentemplate').selectOption('4');
        await form.frame.locator('#lockpreview4').waitFor({ state: 'visible' });
        assert.equal(await form.frame.locator('#lockpreview1').isVisible(), false);
        assert.equal(await form.frame.locator('#camerax').isVisible(), true);
        assert.equal(await form.frame.locator('#phonex').isVisible(), true);
        assert.equal(await form.frame.locator('#timex1').inputValue(),
                     entryIn(file('lockscreen/template_values4.xml'), 'lock_num_h0_x'));
        assert.deepEqual(snapshot('lockscreen'), chosenOnly);
        await form.frame.locator('#save_Lockscreentemplate').click();
        await waitUntil(() => entryIn(file('lockscreen/content/res/values/integers.xml'), 'lockscreen_template') === '4',
                        'template 4 is in use');
        await waitUntil(() => fs.readFileSync(file('lockscreen/template.xml'), 'utf8') ===
                                  fs.readFileSync(file('lockscreen/template4.xml'), 'utf8'),
                        'template 4 is the active copy');
        await screenshot(page, '43-lockscreen-template-4');
        await closeForm(form);
        await waitForNewPicture(page.locator('#preview-img'), editorBefore, 'the editor shows the new lock screen');
    });

    it('lock screen: a template number that is not 1 to 6 is said at once and saves nothing', async () => {
        const integers = file('lockscreen/content/res/values/integers.xml');
        const kept = fs.readFileSync(integers, 'utf8');
        fs.writeFileSync(integers, kept.replace(/(lockscreen_template">)[^<]*/, '$19'));
        const form = popup(page, '锁屏布局');
        await page.locator('#tool-bar .btn6').click();
        await expectWarning('锁屏模板编号“9”无效，应为 1 到 6。');
        const untouched = snapshot('lockscreen');
        await form.frame.locator('#save_Lockscreentemplate').click();
        await expectWarning('锁屏模板编号“9”无效，应为 1 到 6。');
        assert.deepEqual(snapshot('lockscreen'), untouched);
        await closeForm(form);
        fs.writeFileSync(integers, kept);
    });

    it('call screen: shown, a value with a comma refused, saved, a missing layout named', async () => {
        const form = await openForm('.btn9', '通话布局');
        assert.equal(await form.frame.locator('#answerx').inputValue(), '685px');
        assert.equal(await form.frame.locator('#smsy').inputValue(), '1280px');

        const untouched = snapshot('screencall');
        await form.frame.locator('#answerx').fill('100,5');
        await form.frame.locator('#savecallscreen').click();
        await expectWarning('接听 x：“100,5”不是整数（单位 px）。');
        assert.deepEqual(snapshot('screencall'), untouched);
        assert.equal(await form.frame.locator('#seccess').isVisible(), false);

        const preview = form.frame.locator('#preview-img1');
        const before = await pictureOf(preview);
        await form.frame.locator('#answerx').fill('100');
        await form.frame.locator('#answery').fill('1500');
        await form.frame.locator('#savecallscreen').click();
        await form.frame.locator('#seccess').waitFor({ state: 'visible' });
        await waitUntil(async () => await form.frame.locator('#answerx').inputValue() === '100px',
                        'the form shows the value as stored');
        const layouts = { xxhdpi: ['100', '1500'], xhdpi: ['66', '990'], hdpi: ['50', '750'], xxxhdpi: ['130', '1950'] };
        for (const [density, [x, y]] of Object.entries(layouts)) {
            const layout = file(`screencall/content/res/${density}/lockscreen.xml`);
            assert.deepEqual([attributeIn(layout, 'ButtonAnswer', 'x'), attributeIn(layout, 'ButtonAnswer', 'y')], [x, y],
                             density);
        }
        await waitForNewPicture(preview, before, 'the form shows the moved answer button');

        // A save that could not write everything says which file, and shows no success.
        fs.rmSync(file('screencall/content/res/hdpi/lockscreen.xml'));
        await form.frame.locator('#answerx').fill('120');
        await form.frame.locator('#savecallscreen').click();
        await expectWarning('screencall/content/res/hdpi/lockscreen.xml');
        assert.equal(await form.frame.locator('#seccess').isVisible(), false);
        assert.equal(attributeIn(file('screencall/content/res/xhdpi/lockscreen.xml'), 'ButtonAnswer', 'x'), '79');
        await screenshot(page, '44-callscreen');
        await closeForm(form);
    });

    it('weather widget: checked on every change, refused on save with the warning alert, then saved', async () => {
        await page.locator('#package-desktop').click();
        const editorBefore = await pictureOf(page.locator('#preview-img'));
        const form = await openForm('.btn8', '天气布局');
        assert.equal(await form.frame.locator('#timex1').inputValue(), '96px');
        assert.equal(await form.frame.locator('#backgroundw').inputValue(), '1000px');
        // The background's x is not the designer's: it keeps the background centred.
        assert.equal(await form.frame.locator('#backgroundx').inputValue(), '40');
        assert.equal(await form.frame.locator('#backgroundx').getAttribute('readonly'), '');

        // A change outside the widget is said but kept.
        await form.frame.locator('#timex1').fill('-5');
        await form.frame.locator('#timex1').blur();
        await expectWarning('小时1：x>0且x+w<1008');
        assert.equal(await form.frame.locator('#timex1').inputValue(), '-5');
        await form.frame.locator('#iconh').fill('600');
        await form.frame.locator('#iconh').blur();
        await expectWarning('图片：y+h<640');

        // The save refuses the first item outside, the icon before the hours.
        const untouched = snapshot('launcher');
        await form.frame.locator('#save_weather').click();
        await expectWarning('图片：y>90且y+h<640');
        await form.frame.locator('#iconh').fill('210px');
        await form.frame.locator('#save_weather').click();
        await expectWarning('小时1：x>0且x+w<1008');
        assert.deepEqual(snapshot('launcher'), untouched);

        const preview = form.frame.locator('#preview-img');
        const before = await pictureOf(preview);
        await form.frame.locator('#timex1').fill('120');
        await form.frame.locator('#timey1').fill('200');
        await form.frame.locator('#backgroundw').fill('1001');
        await form.frame.locator('#save_weather').click();
        await form.frame.locator('#seccess').waitFor({ state: 'visible' });
        const layouts = {
            'weatherconfig2.xml': ['100', '110'], 'weatherconfig.xml': ['50', '55'],
            'weatherconfig1.xml': ['66', '72'], 'weatherconfig3.xml': ['130', '143'],
        };
        for (const [name, [x, y]] of Object.entries(layouts)) {
            const layout = file(`launcher/content/res/xml/${name}`);
            assert.deepEqual([attributeIn(layout, 'ImageHour10', 'x'), attributeIn(layout, 'ImageHour10', 'y')], [x, y],
                             name);
        }
        assert.equal(entryIn(file('launcher/template_values.xml'), 'widgets_bg_x'), '39');
        assert.equal(await form.frame.locator('#backgroundx').inputValue(), '39');
        await waitForNewPicture(preview, before, 'the form shows the moved digit');
        await screenshot(page, '45-weather-saved');
        await closeForm(form);
        await waitForNewPicture(page.locator('#preview-img'), editorBefore, 'the editor shows the new widget');
        assert.deepEqual(takeBrowserAlerts(), []);
    });

    it('lock-screen animation: shown as on, refused on a damaged template number, switched off', async () => {
        const form = await openForm('.btn7', '锁屏动画');
        // Not stored as off: the first choice, yes.
        assert.equal(await form.frame.locator('#isAnimator').inputValue(), '1');
        assert.equal(await form.frame.locator('#AnimatorTimes').inputValue(), '5');
        assert.equal(await form.frame.locator('#Animator20').inputValue(), '1');

        const integers = file('lockscreen/content/res/values/integers.xml');
        const kept = fs.readFileSync(integers, 'utf8');
        fs.writeFileSync(integers, kept.replace(/(lockscreen_template">)[^<]*/, '$10'));
        const untouched = snapshot('lockscreen');
        await form.frame.locator('#isAnimator').selectOption('0');
        await form.frame.locator('#save_LockscreenAnimator').click();
        await expectWarning('锁屏模板编号“0”无效，应为 1 到 6。');
        assert.deepEqual(snapshot('lockscreen'), untouched);
        fs.writeFileSync(integers, kept);

        const template = entryIn(integers, 'lockscreen_template');
        await form.frame.locator('#Animator5').selectOption('0');
        await form.frame.locator('#AnimatorTime').fill('80');
        await form.frame.locator('#save_LockscreenAnimator').click();
        await form.frame.locator('#seccess').waitFor({ state: 'visible' });
        assert.equal(entryIn(file(`lockscreen/template_values${template}.xml`), 'animator_x'), '-2080px');
        assert.equal(entryIn(file('lockscreen/template_values.xml'), 'animator_x'), '-2080px');
        const layout = file(`lockscreen/content/lockscreen${template}/content/res/xhdpi/lockscreen.xml`);
        assert.equal(attributeIn(layout, 'ImageAnimator', 'x'), '-1372');
        assert.equal(attributeIn(layout, 'Frame', 'src', 'animator5'), '');
        assert.equal(attributeIn(layout, 'Frame', 'duration', 'animator6'), '80');
        assert.equal(entryIn(integers, 'animator5'), '0');
        await closeForm(form);

        // Opened again, the form shows the animation off.
        const again = await openForm('.btn7', '锁屏动画');
        assert.equal(await again.frame.locator('#isAnimator').inputValue(), '0');
        assert.equal(await again.frame.locator('#AnimatorX').inputValue(), '0px');
        assert.equal(await again.frame.locator('#AnimatorY').inputValue(), '600px');
        await screenshot(page, '46-animation-off');
        await closeForm(again);
        assert.deepEqual(session.problems, []);
    });
});
