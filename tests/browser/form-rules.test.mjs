// The numeric rules the settings forms and the canvas share: what a field
// accepts, what it sends, and the words of its refusal. The rules are plain
// script, run here without a browser.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import { describe, it } from 'node:test';
import { ROOT } from './harness.mjs';

function loadRules() {
    const context = {};
    vm.createContext(context);
    vm.runInContext(`${fs.readFileSync(path.join(ROOT, 'ui/shell/form-rules.js'), 'utf8')};this.FormRules = FormRules;`,
                    context);
    return context.FormRules;
}

const FormRules = loadRules();

describe('the numeric rules of the forms', () => {
    it('takes integers with the units a field may carry and refuses everything else', () => {
        const cases = [
            // form, field, typed, sent (null: refused with this message)
            ['callscreen', 'answerx', '36', '36px'],
            ['callscreen', 'answerx', ' 36px ', '36px'],
            ['callscreen', 'answerx', '036', '36px'],
            ['callscreen', 'answerx', '', null, '请填写接听 x。'],
            ['callscreen', 'answerx', 'abc', null, '接听 x：“abc”不是整数（单位 px）。'],
            ['callscreen', 'answerx', 'NaN', null, '接听 x：“NaN”不是整数（单位 px）。'],
            ['callscreen', 'answerx', '12.5', null, '接听 x：“12.5”不是整数（单位 px）。'],
            ['callscreen', 'answerx', '36sp', null, '接听 x：“36sp”不是整数（单位 px）。'],
            ['callscreen', 'answerx', '<b>', null, '接听 x：“&lt;b&gt;”不是整数（单位 px）。'],
            ['callscreen', 'answerx', '-1', null, '接听 x：应在 0 到 1080 px 之间。'],
            ['callscreen', 'answery', '1921', null, '接听 y：应在 0 到 1920 px 之间。'],
            ['callscreen', 'answerx', '9'.repeat(600), null, '接听 x：应在 0 到 1080 px 之间。'],
            ['callscreen', 'answerx', `-${'9'.repeat(600)}`, null, '接听 x：应在 0 到 1080 px 之间。'],
            ['lockscreen', 'camerax', '-2080px', '-2080px'],
            ['lockscreen', 'handlex', '990', null, '0<锁子x<980'],
            ['lockscreen', 'handley', '1821', null, '0<锁子y<1820'],
            ['lockscreen', 'datesize', '36sp', '36sp'],
            ['lockscreen', 'datesize', '1920', '1920px'],
            ['lockscreen', 'datesize', '99999', null, '日期 字体大小：应在 1 到 1920 px 之间。'],
            ['lockscreen', 'datesize', '0', null, '日期 字体大小：应在 1 到 1920 px 之间。'],
            ['weather', 'temperaturesize', '2000px', null, '温度 字体大小：应在 1 到 1920 px 之间。'],
            ['attribute', 'dayFontSize', '30', '30sp'],
            ['attribute', 'dayFontSize', '30SP', '30sp'],
            ['attribute', 'dayFontSize', '641sp', null, '动态日历日期字体大小：应在 1 到 640 sp 之间。'],
            ['attribute', 'pageWidth', '', null, '请填分页符宽度（dp）'],
            ['attribute', 'pageHeight', '8dp', '8dp'],
            ['animator', 'AnimatorTime', '80', '80'],
            ['animator', 'AnimatorTime', '80px', null, '停留(毫秒)：“80px”不是整数。'],
        ];
        for (const [form, field, typed, sent, message] of cases) {
            const rule = FormRules.rule(form, field);
            assert.ok(rule, `${form} ${field} has a rule`);
            const result = FormRules.check(rule, typed);
            const what = `${form} ${field} ${JSON.stringify(typed.slice(0, 20))}`;
            if (sent === null) {
                assert.equal(result.ok, false, what);
                assert.equal(result.message, message, what);
            } else {
                assert.equal(result.ok, true, `${what}: ${result.message}`);
                assert.equal(result.text, sent, what);
            }
        }
    });

    it('checks whole forms: boxes inside their area, the first failure named', () => {
        const weather = {
            iconx: '764px', icony: '152px', iconw: '210px', iconh: '210px',
            backgroundy: '130px', backgroundw: '1000px', backgroundh: '440px',
            datex: '100', datey: '392', datesize: '44px', weekx: '292', weeky: '392', weeksize: '44',
            cityx: '100', cityy: '474', citysize: '36', weatherx: '196', weathery: '474', weathersize: '36',
            temperaturex: '801', temperaturey: '380', temperaturesize: '64',
        };
        for (let i = 1; i <= 6; ++i) {
            Object.assign(weather, { [`timex${i}`]: `${100 * i}`, [`timey${i}`]: '170', [`timew${i}`]: '90',
                                     [`timeh${i}`]: '180' });
        }
        const cases = [
            // form, changes to the good values, the failing field and message (none: accepted)
            ['weather', {}],
            ['weather', { backgroundw: '1080' }],
            ['weather', { backgroundw: '1081' }, 'backgroundw', '背景：w<1080'],
            ['weather', { timex1: '-5' }, 'timex1', '小时1：x>0且x+w<1008'],
            ['weather', { timex2: '950' }, 'timex2', '小时2：x>0且x+w<1008'],
            ['weather', { icony: '500' }, 'iconx', '图片：y>90且y+h<640'],
            ['weather', { timex1: 'abc', timex2: '-5' }, 'timex1', '小时1 x：“abc”不是整数（单位 px）。'],
            ['weather', { backgroundy: '80' }, 'backgroundw', '背景：y>90且y+h<640'],
            ['weather', { datey: '50' }, 'datey', '日期 y：应在 90 到 640 px 之间。'],
            ['weather', { timew3: '9'.repeat(600) }, 'timex3', '冒号：x>0且x+w<1008'],
        ];
        for (const [form, changes, field, message] of cases) {
            const values = { ...weather, ...changes };
            const result = FormRules.checkForm(form, (id) => values[id]);
            const what = `${form} ${JSON.stringify(changes).slice(0, 60)}`;
            if (!field) {
                assert.equal(result.ok, true, `${what}: ${result.message}`);
                assert.equal(result.texts.datex, '100px');
                assert.equal(Object.keys(result.texts).length, FormRules.rules(form).length);
            } else {
                assert.deepEqual({ ok: result.ok, field: result.field, message: result.message },
                                 { ok: false, field, message }, what);
            }
        }
    });

    it('keeps the lock screen handle in the range the form prints before its box', () => {
        const values = {};
        for (const rule of FormRules.rules('lockscreen')) {
            values[rule.field] = '10px';
        }
        assert.equal(FormRules.checkForm('lockscreen', (id) => values[id]).ok, true);
        values.handlex = '990';
        assert.equal(FormRules.checkForm('lockscreen', (id) => values[id]).message, '0<锁子x<980');
        values.handlex = '950';
        values.handlew = '200';
        assert.equal(FormRules.checkForm('lockscreen', (id) => values[id]).message, '锁子：x+w 应不超过 1080。');
        values.handlex = '10';
        values.camerax = '-2080px';
        assert.equal(FormRules.checkForm('lockscreen', (id) => values[id]).ok, true, 'an element kept off screen');
    });

    it('clamps a dragged box inside its area, shrinking only what cannot fit', () => {
        const boxOf = (form, label) => FormRules.boxes(form).find((box) => box.label === label);
        const cases = [
            [boxOf('callscreen', '接听'), { x: -40, y: 1900, w: 220, h: 220 }, { x: 0, y: 1700, w: 220, h: 220 }],
            [boxOf('callscreen', '接听'), { x: 10, y: 10, w: 2000, h: 50 }, { x: 0, y: 10, w: 1080, h: 50 }],
            [boxOf('weather', '小时1'), { x: 990, y: 0, w: 120, h: 180 }, { x: 888, y: 90, w: 120, h: 180 }],
            [boxOf('lockscreen', '锁子'), { x: 1000, y: 1900, w: 190, h: 190 }, { x: 890, y: 1730, w: 190, h: 190 }],
            [boxOf('lockscreen', '日期'), { x: 900, y: 500, w: 400 }, { x: 680, y: 500, w: 400 }],
        ];
        for (const [box, rect, clamped] of cases) {
            assert.deepEqual({ ...FormRules.clampBox(box.form, box, rect) }, clamped, `${box.label} ${JSON.stringify(rect)}`);
        }
        assert.deepEqual({ ...FormRules.bounds('weather', 'timey1') }, { min: 90, max: 640 });
    });
});
