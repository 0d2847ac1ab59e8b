/* Skinwright page script: the numeric rules of the layout forms, one table
 * for the forms and for the preview that places elements through them.
 *
 * A rule bounds one field of a form; its limits may depend on other fields
 * of the same form (x + w must stay inside the weather widget). Values are
 * the form's texts ("420px"); numbers are read as the host reads them.
 *
 *   FormRules.range(form, field, values) -> { min, max, message } or null
 *   FormRules.problem(form, field, values) -> '' or the message
 */
'use strict';

var FormRules = (function () {
    var SCREEN = { width: 1080, height: 1920 };

    // The number a value text stands for, as the host reads it ("420px" is
    // 420); NaN for a text without one.
    function numberOf(text) {
        return parseInt($.trim(String(text === undefined || text === null ? '' : text)), 10);
    }

    // The weather widget's digits and picture stay inside the widget.
    var WEATHER_BOXES = [
        { label: '图片', prefix: 'icon', suffix: '' },
        { label: '小时1', prefix: 'time', suffix: '1' },
        { label: '小时2', prefix: 'time', suffix: '2' },
        { label: '冒号', prefix: 'time', suffix: '3' },
        { label: '分钟1', prefix: 'time', suffix: '4' },
        { label: '分钟2', prefix: 'time', suffix: '5' }
    ];
    var WEATHER_RIGHT = 1008;
    var WEATHER_TOP = 90;
    var WEATHER_BOTTOM = 640;

    var RULES = { lockscreen: {}, weather: {}, callscreen: {}, animator: {} };

    RULES.lockscreen.handlex = function () {
        return { min: 0, max: 980, message: '0<锁子x<980' };
    };
    RULES.lockscreen.handley = function () {
        return { min: 0, max: 1820, message: '0<锁子y<1820' };
    };
    $.each(WEATHER_BOXES, function (_, box) {
        var field = function (edge) {
            return box.prefix + edge + box.suffix;
        };
        RULES.weather[field('x')] = function (values) {
            return { min: 0, max: WEATHER_RIGHT - (numberOf(values[field('w')]) || 0),
                     message: box.label + '：x>0且x+w<' + WEATHER_RIGHT };
        };
        RULES.weather[field('y')] = function (values) {
            return { min: WEATHER_TOP, max: WEATHER_BOTTOM - (numberOf(values[field('h')]) || 0),
                     message: box.label + '：y>' + WEATHER_TOP + '且y+h<' + WEATHER_BOTTOM };
        };
    });

    // Any other place stays on the screen: its left and top edges inside it.
    function screenRange(field) {
        var vertical = /y\d*$/i.test(field);
        var edge = vertical ? SCREEN.height : SCREEN.width;
        return { min: 0, max: edge, message: (vertical ? 'y' : 'x') + '应在 0 到 ' + edge + ' 之间' };
    }

    function isPlaceField(field) {
        return /(x|y)\d*$/i.test(field) && !/size$/i.test(field);
    }

    function range(form, field, values) {
        var rules = RULES[form] || {};
        if (rules[field]) {
            return rules[field](values || {});
        }
        return isPlaceField(field) ? screenRange(field) : null;
    }

    function problem(form, field, values) {
        var limits = range(form, field, values);
        if (!limits) {
            return '';
        }
        var value = numberOf((values || {})[field]);
        return isNaN(value) || value < limits.min || value > limits.max ? limits.message : '';
    }

    return { range: range, problem: problem, numberOf: numberOf };
})();
