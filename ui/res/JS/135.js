/* Rounded corners for jQuery: $(sel).corner("8px"), $(sel).corner("top 6px"),
 * $(sel).corner("tl br 10px"), $(sel).uncorner(). Uses CSS border-radius;
 * the words name the corners to round (tl, tr, bl, br, top, bottom, left,
 * right; all four when none is named) and the first length is the radius
 * (10px when none is given). Style words of other corner plugins ("round",
 * "bevel", ...) are accepted and drawn as round corners. */
(function ($) {
    'use strict';

    var CORNERS = {
        tl: ['TopLeft'],
        tr: ['TopRight'],
        bl: ['BottomLeft'],
        br: ['BottomRight'],
        top: ['TopLeft', 'TopRight'],
        bottom: ['BottomLeft', 'BottomRight'],
        left: ['TopLeft', 'BottomLeft'],
        right: ['TopRight', 'BottomRight']
    };
    var ALL = ['TopLeft', 'TopRight', 'BottomLeft', 'BottomRight'];

    function parse(options) {
        var words = String(options || '').toLowerCase().split(/\s+/);
        var radius = '10px';
        var chosen = [];
        $.each(words, function (_, word) {
            if (/^\d+(\.\d+)?(px|em|%)?$/.test(word)) {
                radius = /\d$/.test(word) ? word + 'px' : word;
            } else if (CORNERS[word]) {
                chosen = chosen.concat(CORNERS[word]);
            }
        });
        return { radius: radius, corners: chosen.length ? chosen : ALL };
    }

    $.fn.corner = function (options) {
        var shape = parse(options);
        return this.each(function () {
            var style = this.style;
            $.each(shape.corners, function (_, corner) {
                style['border' + corner + 'Radius'] = shape.radius;
            });
            if (getComputedStyle(this).overflow === 'visible' && this.tagName !== 'IMG') {
                style.overflow = 'hidden';
            }
        });
    };

    $.fn.uncorner = function () {
        return this.each(function () {
            var style = this.style;
            $.each(ALL, function (_, corner) {
                style['border' + corner + 'Radius'] = '';
            });
        });
    };
})(jQuery);
