/* The numeric rules of the settings forms and of the design canvas: one row
 * a field, saying what it holds (an integer, with the units it may carry),
 * the range it must stay in on its screen, and the name a warning gives it.
 * The forms check every field with these rules before anything is sent to
 * the host; the canvas clamps a dragged element with the same bounds.
 *
 *   FormRules.rule(form, field)       the rule of a field, or null
 *   FormRules.rules(form)             every rule of a form, in table order
 *   FormRules.check(rule, text)       {ok, value, px, text, message}
 *   FormRules.checkForm(form, read)   {ok, field, message, texts}
 *   FormRules.boxes(form)             the boxes a form keeps inside its area
 *   FormRules.bounds(form, field)     {min, max} in pixels of the screen
 *   FormRules.clampBox(form, box, r)  r = {x, y, w, h} moved inside the area
 *
 * Forms: 'attribute', 'lockscreen', 'callscreen', 'weather', 'animator'.
 * Coordinates are pixels of the 1080 x 1920 (xxhdpi) screen. */
var FormRules = (function () {
    'use strict';

    var SCREEN = { left: 0, top: 0, right: 1080, bottom: 1920 };
    // The weather widget's area on the home screen; its background is
    // centred on the whole screen's width instead.
    var WEATHER_AREA = { left: 0, top: 90, right: 1008, bottom: 640 };
    // Where a template puts an element it does not show (the camera of a
    // one-way lock screen, an animation switched off).
    var OFF_SCREEN_X = -2080;
    // dp and sp are three pixels each on an xxhdpi screen.
    var XXHDPI = 3;
    // More digits than this are out of every range, whatever they say.
    var MAX_DIGITS = 9;

    var PIXELS = { px: 1 };
    // The lock screen and the weather widget store text sizes in px; an sp
    // typed there is taken as px, as the host does.
    var TEXT_SIZE = { px: 1, sp: 1 };

    function screenRule(axis, area) {
        var across = axis === 'x' || axis === 'w';
        var low = across ? area.left : area.top;
        var high = across ? area.right : area.bottom;
        if (axis === 'w' || axis === 'h') {
            return { min: 0, max: high - low };
        }
        return { min: low, max: high };
    }

    // A row of boxed fields: label, the ids of x, y, w and h (null where a
    // row has none), and the area the row stays in.
    function boxRow(label, ids, area, extra) {
        return Object.assign({ label: label, ids: ids, area: area }, extra || {});
    }

    function sameIds(prefix, suffix) {
        return { x: prefix + 'x' + suffix, y: prefix + 'y' + suffix, w: prefix + 'w' + suffix, h: prefix + 'h' + suffix };
    }

    var DIGITS = ['小时1', '小时2', '冒号', '分钟1', '分钟2', 'AM/PM'];

    function digitRows(area, extra) {
        return DIGITS.map(function (label, i) {
            return boxRow(label, sameIds('time', String(i + 1)), area, extra);
        });
    }

    // The boxes of each form. A box keeps x + w and y + h inside its area.
    var BOXES = {
        lockscreen: digitRows(SCREEN).concat([
            boxRow('锁子', sameIds('handle', ''), SCREEN, { max: { x: 980, y: 1820 },
                                                             messages: { x: '0<锁子x<980', y: '0<锁子y<1820' } }),
            boxRow('相机', sameIds('camera', ''), SCREEN, { off: true }),
            boxRow('电话', sameIds('phone', ''), SCREEN, { off: true }),
            boxRow('信息', sameIds('message', ''), SCREEN, { off: true }),
            boxRow('解锁', sameIds('unlock', ''), SCREEN),
            boxRow('动画', sameIds('animator', ''), SCREEN, { off: true }),
            boxRow('日期', { x: 'datex', y: 'datey', w: 'datew', h: null, size: 'datesize' }, SCREEN),
            boxRow('充电', { x: 'batteryx', y: 'batteryy', w: 'batteryw', h: null, size: 'batterysize' }, SCREEN),
            boxRow('机主信息', { x: 'TextOwnerInfoX', y: 'TextOwnerInfoY', w: 'TextOwnerInfoW', h: null,
                                 size: 'TextOwnerInfoSize' }, SCREEN),
            boxRow('中国移动', { x: 'TextSimAllX', y: 'TextSimAllY', w: 'TextSimAllW', h: null, size: 'TextSimAllSize' },
                   SCREEN)
        ]),
        callscreen: [
            boxRow('提醒', sameIds('reminder', ''), SCREEN),
            boxRow('信息', sameIds('sms', ''), SCREEN),
            boxRow('挂断', sameIds('hangup', ''), SCREEN),
            boxRow('接听', sameIds('answer', ''), SCREEN)
        ],
        weather: [boxRow('图片', sameIds('icon', ''), WEATHER_AREA, { weather: true })]
            .concat(digitRows(WEATHER_AREA, { weather: true }))
            .concat([
                // Centred on the screen: its width may be the screen's, its x
                // follows from the width and is not typed.
                boxRow('背景', { x: null, y: 'backgroundy', w: 'backgroundw', h: 'backgroundh' },
                       { left: 0, top: WEATHER_AREA.top, right: SCREEN.right, bottom: WEATHER_AREA.bottom },
                       { weather: true }),
                boxRow('日期', { x: 'datex', y: 'datey', w: null, h: null, size: 'datesize' }, WEATHER_AREA),
                boxRow('星期', { x: 'weekx', y: 'weeky', w: null, h: null, size: 'weeksize' }, WEATHER_AREA),
                boxRow('城市', { x: 'cityx', y: 'cityy', w: null, h: null, size: 'citysize' }, WEATHER_AREA),
                boxRow('天气', { x: 'weatherx', y: 'weathery', w: null, h: null, size: 'weathersize' }, WEATHER_AREA),
                boxRow('温度', { x: 'temperaturex', y: 'temperaturey', w: null, h: null, size: 'temperaturesize' },
                       WEATHER_AREA)
            ]),
        animator: [boxRow('动画', { x: 'AnimatorX', y: 'AnimatorY', w: 'AnimatorW', h: 'AnimatorH' }, SCREEN)],
        attribute: []
    };

    var AXIS_NAMES = { x: 'x', y: 'y', w: 'w', h: 'h', size: '字体大小' };

    // The field rules of the boxed rows.
    function boxRules(form) {
        var rules = [];
        BOXES[form].forEach(function (row) {
            ['x', 'y', 'w', 'h', 'size'].forEach(function (axis) {
                var id = row.ids[axis];
                if (!id) {
                    return;
                }
                var range = axis === 'size' ? { min: 1, max: SCREEN.bottom } : screenRule(axis, row.area);
                if (row.max && row.max[axis] !== undefined) {
                    range.max = row.max[axis];
                }
                rules.push({
                    form: form,
                    field: id,
                    label: row.label + ' ' + AXIS_NAMES[axis],
                    units: axis === 'size' ? TEXT_SIZE : PIXELS,
                    unit: 'px',
                    min: range.min,
                    max: range.max,
                    off: row.off && axis === 'x' ? OFF_SCREEN_X : undefined,
                    rangeMessage: row.messages && row.messages[axis],
                    box: row
                });
            });
        });
        return rules;
    }

    function plainRule(form, field, label, unit, units, min, max, extra) {
        return Object.assign({ form: form, field: field, label: label, unit: unit, units: units, min: min, max: max },
                             extra);
    }

    var DENSITY_UNITS = { dp: XXHDPI, dip: XXHDPI, px: 1 };
    var FONT_UNITS = { sp: XXHDPI, px: 1 };

    var RULES = {
        attribute: [
            plainRule('attribute', 'pageWidth', '分页符宽', 'dp', DENSITY_UNITS, 1, SCREEN.right,
                      { emptyMessage: '请填分页符宽度（dp）' }),
            plainRule('attribute', 'pageHeight', '分页符高', 'dp', DENSITY_UNITS, 1, SCREEN.bottom,
                      { emptyMessage: '请填分页符高度（dp）' }),
            plainRule('attribute', 'weekdayFontSize', '动态日历星期字体大小', 'sp', FONT_UNITS, 1, SCREEN.bottom),
            plainRule('attribute', 'dayFontSize', '动态日历日期字体大小', 'sp', FONT_UNITS, 1, SCREEN.bottom)
        ],
        lockscreen: boxRules('lockscreen'),
        callscreen: boxRules('callscreen'),
        weather: boxRules('weather'),
        animator: [
            plainRule('animator', 'AnimatorTimes', '循环', '', { '': 1 }, 0, 10000),
            plainRule('animator', 'AnimatorTime', '停留(毫秒)', '', { '': 1 }, 1, 60000)
        ].concat(boxRules('animator'))
    };

    function rules(form) {
        return RULES[form] || [];
    }

    function rule(form, field) {
        return rules(form).find(function (r) {
            return r.field === field;
        }) || null;
    }

    function escapeText(text) {
        return String(text).replace(/[&<>"']/g, function (c) {
            return { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' }[c];
        });
    }

    function unitWords(r) {
        var names = Object.keys(r.units).filter(function (u) {
            return u !== '';
        });
        return names.length ? '（单位 ' + names.join('、') + '）' : '';
    }

    // The range in the rule's own unit, for the messages.
    function rangeText(r) {
        var scale = r.units[r.unit] || 1;
        return Math.ceil(r.min / scale) + ' 到 ' + Math.floor(r.max / scale) + (r.unit ? ' ' + r.unit : '');
    }

    function failure(message) {
        return { ok: false, message: message };
    }

    // Checks one field's text: an integer, with one of the rule's units (a
    // bare number takes the rule's unit), inside the rule's range. The text
    // to send carries the unit: "36" becomes "36px".
    function check(r, text) {
        var typed = (text === undefined || text === null ? '' : String(text)).trim();
        if (!typed) {
            return failure(r.emptyMessage || '请填写' + escapeText(r.label) + '。');
        }
        var match = /^([+-]?)(\d+)\s*([a-zA-Z]*)$/.exec(typed);
        var unit = match ? (match[3] || r.unit).toLowerCase() : '';
        if (!match || !Object.prototype.hasOwnProperty.call(r.units, unit)) {
            return failure(escapeText(r.label) + '：“' + escapeText(typed) + '”不是整数' + unitWords(r) + '。');
        }
        var digits = match[2].replace(/^0+(?=\d)/, '');
        var value = digits.length > MAX_DIGITS ? Infinity : Number(digits);
        if (match[1] === '-') {
            value = -value;
        }
        value = value === 0 ? 0 : value;
        var px = value * r.units[unit];
        var normal = unit === r.unit || !r.unit ? String(value) + r.unit : String(value) + unit;
        if (r.off !== undefined && px === r.off) {
            return { ok: true, value: value, px: px, text: normal };
        }
        if (!(px >= r.min && px <= r.max)) {
            return failure(r.rangeMessage || escapeText(r.label) + '：应在 ' + rangeText(r) + ' 之间。');
        }
        return { ok: true, value: value, px: px, text: normal };
    }

    // The problem of a box whose fields all passed: its far edges must stay
    // inside its area. The weather form keeps its own words.
    function boxProblem(row, px) {
        var area = row.area;
        var ids = row.ids;
        var at = function (axis) {
            return ids[axis] ? px[ids[axis]] : undefined;
        };
        if (row.off && at('x') === OFF_SCREEN_X) {
            return '';
        }
        var across = at('x') !== undefined && at('w') !== undefined && at('x') + at('w') > area.right;
        var down = at('y') !== undefined && at('h') !== undefined && at('y') + at('h') > area.bottom;
        if (row.weather) {
            var xFails = at('x') !== undefined && (at('x') < area.left || across);
            var yFails = at('y') !== undefined && (at('y') < area.top || down);
            if (!ids.x && at('w') !== undefined && at('w') > area.right) {
                return row.label + '：w<' + area.right;
            }
            if (xFails) {
                return row.label + '：x>' + area.left + '且x+w<' + area.right;
            }
            if (yFails) {
                return row.label + '：y>' + area.top + '且y+h<' + area.bottom;
            }
            return '';
        }
        if (across) {
            return escapeText(row.label) + '：x+w 应不超过 ' + area.right + '。';
        }
        if (down) {
            return escapeText(row.label) + '：y+h 应不超过 ' + area.bottom + '。';
        }
        return '';
    }

    // Checks every field of a form, read(id) giving a field's text: first
    // that each is an integer with a unit it may carry, then each field's own
    // range, then that the boxes stay inside their areas. The weather form
    // checks its boxes before the ranges of their fields, with its own words.
    // The answer names the first field that fails; texts holds every field's
    // text to send.
    function checkForm(form, read) {
        var all = rules(form);
        var texts = {};
        var px = {};
        var fail = function (field, message) {
            return { ok: false, field: field, message: message };
        };
        for (var i = 0; i < all.length; ++i) {
            var parsed = check(Object.assign({}, all[i], { min: -Infinity, max: Infinity }), read(all[i].field));
            if (!parsed.ok) {
                return fail(all[i].field, parsed.message);
            }
            texts[all[i].field] = parsed.text;
            px[all[i].field] = parsed.px;
        }
        var inRange = function (boxedByWeather) {
            var bad = all.find(function (r) {
                return Boolean(r.box && r.box.weather) === boxedByWeather && !check(r, read(r.field)).ok;
            });
            return bad ? fail(bad.field, check(bad, read(bad.field)).message) : null;
        };
        var first = inRange(false);
        if (first) {
            return first;
        }
        var boxes = BOXES[form] || [];
        for (var b = 0; b < boxes.length; ++b) {
            var problem = boxProblem(boxes[b], px);
            if (problem) {
                return fail(boxes[b].ids.x || boxes[b].ids.w, problem);
            }
        }
        return inRange(true) || { ok: true, texts: texts };
    }

    function bounds(form, field) {
        var r = rule(form, field);
        return r ? { min: r.min, max: r.max } : null;
    }

    // Moves a rectangle {x, y, w, h} (pixels) inside the area of a box of
    // the form, keeping its size where it fits and shrinking it where not.
    function clampBox(form, row, rect) {
        var area = row.area;
        var out = Object.assign({}, rect);
        var fit = function (pos, size, low, high) {
            var s = Math.max(0, Math.min(size, high - low));
            var p = Math.max(low, Math.min(pos, high - s));
            return [p, s];
        };
        var across = fit(out.x, out.w || 0, area.left, row.max && row.max.x !== undefined
                                                          ? Math.min(area.right, row.max.x + (out.w || 0))
                                                          : area.right);
        var down = fit(out.y, out.h || 0, area.top, row.max && row.max.y !== undefined
                                                       ? Math.min(area.bottom, row.max.y + (out.h || 0))
                                                       : area.bottom);
        out.x = across[0];
        out.y = down[0];
        if (rect.w !== undefined) {
            out.w = across[1];
        }
        if (rect.h !== undefined) {
            out.h = down[1];
        }
        return out;
    }

    return {
        SCREEN: SCREEN,
        WEATHER_AREA: WEATHER_AREA,
        OFF_SCREEN_X: OFF_SCREEN_X,
        rule: rule,
        rules: rules,
        check: check,
        checkForm: checkForm,
        boxes: function (form) {
            return BOXES[form] || [];
        },
        bounds: bounds,
        clampBox: clampBox
    };
})();
