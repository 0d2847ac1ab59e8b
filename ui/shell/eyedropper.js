/* Picking a colour from the editor's preview. The colour dialog's
 * eyedropper calls PreviewEyedropper.pick(): the popups step aside, the
 * next press on the preview picture gives the colour of the picture's pixel
 * under the pointer (at any zoom and density), Esc or a press elsewhere
 * gives null, and the popups come back. */
'use strict';

var PreviewEyedropper = (function () {
    var picking = null;
    var sampled = { src: null, context: null };

    function image() {
        return document.getElementById('preview-img');
    }

    function hex(n) {
        return (n < 16 ? '0' : '') + n.toString(16);
    }

    // True when the preview shows a picture to pick from.
    function available() {
        var img = image();
        return !!(img && img.getAttribute('src') && img.complete && img.naturalWidth > 0 &&
                  $('#main').is(':visible'));
    }

    // The colour ("rrggbb") of the picture's pixel (x, y); null outside it.
    function colourAt(x, y) {
        var img = image();
        x = Math.floor(x);
        y = Math.floor(y);
        if (!available() || x < 0 || y < 0 || x >= img.naturalWidth || y >= img.naturalHeight) {
            return null;
        }
        if (sampled.src !== img.currentSrc) {
            var canvas = document.createElement('canvas');
            canvas.width = img.naturalWidth;
            canvas.height = img.naturalHeight;
            var context = canvas.getContext('2d', { willReadFrequently: true });
            context.drawImage(img, 0, 0);
            sampled = { src: img.currentSrc, context: context };
        }
        var pixel = sampled.context.getImageData(x, y, 1, 1).data;
        return hex(pixel[0]) + hex(pixel[1]) + hex(pixel[2]);
    }

    function swallow(e) {
        e.preventDefault();
        e.stopPropagation();
    }

    function finish(colour) {
        var done = picking;
        picking = null;
        $('body').removeClass('eyedropper-picking');
        $('#eyedropper-hint').remove();
        document.removeEventListener('mousedown', onPress, true);
        document.removeEventListener('keydown', onKey, true);
        // The click that ends the press is the eyedropper's too.
        setTimeout(function () {
            document.removeEventListener('click', swallow, true);
        }, 0);
        if (done) {
            done(colour);
        }
    }

    function onPress(e) {
        swallow(e);
        var rect = image().getBoundingClientRect();
        var inside = e.clientX >= rect.left && e.clientX < rect.right && e.clientY >= rect.top &&
                     e.clientY < rect.bottom;
        if (!inside) {
            finish(null);
            return;
        }
        var at = PreviewCanvas.clientToPicture(e.clientX, e.clientY);
        finish(colourAt(at.x, at.y));
    }

    function onKey(e) {
        if (e.key === 'Escape') {
            swallow(e);
            finish(null);
        }
    }

    function pick() {
        if (picking) {
            finish(null);
        }
        return new Promise(function (resolve) {
            if (!available()) {
                resolve(null);
                return;
            }
            picking = resolve;
            $('body').addClass('eyedropper-picking');
            $('<div id="eyedropper-hint"></div>').text('在预览上单击取色，Esc 取消').appendTo('body');
            document.addEventListener('mousedown', onPress, true);
            document.addEventListener('click', swallow, true);
            document.addEventListener('keydown', onKey, true);
            window.focus();
        });
    }

    return { pick: pick, available: available, colourAt: colourAt };
})();
