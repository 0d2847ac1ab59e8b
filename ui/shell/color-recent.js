// The colour dialog's own colours: the last eight colours chosen in the
// project (the host hands them over with the dialog's parameters, newest
// first, and keeps each colour the dialog ends with), and the eyedropper,
// which picks a pixel of the editor's preview. A colour taken either way is
// put into the colour field as if typed.
(function () {
    'use strict';

    function byId(id) {
        return document.getElementById(id);
    }

    function choose(color) {
        var field = byId('color-value');
        field.value = color;
        field.dispatchEvent(new Event('input'));
        field.focus();
    }

    // The editor page's eyedropper, when the dialog is shown over it.
    function eyedropper() {
        try {
            return window.top !== window && window.top.PreviewEyedropper ? window.top.PreviewEyedropper : null;
        } catch (ignored) {
            return null;
        }
    }

    function showRecent(colors) {
        var row = byId('color-recent');
        row.textContent = '';
        colors.forEach(function (color) {
            var cell = document.createElement('span');
            cell.style.background = '#' + color;
            cell.setAttribute('data-color', color);
            cell.title = color;
            cell.addEventListener('click', function () {
                choose(color);
            });
            row.appendChild(cell);
        });
        byId('color-recent-row').hidden = colors.length === 0;
    }

    async function start() {
        var param = {};
        try {
            param = JSON.parse(await external.GetParameter()) || {};
        } catch (ignored) {
            param = {};
        }
        showRecent(Array.isArray(param.recent) ? param.recent.filter(function (color) {
            return /^[0-9a-f]{6}$/.test(color);
        }) : []);
        var button = byId('color-eyedropper');
        var picker = eyedropper();
        button.disabled = !(picker && picker.available());
        if (button.disabled) {
            button.title = '预览中没有可取色的图片';
        }
        button.addEventListener('click', async function () {
            var color = await picker.pick();
            if (color) {
                choose(color);
            }
        });
    }

    document.addEventListener('DOMContentLoaded', function () {
        if (byId('color-dialog')) {
            start();
        }
    });
})();
