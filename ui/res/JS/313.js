/* Skinwright page script: the editor's preview as a design canvas.
 *
 * Zoom (25 % to 400 %; 100 % shows one pixel of the picture as one CSS
 * pixel, unsmoothed), pan (scroll bars, wheel, space + drag), and moving and
 * sizing the selected element with the mouse and the arrow keys. Elements
 * follow the pointer on the page; on release the new place goes through the
 * element's layout form (ElementPlacement), which writes the files and
 * redraws the screen.
 *
 * Three kinds of pixels: CSS pixels of the page; picture pixels of
 * #preview-img; form pixels of a 1080 x 1920 screen, in which the host has
 * element boxes and the forms have places. PREVIEW_ZOOM_RATIO is CSS pixels
 * per form pixel.
 *
 *   PreviewCanvas.zoom(), setZoom(z), fit()           the zoom, 1 = 100 %
 *   PreviewCanvas.room(free, least)                   the preview's share of free width
 *   PreviewCanvas.formScale()                         form pixels per picture pixel
 *   PreviewCanvas.clientToPicture(x, y)               page point -> picture pixel
 *   PreviewCanvas.pictureToClient(x, y)               picture pixel -> page point
 *   PreviewCanvas.onImageReplaced(fn)                 fn() after every new picture
 *   PreviewCanvas.stats()                             frames and times of the last move
 */
'use strict';

var PreviewCanvas = (function () {
    var STEPS = [0.25, 0.33, 0.5, 0.67, 1, 1.5, 2, 3, 4];
    var SNAP_DISTANCE = 8;   // CSS pixels
    var DRAG_START = 3;      // CSS pixels the pointer moves before a drag begins
    var NUDGE_RUN_MS = 500;  // presses closer than this are one move
    var LIST_SHARE = 0.42;   // of the free width, for the resource list
    var LIST_LEAST = 300;    // CSS pixels
    var LIST_MOST = 600;     // CSS pixels

    var view = { fit: true, zoom: 1, width: 0, height: 0 };
    var drag = null;
    var nudge = null;
    var spaceHeld = false;
    var pan = null;
    var swallowClick = false;
    var imageHooks = [];
    var lastStats = { frames: 0, dragMs: 0, fps: 0, saveMs: 0, releaseToRedrawMs: 0 };
    var redrawWait = null;

    function image() {
        return document.getElementById('preview-img');
    }

    function naturalSize() {
        var img = image();
        if (img && img.naturalWidth > 0) {
            return { width: img.naturalWidth, height: img.naturalHeight };
        }
        return ThemeSize();
    }

    // At a density other than the editor's, the factor the forms scale by.
    function formScale() {
        return PreviewDensity.formScale() || ThemeSize().width / naturalSize().width;
    }

    function fitZoom() {
        var size = naturalSize();
        if (!(view.width > 0 && view.height > 0)) {
            return 1;
        }
        return Math.min(view.width / size.width, view.height / size.height);
    }

    function zoom() {
        return view.fit ? fitZoom() : view.zoom;
    }

    function clampZoom(z) {
        return Math.max(STEPS[0], Math.min(STEPS[STEPS.length - 1], z));
    }

    // Lays the picture out at the zoom; anchor (a page point) stays over the
    // same picture pixel.
    function apply(anchor) {
        var area = $('#preview-area');
        var before = anchor ? clientToPicture(anchor.x, anchor.y) : null;
        var z = zoom();
        var size = naturalSize();
        var width = Math.round(size.width * z);
        var height = Math.round(size.height * z);
        $('#preview-img').css({ width: width, height: height }).toggleClass('is-pixelated', z >= 1);
        $('#preview').css({
            width: width,
            height: height,
            marginLeft: Math.max(0, Math.floor((view.width - width) / 2)),
            marginTop: Math.max(0, Math.floor((view.height - height) / 2))
        });
        PREVIEW_ZOOM_RATIO = z / formScale();
        $('#preview-zoom').text(Math.round(z * 100) + '%');
        if (before) {
            var at = pictureToClient(before.x, before.y);
            area.scrollLeft(area.scrollLeft() + at.x - anchor.x);
            area.scrollTop(area.scrollTop() + at.y - anchor.y);
        }
        RedrawDashedRects();
        PreviewSelection.draw();
    }

    // How wide the preview area is when it shares free CSS pixels with the
    // resource list beside it: the list keeps a fair share (it lays its
    // entries out in rows), the preview takes the rest, and never less than
    // least (the screen's width at the area's height).
    function room(free, least) {
        var list = Math.max(LIST_LEAST, Math.min(LIST_MOST, Math.round(free * LIST_SHARE)));
        return Math.max(least, free - list);
    }

    // The preview's room on the page, from the editor's layout.
    function layout(width, height) {
        view.width = width;
        view.height = height;
        $('#preview-area').css({ width: width, height: height });
        apply(null);
    }

    function setZoom(z, anchor) {
        view.fit = false;
        view.zoom = clampZoom(z);
        apply(anchor || areaCentre());
    }

    function fit() {
        view.fit = true;
        apply(null);
    }

    function step(direction, anchor) {
        var z = zoom();
        var next = direction > 0 ? STEPS.find(function (s) { return s > z + 0.001; })
                                 : STEPS.slice().reverse().find(function (s) { return s < z - 0.001; });
        setZoom(next === undefined ? z : next, anchor);
    }

    function areaCentre() {
        var rect = $('#preview-area')[0].getBoundingClientRect();
        return { x: rect.left + rect.width / 2, y: rect.top + rect.height / 2 };
    }

    function clientToPicture(x, y) {
        var rect = image().getBoundingClientRect();
        var z = zoom();
        return { x: (x - rect.left) / z, y: (y - rect.top) / z };
    }

    function pictureToClient(x, y) {
        var rect = image().getBoundingClientRect();
        var z = zoom();
        return { x: rect.left + x * z, y: rect.top + y * z };
    }

    function clientToForm(x, y) {
        var p = clientToPicture(x, y);
        var scale = formScale();
        return { x: p.x * scale, y: p.y * scale };
    }

    function isTyping(target) {
        return $(target).is('input, textarea, select, [contenteditable]');
    }

    /* ---------------------------------------------------------- moving */

    function boxOf(element) {
        return { x: element.left, y: element.top, w: element.width, h: element.height, size: element.mSize };
    }

    // The dragged element's picture, following the pointer: the preview's
    // own pixels of the element, shown at the new place.
    function makeGhost(element) {
        var img = image();
        return $('<div class="canvas-ghost"></div>').css({
            backgroundImage: 'url("' + img.currentSrc + '")'
        }).data('origin', boxOf(element)).appendTo('#preview');
    }

    function placeGhost(ghost, box) {
        var r = PREVIEW_ZOOM_RATIO;
        var origin = ghost.data('origin');
        var sx = origin.w > 0 ? box.w / origin.w : 1;
        var sy = origin.h > 0 ? box.h / origin.h : 1;
        var width = $('#preview-img').width();
        var height = $('#preview-img').height();
        ghost.css({
            left: Math.round(box.x * r),
            top: Math.round(box.y * r),
            width: Math.max(1, Math.round(box.w * r)),
            height: Math.max(1, Math.round(box.h * r)),
            backgroundSize: Math.round(width * sx) + 'px ' + Math.round(height * sy) + 'px',
            backgroundPosition: -Math.round(origin.x * r * sx) + 'px ' + -Math.round(origin.y * r * sy) + 'px'
        });
    }

    function removeMoveMarks() {
        $('#preview .canvas-ghost, #preview .canvas-guide').remove();
    }

    // Lines the box snaps to: the screen's edges and centre lines and the
    // edges and centres of the screen's other elements.
    function snapLines(element) {
        var theme = ThemeSize();
        var lines = { x: [0, theme.width / 2, theme.width], y: [0, theme.height / 2, theme.height] };
        $.each(PreviewSelection.boxes(), function (_, b) {
            if (b.mElementID === element.mElementID || !(b.width > 0 && b.height > 0)) {
                return;
            }
            lines.x.push(b.left, b.left + b.width / 2, b.left + b.width);
            lines.y.push(b.top, b.top + b.height / 2, b.top + b.height);
        });
        return lines;
    }

    // The shift that puts the nearest of the edges on the nearest line
    // within reach, and that line; shift 0 when none is near.
    function nearestLine(edges, lines, reach) {
        var best = { shift: 0, line: null, distance: reach + 1e-9 };
        $.each(edges, function (_, edge) {
            $.each(lines, function (_, line) {
                var distance = Math.abs(line - edge);
                if (distance < best.distance) {
                    best = { shift: line - edge, line: line, distance: distance };
                }
            });
        });
        return best;
    }

    function showGuides(xLine, yLine) {
        $('#preview .canvas-guide').remove();
        var r = PREVIEW_ZOOM_RATIO;
        if (xLine !== null) {
            $('<div class="canvas-guide canvas-guide-x"></div>').css({ left: Math.round(xLine * r) })
                .appendTo('#preview');
        }
        if (yLine !== null) {
            $('<div class="canvas-guide canvas-guide-y"></div>').css({ top: Math.round(yLine * r) })
                .appendTo('#preview');
        }
    }

    // Snaps a moved box (not a resized one) unless Alt is held.
    function snapMove(state, box, free) {
        if (free) {
            showGuides(null, null);
            return box;
        }
        var reach = SNAP_DISTANCE / PREVIEW_ZOOM_RATIO;
        var lines = state.lines;
        var sx = state.place.x ? nearestLine([box.x, box.x + box.w / 2, box.x + box.w], lines.x, reach)
                               : { shift: 0, line: null };
        var sy = nearestLine([box.y, box.y + box.h / 2, box.y + box.h], lines.y, reach);
        showGuides(sx.line, sy.line);
        return $.extend({}, box, { x: box.x + sx.shift, y: box.y + sy.shift });
    }

    // Holds a box inside the form's ranges, once the form's values are known;
    // the readout says which rule held it.
    function limitBox(state, box) {
        if (!state.values) {
            return box;
        }
        var wanted = { y: box.y };
        if (state.place.x) {
            wanted.x = box.x;
        }
        var held = ElementPlacement.limit(state.place, state.values, wanted);
        PreviewSelection.note(held.message ? '已停在边界：' + held.message : '');
        return $.extend({}, box, held.place);
    }

    // The box a handle makes of the starting box, moved by (dx, dy) form
    // pixels; Shift keeps the proportions.
    function resizedBox(start, edge, dx, dy, keepRatio) {
        if (edge === 'size') {
            var size = Math.max(1, Math.round(start.size + dy));
            var k = start.size > 0 ? size / start.size : 1;
            return { x: start.x, y: start.y, w: start.w * k, h: start.h * k, size: size };
        }
        var box = { x: start.x, y: start.y, w: start.w, h: start.h };
        if (edge.indexOf('e') >= 0) {
            box.w = start.w + dx;
        }
        if (edge.indexOf('w') >= 0) {
            box.w = start.w - dx;
        }
        if (edge.indexOf('s') >= 0) {
            box.h = start.h + dy;
        }
        if (edge.indexOf('n') >= 0) {
            box.h = start.h - dy;
        }
        if (keepRatio && start.w > 0 && start.h > 0) {
            var kx = box.w / start.w;
            var ky = box.h / start.h;
            var sides = edge.length === 2 ? (Math.abs(kx - 1) > Math.abs(ky - 1) ? kx : ky)
                                          : (edge === 'e' || edge === 'w' ? kx : ky);
            box.w = start.w * sides;
            box.h = start.h * sides;
        }
        box.w = Math.max(1, Math.round(box.w));
        box.h = Math.max(1, Math.round(box.h));
        if (edge.indexOf('w') >= 0) {
            box.x = start.x + start.w - box.w;
        }
        if (edge.indexOf('n') >= 0) {
            box.y = start.y + start.h - box.h;
        }
        return box;
    }

    function startDrag(e) {
        var point = clientToForm(e.clientX, e.clientY);
        var handle = $(e.target).closest('.canvas-handle');
        var element = handle.length ? PreviewSelection.current() : PreviewSelection.hitTest(point.x, point.y);
        var place = element ? ElementPlacement.placeOf(CURRENT_PACKAGE_NAME, element) : null;
        if (!place) {
            return;
        }
        e.preventDefault();
        drag = {
            element: element,
            place: place,
            edge: handle.length ? handle.attr('data-edge') : null,
            client: { x: e.clientX, y: e.clientY },
            start: boxOf(element),
            box: boxOf(element),
            lines: snapLines(element),
            moved: false,
            form: null,
            values: null,
            frames: 0,
            began: 0,
            pointer: null
        };
        var state = drag;
        ElementPlacement.formValues(place.form).then(function (form) {
            state.form = form;
            state.values = form ? form.fields : null;
            if (form && !ElementPlacement.canPlace(place, form.fields)) {
                state.refused = true;
            }
        });
    }

    // Puts the dragged box where the latest pointer position asks.
    function applyPointer(state) {
        var p = state.pointer;
        state.pointer = null;
        var dx = (p.x - state.client.x) / PREVIEW_ZOOM_RATIO;
        var dy = (p.y - state.client.y) / PREVIEW_ZOOM_RATIO;
        var box;
        if (state.edge) {
            box = resizedBox(state.start, state.edge, dx, dy, p.shift);
            showGuides(null, null);
        } else {
            box = $.extend({}, state.start, { x: state.place.x ? state.start.x + dx : state.start.x,
                                              y: state.start.y + dy });
            box = limitBox(state, snapMove(state, box, p.alt));
        }
        state.box = box;
        placeGhost(state.ghost, box);
    }

    // One animation frame of a drag: the latest pointer position shown.
    function dragFrame() {
        if (!drag || !drag.moved) {
            return;
        }
        drag.frames += 1;
        if (drag.pointer) {
            applyPointer(drag);
        }
        requestAnimationFrame(dragFrame);
    }

    function moveDrag(e) {
        if (!drag) {
            return;
        }
        if (!drag.moved) {
            if (Math.abs(e.clientX - drag.client.x) < DRAG_START && Math.abs(e.clientY - drag.client.y) < DRAG_START) {
                return;
            }
            drag.moved = true;
            drag.began = performance.now();
            drag.ghost = makeGhost(drag.element);
            placeGhost(drag.ghost, drag.start);
            requestAnimationFrame(dragFrame);
        }
        drag.pointer = { x: e.clientX, y: e.clientY, alt: e.altKey, shift: e.shiftKey };
    }

    function cancelDrag() {
        if (drag && drag.moved) {
            swallowClick = true;
        }
        drag = null;
        removeMoveMarks();
        PreviewSelection.note('');
    }

    // The change a finished move or resize asks of the form.
    function changeOf(state) {
        var box = state.box;
        var start = state.start;
        if (state.edge === 'size') {
            return { size: box.size };
        }
        var change = {};
        if (Math.round(box.x) !== Math.round(start.x)) {
            change.x = box.x;
        }
        if (Math.round(box.y) !== Math.round(start.y)) {
            change.y = box.y;
        }
        if (state.edge) {
            change.w = box.w;
            change.h = box.h;
        }
        return change;
    }

    async function endDrag(e) {
        if (!drag || e.button !== 0) {
            return;
        }
        var state = drag;
        drag = null;
        if (!state.moved) {
            return;
        }
        swallowClick = true;
        if (state.pointer) {
            // The last position counts even when no frame showed it yet.
            applyPointer(state);
        }
        var ms = performance.now() - state.began;
        lastStats.frames = state.frames;
        lastStats.dragMs = ms;
        lastStats.fps = ms > 0 ? state.frames * 1000 / ms : 0;
        $('#preview .canvas-guide').remove();
        if (state.refused) {
            removeMoveMarks();
            return;
        }
        await commit(state.element, changeOf(state), state.ghost, state.form);
    }

    // Writes a move through the element's form; the ghost stays at the new
    // place until the redrawn picture shows it, and goes back when nothing
    // was written. form: the form's values read when the drag began, if any.
    async function commit(element, change, ghost, form) {
        var released = performance.now();
        var outcome = await ElementPlacement.place(CURRENT_PACKAGE_NAME, element, change, form);
        lastStats.saveMs = performance.now() - released;
        if (!outcome.saved) {
            removeMoveMarks();
            PreviewSelection.note(outcome.limit ? '已停在边界：' + outcome.limit : '');
            return outcome;
        }
        await redrawnPicture();
        lastStats.releaseToRedrawMs = performance.now() - released;
        await PreviewSelection.reload();
        var hits = ParseJson(await external.GetElementByID(CURRENT_PACKAGE_NAME, element.mScreenID,
                                                             element.mElementID)) || [];
        if (hits.length) {
            ShowElementCells(hits);
        }
        if (ghost) {
            ghost.remove();
        }
        PreviewSelection.note(outcome.limit ? '已停在边界：' + outcome.limit : '');
        return outcome;
    }

    // Reloads the preview picture and resolves once the new one is shown.
    function redrawnPicture() {
        return new Promise(function (resolve) {
            redrawWait = resolve;
            RefreshPreview();
        });
    }

    // Moves or sizes the selection to the numbers of change (form pixels),
    // as typed in the readout.
    function placeSelection(change) {
        var element = PreviewSelection.current();
        if (element) {
            return commit(element, change, null);
        }
    }

    /* ---------------------------------------------------------- nudging */

    function nudgeBy(dx, dy) {
        var element = PreviewSelection.current();
        var place = element ? ElementPlacement.placeOf(CURRENT_PACKAGE_NAME, element) : null;
        if (!place) {
            return false;
        }
        if (!nudge || nudge.element.mElementID !== element.mElementID) {
            nudge = { element: element, place: place, start: boxOf(element), box: boxOf(element),
                      ghost: makeGhost(element) };
        }
        var scale = formScale();
        nudge.box = $.extend({}, nudge.box, { x: place.x ? nudge.box.x + dx * scale : nudge.box.x,
                                              y: nudge.box.y + dy * scale });
        placeGhost(nudge.ghost, nudge.box);
        clearTimeout(nudge.timer);
        var run = nudge;
        run.timer = setTimeout(function () {
            nudge = null;
            commit(run.element, changeOf({ box: run.box, start: run.start, edge: null }), run.ghost);
        }, NUDGE_RUN_MS);
        return true;
    }

    var ARROWS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

    /* ----------------------------------------------------------- events */

    function onKeyDown(e) {
        if (isTyping(e.target)) {
            return;
        }
        var key = e.key;
        if (e.ctrlKey || e.metaKey) {
            if (key === '=' || key === '+' || e.code === 'Equal' || e.code === 'NumpadAdd') {
                step(1);
            } else if (key === '-' || e.code === 'Minus' || e.code === 'NumpadSubtract') {
                step(-1);
            } else if (key === '0' || e.code === 'Digit0') {
                fit();
            } else if (key === '1' || e.code === 'Digit1') {
                setZoom(1);
            } else {
                return;
            }
            e.preventDefault();
            return;
        }
        if (key === 'Escape' && drag) {
            e.preventDefault();
            cancelDrag();
            return;
        }
        if (key === ' ') {
            spaceHeld = true;
            $('#preview-area').addClass('is-panning');
            e.preventDefault();
            return;
        }
        if (ARROWS[key] && !drag && nudgeBy(ARROWS[key][0] * (e.shiftKey ? 10 : 1),
                                            ARROWS[key][1] * (e.shiftKey ? 10 : 1))) {
            e.preventDefault();
        }
    }

    function onKeyUp(e) {
        if (e.key === ' ') {
            spaceHeld = false;
            pan = null;
            $('#preview-area').removeClass('is-panning is-grabbing');
        }
    }

    function onWheel(e) {
        if (!e.ctrlKey) {
            return;
        }
        e.preventDefault();
        step(e.deltaY < 0 ? 1 : -1, { x: e.clientX, y: e.clientY });
    }

    function onMouseDown(e) {
        if (e.button !== 0) {
            return;
        }
        // A drag that ended outside the preview left no click to swallow.
        swallowClick = false;
        if (spaceHeld) {
            e.preventDefault();
            var area = $('#preview-area');
            pan = { x: e.clientX, y: e.clientY, left: area.scrollLeft(), top: area.scrollTop() };
            area.addClass('is-grabbing');
            return;
        }
        if (!CurrentPackage()) {
            return;
        }
        startDrag(e);
    }

    function onMouseMove(e) {
        if (pan) {
            var area = $('#preview-area');
            area.scrollLeft(pan.left - (e.clientX - pan.x));
            area.scrollTop(pan.top - (e.clientY - pan.y));
            return;
        }
        if (drag) {
            moveDrag(e);
        }
    }

    // The pointer tells what a press would do: move, or nothing allowed.
    function onHover(e) {
        if (drag || pan || !CurrentPackage()) {
            return;
        }
        var preview = $('#preview');
        if ($(e.target).closest('.canvas-handle').length) {
            preview.removeClass('can-move cannot-move');
            return;
        }
        var point = clientToForm(e.clientX, e.clientY);
        var element = PreviewSelection.hitTest(point.x, point.y);
        var placeable = element && ElementPlacement.placeOf(CURRENT_PACKAGE_NAME, element);
        preview.toggleClass('can-move', !!placeable).toggleClass('cannot-move', !!element && !placeable);
    }

    function onMouseUp(e) {
        if (pan) {
            pan = null;
            $('#preview-area').removeClass('is-grabbing');
            return;
        }
        endDrag(e);
    }

    function onImageLoad() {
        apply(null);
        if (redrawWait) {
            var resolve = redrawWait;
            redrawWait = null;
            resolve();
        }
        PreviewSelection.reload();
        $.each(imageHooks, function (_, hook) {
            hook();
        });
    }

    function init() {
        var area = $('#preview-area')[0];
        var img = image();
        img.draggable = false;
        $(img).on('dragstart', function (e) {
            e.preventDefault();
        }).on('load', onImageLoad);
        area.addEventListener('wheel', onWheel, { passive: false });
        // A click that ended a drag selects nothing more.
        area.addEventListener('click', function (e) {
            if (swallowClick) {
                swallowClick = false;
                e.stopPropagation();
            }
        }, true);
        $(area).on('mousedown', onMouseDown).on('mousemove', onHover);
        $(document).on('mousemove.swcanvas', onMouseMove).on('mouseup.swcanvas', onMouseUp)
            .on('keydown.swcanvas', onKeyDown).on('keyup.swcanvas', onKeyUp);
        $(window).on('blur', function () {
            spaceHeld = false;
            pan = null;
            $('#preview-area').removeClass('is-panning is-grabbing');
        });
        $('#zoom-in').on('click', function () { step(1); });
        $('#zoom-out').on('click', function () { step(-1); });
        $('#zoom-fit').on('click', fit);
        $('#zoom-actual').on('click', function () { setZoom(1); });
        PreviewSelection.bindReadout();
    }

    return {
        init: init,
        layout: layout,
        room: room,
        zoom: zoom,
        setZoom: setZoom,
        fit: fit,
        formScale: formScale,
        clientToPicture: clientToPicture,
        pictureToClient: pictureToClient,
        placeSelection: placeSelection,
        onImageReplaced: function (hook) {
            imageHooks.push(hook);
        },
        stats: function () {
            return $.extend({}, lastStats);
        }
    };
})();
