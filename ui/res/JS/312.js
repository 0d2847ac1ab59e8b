/* Skinwright page script: placing preview elements through the layout forms.
 *
 * Every element whose place a layout form sets is listed here with the
 * form's fields for it. A move on the preview (a drag, a nudge, a number
 * typed in the readout) ends in ElementPlacement.place, which reads the
 * values the form would show, changes only the fields of that element and
 * calls the form's own save with the form's own value list: the files are
 * what the form would write, and the save is one undo step.
 *
 * Places are in pixels of a 1080 x 1920 screen, as the forms have them.
 */
'use strict';

var ElementPlacement = (function () {
    // Only the first screen of a module is laid out by the forms.
    var PLACED_SCREEN = 0;

    function box(form, x, y, w, h) {
        return { form: form, x: x, y: y, w: w, h: h };
    }

    function text(form, x, y, size, centre) {
        return { form: form, x: x, y: y, size: size, centre: centre };
    }

    function clockDigits(form, first) {
        var places = {};
        for (var digit = 1; digit <= 6; ++digit) {
            places[first + digit - 1] = box(form, 'timex' + digit, 'timey' + digit, 'timew' + digit, 'timeh' + digit);
        }
        return places;
    }

    // By module page name and element id of the first screen.
    var PLACES = {
        '锁屏': $.extend(clockDigits('lockscreen', 3), {
            1: box('animator', 'AnimatorX', 'AnimatorY', 'AnimatorW', 'AnimatorH'),
            9: text('lockscreen', 'datex', 'datey', 'datesize', 'dateCenter'),
            10: text('lockscreen', 'batteryx', 'batteryy', 'batterysize', 'batteryCenter'),
            11: text('lockscreen', 'TextOwnerInfoX', 'TextOwnerInfoY', 'TextOwnerInfoSize', 'ownerCenter'),
            12: text('lockscreen', 'TextSimAllX', 'TextSimAllY', 'TextSimAllSize', 'simCenter'),
            13: box('lockscreen', 'handlex', 'handley', 'handlew', 'handleh'),
            14: box('lockscreen', 'camerax', 'cameray', 'cameraw', 'camerah'),
            15: box('lockscreen', 'unlockx', 'unlocky', 'unlockw', 'unlockh'),
            16: box('lockscreen', 'phonex', 'phoney', 'phonew', 'phoneh'),
            17: box('lockscreen', 'messagex', 'messagey', 'messagew', 'messageh')
        }),
        // The weather background is centred on the screen: no x of its own.
        '桌面': $.extend(clockDigits('weather', 4), {
            2: box('weather', null, 'backgroundy', 'backgroundw', 'backgroundh'),
            3: box('weather', 'iconx', 'icony', 'iconw', 'iconh'),
            10: text('weather', 'weekx', 'weeky', 'weeksize'),
            11: text('weather', 'datex', 'datey', 'datesize'),
            12: text('weather', 'cityx', 'cityy', 'citysize'),
            13: text('weather', 'weatherx', 'weathery', 'weathersize'),
            14: text('weather', 'temperaturex', 'temperaturey', 'temperaturesize')
        }),
        '通话': {
            4: box('callscreen', 'answerx', 'answery', 'answerw', 'answerh'),
            5: box('callscreen', 'hangupx', 'hangupy', 'hangupw', 'hanguph'),
            6: box('callscreen', 'reminderx', 'remindery', 'reminderw', 'reminderh'),
            7: box('callscreen', 'smsx', 'smsy', 'smsw', 'smsh')
        }
    };

    // A form's value list in its own order, each value as the form sends it.
    function listOf(values, order) {
        return $.map(order, function (field) {
            return $.trim(values[field] === undefined || values[field] === null ? '' : String(values[field]));
        }).join(',');
    }

    // The saves, called exactly as the forms call them.
    var SAVES = {
        lockscreen: function (param, v) {
            return external.SaveLockscreen($.trim(v.Lockscreentemplate || ''), param.name, param.path,
                                           listOf(v, LOCK_LIST), $.trim(v.dateCenter || ''),
                                           $.trim(v.batteryCenter || ''), $.trim(v.ownerCenter || ''),
                                           $.trim(v.simCenter || ''));
        },
        callscreen: function (param, v) {
            return external.SaveCallscreen(param.name, param.path, listOf(v, CALL_LIST));
        },
        weather: function (param, v) {
            return external.SaveWeather(param.name, param.path, listOf(v, WEATHER_LIST));
        },
        animator: function (param, v) {
            // The form shows an animation not stored as off as on.
            return external.saveAnimator(v.isAnimator === '0' ? '0' : '1', param.name, param.path,
                                         listOf(v, ANIMATOR_LIST));
        }
    };

    // The fields that place an element, or null when no form places it.
    function placeOf(pkgName, element) {
        if (!element || element.mScreenID !== PLACED_SCREEN) {
            return null;
        }
        return (PLACES[pkgName] || {})[element.mElementID] || null;
    }

    // The values a form would show now: { name, path, fields }, or null.
    async function formValues(form) {
        return ParseJson(await external.GetFormValues(form)) || null;
    }

    // A value text with another number, keeping the unit the text had
    // ("380px" moved to 400 is "400px").
    function withNumber(old, number) {
        var unit = String(old === undefined || old === null ? '' : old).replace(/^\s*[-+]?\d*/, '');
        return String(Math.round(number)) + unit;
    }

    // The number a value text stands for, as the host reads it ("420px" is
    // 420); NaN for a text without one.
    function numberOf(text) {
        return parseInt($.trim(String(text === undefined || text === null ? '' : text)), 10);
    }

    function isCentred(v, place) {
        return place.centre !== undefined && numberOf(v[place.centre]) === 2;
    }

    // Whether the element's form can place it now: an element its template
    // hides (an animation switched off, the camera of a one-way lock screen)
    // has no place on the screen.
    function canPlace(place, v) {
        if (place.form === 'animator' && v.isAnimator === '0') {
            return false;
        }
        return !(place.x && numberOf(v[place.x]) === FormRules.OFF_SCREEN_X);
    }

    // The row of the form's rule table that keeps the element's box.
    function rowOf(place) {
        return FormRules.boxes(place.form).find(function (row) {
            return (place.x && row.ids.x === place.x) || (place.y && row.ids.y === place.y);
        }) || null;
    }

    function rangeWords(rule, low, high) {
        return rule.rangeMessage || rule.label + ' 应在 ' + Math.round(low) + ' 到 ' + Math.round(high) + ' 之间';
    }

    // The wanted place ({ x, y, w, h, size }, any of them) held inside the
    // form's rules: { place, message }, message naming the rule that held.
    function limit(place, values, wanted) {
        var row = rowOf(place);
        var out = $.extend({}, wanted);
        var message = '';
        var now = function (edge) {
            return wanted[edge] !== undefined ? wanted[edge] : place[edge] ? numberOf(values[place[edge]]) : undefined;
        };
        if (row) {
            var rect = { x: now('x'), y: now('y') };
            $.each(['w', 'h'], function (_, edge) {
                var size = now(edge);
                if (size !== undefined && !isNaN(size)) {
                    rect[edge] = size;
                }
            });
            if (!place.x) {
                // Centred on the screen: its x follows from its width.
                rect.x = (FormRules.SCREEN.right - (rect.w || 0)) / 2;
            }
            var held = FormRules.clampBox(place.form, row, rect);
            $.each(['x', 'y', 'w', 'h'], function (_, edge) {
                if (wanted[edge] === undefined || !place[edge]) {
                    return;
                }
                if (Math.round(held[edge]) !== Math.round(wanted[edge])) {
                    var across = edge === 'x' || edge === 'w';
                    var low = across ? row.area.left : row.area.top;
                    var high = across ? row.area.right : row.area.bottom;
                    if (edge === 'x' || edge === 'y') {
                        high -= rect[across ? 'w' : 'h'] || 0;
                        if (row.max && row.max[edge] !== undefined) {
                            high = Math.min(high, row.max[edge]);
                        }
                    } else {
                        high -= low;
                        low = 0;
                    }
                    message = rangeWords(FormRules.rule(place.form, place[edge]), low, high);
                }
                out[edge] = held[edge];
            });
        }
        if (wanted.size !== undefined && place.size) {
            var bounds = FormRules.bounds(place.form, place.size);
            if (bounds && (wanted.size < bounds.min || wanted.size > bounds.max)) {
                out.size = Math.max(bounds.min, Math.min(bounds.max, wanted.size));
                message = rangeWords(FormRules.rule(place.form, place.size), bounds.min, bounds.max);
            }
        }
        return { place: out, message: message };
    }

    // The new values of the fields in `change` ({ x, y, w, h, size }, numbers,
    // any of them), held by the form's rules; { values, changed, limit }
    // where limit is the message of a rule that held a value.
    function applyChange(place, v, change) {
        var values = $.extend({}, v);
        var held = limit(place, v, change);
        $.each(['w', 'h', 'size', 'x', 'y'], function (_, edge) {
            var field = place[edge];
            if (!field || held.place[edge] === undefined) {
                return;
            }
            var number = Math.round(held.place[edge]);
            if (number === numberOf(values[field])) {
                return;
            }
            if (edge === 'x' && isCentred(values, place)) {
                // A centred text moved sideways is left-aligned where it was dropped.
                values[place.centre] = '1';
            }
            values[field] = withNumber(values[field], number);
        });
        var changed = Object.keys(values).some(function (field) {
            return values[field] !== v[field];
        });
        return { values: values, changed: changed, limit: held.message };
    }

    // What the place of element would be after change, without saving:
    // the numbers after the rules and the message of a rule that held.
    async function preview(pkgName, element, change) {
        var place = placeOf(pkgName, element);
        var form = place ? await formValues(place.form) : null;
        if (!form) {
            return null;
        }
        return applyChange(place, form.fields, change);
    }

    // Writes the new place through the form's save. Answers { saved, limit,
    // warning }: saved is false when nothing changed or the save refused.
    // shown: the form's values as read when a drag began (what the form
    // would have shown then, as a form saves what it shows); read now when
    // not given.
    async function place(pkgName, element, change, shown) {
        var where = placeOf(pkgName, element);
        if (!where) {
            return { saved: false, limit: '', warning: '' };
        }
        var form = shown || await formValues(where.form);
        if (!form || !canPlace(where, form.fields)) {
            return { saved: false, limit: '', warning: '' };
        }
        var outcome = applyChange(where, form.fields, change);
        if (!outcome.changed) {
            return { saved: false, limit: outcome.limit, warning: '' };
        }
        var warning = await SAVES[where.form](form, outcome.values);
        if (warning) {
            ALERT(warning);
        }
        return { saved: !warning, limit: outcome.limit, warning: warning || '' };
    }

    return {
        placeOf: placeOf,
        place: place,
        preview: preview,
        formValues: formValues,
        canPlace: canPlace,
        limit: limit
    };
})();
