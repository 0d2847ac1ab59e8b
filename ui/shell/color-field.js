// The colour editor of a text element: the colour with its alpha as eight
// digits AARRGGBB, a swatch that shows it, and a slider for the alpha.
// Plain script, one global ColorField; the editor page builds its cells
// with it.
var ColorField = (function () {
    'use strict';

    var HEX = /^[0-9A-F]+$/;

    function pair(n) {
        var text = Math.max(0, Math.min(255, Math.round(Number(n) || 0))).toString(16);
        return (text.length < 2 ? '0' + text : text).toUpperCase();
    }

    // The element's colour as the page list sends it ("#aarrggbb") as
    // AARRGGBB; anything unreadable is opaque white.
    function fromElement(color) {
        var digits = String(color || '').replace(/#/g, '').toUpperCase();
        return digits.length === 8 && HEX.test(digits) ? digits : 'FFFFFFFF';
    }

    // What the designer typed, with the alpha the field had: eight digits
    // are taken whole; six are a colour that keeps the alpha (D9FFFFFF
    // typed as FF0000 becomes D9FF0000); anything else is white with the
    // alpha kept.
    function compose(typed, previous) {
        var digits = $.trim(String(typed === undefined || typed === null ? '' : typed).replace(/#/g, ''))
            .toUpperCase();
        var alpha = fromElement(previous).substr(0, 2);
        if (!HEX.test(digits)) {
            return alpha + 'FFFFFF';
        }
        if (digits.length === 8) {
            return digits;
        }
        return alpha + (digits.length === 6 ? digits : 'FFFFFF');
    }

    function alphaOf(argb) {
        return parseInt(argb.substr(0, 2), 16);
    }

    function withAlpha(argb, alpha) {
        return pair(alpha) + argb.substr(2, 6);
    }

    // The CSS colour of the swatch: the colour over the page at its opacity.
    function css(argb) {
        var n = function (i) {
            return parseInt(argb.substr(i, 2), 16);
        };
        var opacity = Math.round(n(0) / 255 * 100) / 100;
        return 'rgba(' + n(2) + ', ' + n(4) + ', ' + n(6) + ', ' + opacity + ')';
    }

    function percent(argb) {
        return Math.round(alphaOf(argb) / 255 * 100) + '%';
    }

    // Builds the field, the swatch and the alpha slider of one element.
    // save(argb) stores a colour and resolves true when it was stored;
    // choose() asks the colour dialog and resolves its RRGGBB or ''.
    function build(color, save, choose) {
        var current = fromElement(color);
        var field = $('<input type="text" class="color-value" maxlength="9" spellcheck="false">');
        var swatch = $('<span class="color-swatch" title="选择颜色">' +
                       '<img src="/res/GIF/179" width="30" height="30" alt=""></span>');
        var slider = $('<input type="range" class="color-alpha" min="0" max="255" step="1" title="不透明度">');
        var shown = $('<span class="color-alpha-value"></span>');
        var show = function (argb) {
            field.val(argb);
            swatch.css('background-color', css(argb));
            slider.val(alphaOf(argb));
            shown.text(percent(argb));
        };
        var apply = async function (argb) {
            show(argb);
            if (await save(argb)) {
                current = argb;
            }
        };
        field.on('keydown', function (e) {
            if (e.key === 'Enter') {
                e.preventDefault();
                apply(compose(field.val(), current));
            }
        });
        swatch.on('click', async function () {
            var answer = await choose();
            if (answer) {
                apply(compose(answer, current));
            }
        });
        slider.on('input', function () {
            var argb = withAlpha(current, slider.val());
            swatch.css('background-color', css(argb));
            shown.text(percent(argb));
        });
        slider.on('change', function () {
            apply(withAlpha(current, slider.val()));
        });
        show(current);
        var alphaRow = $('<label class="color-alpha-row">不透明度</label>').append(slider, shown);
        return { field: field, swatch: swatch, alpha: alphaRow };
    }

    return { fromElement: fromElement, compose: compose, withAlpha: withAlpha, css: css, build: build };
})();
