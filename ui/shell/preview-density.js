/* The editor preview at every density the pack makes for a module.
 *
 * The chooser #preview-density under the preview lists the module's
 * densities (GetPreviewDensities). Until a density is chosen the preview is
 * the editor's own picture (xxhdpi, a JPEG); a chosen density, xxhdpi too,
 * is drawn by the host as a phone of that density shows the packed theme
 * (DrawPreviewDensity), at that density's pixel size and without loss.
 * Element boxes, clicks and moves stay in the forms' xxhdpi pixels; the
 * picture is formScale() of them smaller or larger, the selection outline
 * sits where the density's layout puts the element (boxOf), and the readout
 * shows and takes the density's own numbers, as the layout forms write them.
 *
 *   PreviewDensity.fill(pkgName)     the chooser's options for the module
 *   PreviewDensity.show(pkg, screen) shows the screen at the chosen density
 *   PreviewDensity.drawnByHost()     true when the module's density was chosen
 *   PreviewDensity.active()          true when the host's picture of a density shows
 *   PreviewDensity.boxOf(element)    the element's box on that picture, or null
 *   PreviewDensity.formScale()       form pixels per picture pixel, or 0 at xxhdpi
 *   PreviewDensity.toShown(v)        a form number as the density's number
 *   PreviewDensity.toForm(d)         the form number the forms turn into d
 *   PreviewDensity.stats()           the time of the last switch (and of its drawing
 *                                    by the host), and how many
 */
'use strict';

var PreviewDensity = (function () {
    var EDITOR_DENSITY = 'xxhdpi';
    var chosen = {};        // density name by module page name
    var lists = {};         // densities by module page name
    var shown = null;       // the density answer the picture shows, null for the editor's
    var drawing = 0;        // the number of the latest request
    var lastSwitchMs = 0;
    var lastDrawMs = 0;     // of it, until the host's answer
    var switches = 0;       // pictures shown at a chosen density

    function current() {
        return chosen[CURRENT_PACKAGE_NAME] || EDITOR_DENSITY;
    }

    function drawnByHost() {
        return chosen[CURRENT_PACKAGE_NAME] !== undefined;
    }

    function editorLabel(pkg) {
        return EDITOR_DENSITY + ' (' + pkg.screen_width + ' x ' + pkg.screen_height + ')';
    }

    function fillOptions(pkgName) {
        var select = $('#preview-density').empty();
        $.each(lists[pkgName] || [], function (_, density) {
            $('<option></option>').val(density.name).text(density.label).appendTo(select);
        });
        select.val(current());
        select.toggle((lists[pkgName] || []).length > 0);
    }

    async function fill(pkgName) {
        if (!lists[pkgName]) {
            lists[pkgName] = ParseJson(await external.GetPreviewDensities(pkgName)) || [];
        }
        if (pkgName === CURRENT_PACKAGE_NAME) {
            fillOptions(pkgName);
        }
    }

    function showEditorPicture(pkg, screen) {
        shown = null;
        $('#preview-resolution').text(editorLabel(pkg));
        $('#preview-img').Refresh(JoinPath(pkg.path, 'preview/xxhdpi/preview' + (screen + 1) + '_suit.jpg'));
    }

    // The picture of the screen at the chosen density; a density that cannot
    // be drawn says why under the preview and the editor's picture stays.
    async function show(pkg, screen) {
        var density = current();
        if (!drawnByHost()) {
            ++drawing;
            showEditorPicture(pkg, screen);
            return;
        }
        var request = ++drawing;
        var started = performance.now();
        var answer = ParseJson(await external.DrawPreviewDensity(CURRENT_PACKAGE_NAME, screen, density));
        if (request !== drawing) {
            return;
        }
        var drawMs = performance.now() - started;
        if (!answer || answer.error) {
            showEditorPicture(pkg, screen);
            $('#preview-resolution').text(density + '：' + ((answer && answer.error) || '无法绘制'));
            return;
        }
        shown = answer;
        $('#preview-resolution').text(answer.label);
        $('#preview-img').one('load', function () {
            lastSwitchMs = performance.now() - started;
            lastDrawMs = drawMs;
            ++switches;
        }).Refresh(answer.path);
    }

    function choose(name) {
        chosen[CURRENT_PACKAGE_NAME] = name;
        var pkg = CurrentPackage();
        if (pkg) {
            show(pkg, CURRENT_SCREEN_ID);
        }
    }

    // Where the picture shown shows the element ({mScreenID, mElementID}),
    // in its pixels: {left, top, width, height}; null for the editor's
    // picture or an element it does not draw.
    function boxOf(element) {
        if (!shown || !shown.boxes || !element) {
            return null;
        }
        for (var i = 0; i < shown.boxes.length; ++i) {
            var box = shown.boxes[i];
            if (box.screen === element.mScreenID && box.element === element.mElementID) {
                return box;
            }
        }
        return null;
    }

    function formScale() {
        return shown && shown.factor > 0 ? 1 / shown.factor : 0;
    }

    // The forms write a density's number as the xxhdpi number times the
    // density's factor, truncated toward zero.
    function toShown(value) {
        if (!shown) {
            return null;
        }
        return Math.trunc(value * shown.factor);
    }

    function toForm(number) {
        if (!shown) {
            return null;
        }
        var f = shown.factor;
        var guess = Math.floor(number / f);
        for (var v = guess - 2; v <= guess + 2; ++v) {
            if (Math.trunc(v * f) === number) {
                return v;
            }
        }
        return Math.round(number / f);
    }

    $(function () {
        $('#preview-density').on('change', function () {
            choose($(this).val());
        });
    });

    return {
        fill: fill,
        show: show,
        choose: choose,
        current: current,
        drawnByHost: drawnByHost,
        boxOf: boxOf,
        active: function () {
            return shown !== null;
        },
        formScale: formScale,
        toShown: toShown,
        toForm: toForm,
        stats: function () {
            return { switchMs: lastSwitchMs, drawMs: lastDrawMs, switches: switches };
        }
    };
})();
