/* The preview during a redraw the page asked for. The host draws the screen
 * of the edit first and says so (OnShownScreenDrawn(package, screen)) while
 * it still draws the other screens and the thumbnails, so the preview shows
 * the new picture without waiting for the command's answer. The live project
 * says the same, without arguments, of the screen ShownScreen named.
 *
 *   RedrawAndShow(command)  runs command (a function returning the promise
 *                           of a host command that draws screens again) and
 *                           refreshes the preview once: when the host tells
 *                           of the shown screen, else after the answer
 */
'use strict';

var ShownRedraw = (function () {
    // One record a redraw under way: the preview address it refreshed to.
    var running = [];

    function drawn(module, screen) {
        if (module !== undefined && (module !== CURRENT_PACKAGE_NAME || Number(screen) !== CURRENT_SCREEN_ID)) {
            // Another screen than the one shown: the answer refreshes it.
            return;
        }
        RefreshPreview();
        var address = $('#preview-img').attr('src');
        $.each(running, function (_, run) {
            run.shown = address;
        });
    }

    async function redraw(command) {
        var run = { shown: null };
        running.push(run);
        try {
            return await command();
        } finally {
            running.splice(running.indexOf(run), 1);
            // The preview still shows what the host told of, unless the
            // designer went to another screen meanwhile.
            if (run.shown === null || $('#preview-img').attr('src') !== run.shown) {
                RefreshPreview();
            }
        }
    }

    return { drawn: drawn, redraw: redraw };
})();

function RedrawAndShow(command) {
    return ShownRedraw.redraw(command);
}

// The screen of an edit (or, from the live project, the screen ShownScreen
// named) was drawn again; the others still are.
function OnShownScreenDrawn(module, screen) {
    ShownRedraw.drawn(module, screen);
    return '';
}
