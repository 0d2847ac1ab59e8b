/* Skinwright page script: the selection on the editor's preview.
 *
 * Keeps the boxes of the shown screen's elements (pixels of a 1080 x 1920
 * screen, as the host has them), answers which element lies under a point
 * as the host's hit test does, and shows the selected element: its outline
 * with handles where its form sets a size, and the readout of its place in
 * pixels of the shown picture, editable in place.
 */
'use strict';

var PreviewSelection = (function () {
    var boxes = [];
    var boxesOf = { pkg: null, screen: null };  // what the boxes show
    var selected = null;  // an element of boxes
    var HANDLE_EDGES = ['nw', 'n', 'ne', 'e', 'se', 's', 'sw', 'w'];

    // Fetches the boxes of the shown screen again; the selection follows
    // its element to its new place.
    async function reload() {
        var pkg = CURRENT_PACKAGE_NAME;
        var screen = CURRENT_SCREEN_ID;
        var list = ParseJson(await external.GetScreenElements(pkg, screen)) || [];
        if (pkg !== CURRENT_PACKAGE_NAME || screen !== CURRENT_SCREEN_ID) {
            return;
        }
        boxes = list;
        boxesOf = { pkg: pkg, screen: screen };
        if (selected) {
            var again = find(selected.mScreenID, selected.mElementID);
            selected = again && again.mScreenID === screen ? again : null;
        }
        draw();
    }

    function find(screen, id) {
        for (var i = 0; i < boxes.length; ++i) {
            if (boxes[i].mScreenID === screen && boxes[i].mElementID === id) {
                return boxes[i];
            }
        }
        return null;
    }

    // The topmost element that is not read-only and holds the point, as the
    // host's hit test finds it; null for none.
    function hitTest(x, y) {
        for (var i = boxes.length - 1; i >= 0; --i) {
            var b = boxes[i];
            if (!b.mReadOnly && x >= b.left && x < b.left + b.width && y >= b.top && y < b.top + b.height) {
                return b;
            }
        }
        return null;
    }

    function select(element) {
        selected = element ? find(element.mScreenID, element.mElementID) || element : null;
        draw();
    }

    function clear() {
        selected = null;
        draw();
    }

    function placeOf(element) {
        return ElementPlacement.placeOf(CURRENT_PACKAGE_NAME, element);
    }

    // Box of an element in CSS pixels of the preview; on a density's
    // picture, where that density's layout puts it.
    function cssBox(b) {
        var atDensity = PreviewDensity.boxOf(b);
        if (atDensity) {
            var z = PreviewCanvas.zoom();
            return {
                left: Math.round(atDensity.left * z),
                top: Math.round(atDensity.top * z),
                width: Math.max(1, Math.round(atDensity.width * z)),
                height: Math.max(1, Math.round(atDensity.height * z))
            };
        }
        return {
            left: Math.round(b.left * PREVIEW_ZOOM_RATIO),
            top: Math.round(b.top * PREVIEW_ZOOM_RATIO),
            width: Math.max(1, Math.round(b.width * PREVIEW_ZOOM_RATIO)),
            height: Math.max(1, Math.round(b.height * PREVIEW_ZOOM_RATIO))
        };
    }

    function draw() {
        $('#preview .canvas-selection').remove();
        var place = selected ? placeOf(selected) : null;
        if (!selected) {
            showReadout(null, null, '');
            return;
        }
        var frame = $('<div class="canvas-selection"></div>').css(cssBox(selected));
        if (place && place.w && place.h) {
            $.each(HANDLE_EDGES, function (_, edge) {
                frame.append($('<span class="canvas-handle"></span>').addClass('canvas-handle-' + edge)
                                 .attr('data-edge', edge));
            });
        } else if (place && place.size) {
            frame.append('<span class="canvas-handle canvas-handle-se" data-edge="size" title="文字大小"></span>');
        }
        $('#preview').append(frame);
        showReadout(selected, place, '');
    }

    // The readout under the preview: the selection's x, y, w, h (and size)
    // in pixels of the shown picture; fields its form has can be typed in.
    function showReadout(b, place, note) {
        var readout = $('#canvas-readout');
        readout.toggleClass('hidden', !b);
        if (!b) {
            return;
        }
        var scale = PreviewCanvas.formScale();
        var shown = { x: b.left, y: b.top, w: b.width, h: b.height, size: b.mSize };
        $.each(['x', 'y', 'w', 'h', 'size'], function (_, edge) {
            var field = $('#place-' + edge);
            var value = shown[edge];
            var atDensity = value === undefined ? null : PreviewDensity.toShown(value);
            field.val(value === undefined ? '' : String(atDensity !== null ? atDensity : Math.round(value / scale)));
            field.prop('disabled', !place || !place[edge]);
            field.closest('label').toggleClass('hidden', edge === 'size' ? value === undefined : false);
        });
        $('#place-note').text(note || (place ? '' : '此元素的位置不能在这里修改'));
    }

    function note(text) {
        $('#place-note').text(text || '');
    }

    // Enter in a readout field places the selection at the typed numbers.
    function bindReadout() {
        $('#canvas-readout input').on('keydown', function (e) {
            if (e.key === 'Escape') {
                draw();
                this.blur();
                return;
            }
            if (e.key !== 'Enter' || !selected) {
                return;
            }
            e.preventDefault();
            var scale = PreviewCanvas.formScale();
            var change = {};
            $.each(['x', 'y', 'w', 'h', 'size'], function (_, edge) {
                var field = $('#place-' + edge);
                var number = parseInt(field.val(), 10);
                if (!field.prop('disabled') && !isNaN(number)) {
                    var form = PreviewDensity.toForm(number);
                    change[edge] = form !== null ? form : number * scale;
                }
            });
            PreviewCanvas.placeSelection(change);
        });
    }

    // The selection as it is now, for when the lists and the picture are
    // shown again (刷新, the project read again after an outside change):
    // the returned function selects the same element again when the same
    // screen shows; the next reload drops it if the screen lost it.
    function hold() {
        var held = { pkg: CURRENT_PACKAGE_NAME, screen: CURRENT_SCREEN_ID, element: selected };
        return function restore() {
            if (held.element && CURRENT_PACKAGE_NAME === held.pkg && CURRENT_SCREEN_ID === held.screen) {
                select(held.element);
            }
        };
    }

    return {
        reload: reload,
        hitTest: hitTest,
        select: select,
        clear: clear,
        hold: hold,
        draw: draw,
        note: note,
        bindReadout: bindReadout,
        current: function () {
            return selected;
        },
        boxes: function () {
            return boxes;
        },
        // The module and screen the boxes are of.
        boxesOf: function () {
            return $.extend({}, boxesOf);
        }
    };
})();
