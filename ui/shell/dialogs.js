// The host's file, folder and colour dialogs. Each page is shown in a popup;
// it lists folders through the popup's commands (ListFolder), ends with
// EndDialog(value) when the user confirms and with CloseWindow when the user
// cancels. Names from the file system are inserted as text, never as HTML.
//
// The fields and buttons of a dialog come disabled in its page and are
// enabled once the dialog has its parameters and its first listing (or
// colour): until then a typed path would be overwritten and a click on OK
// would be lost. Cancel works from the start.
(function () {
    'use strict';

    function byId(id) {
        return document.getElementById(id);
    }

    function joinPath(folder, name) {
        if (name.charAt(0) === '/') {
            return name;
        }
        return folder === '/' ? '/' + name : folder + '/' + name;
    }

    async function parameters() {
        try {
            return JSON.parse(await external.GetParameter()) || {};
        } catch (ignored) {
            return {};
        }
    }

    async function listFolder(folder, patterns) {
        try {
            return JSON.parse(await external.ListFolder(folder, patterns));
        } catch (error) {
            return { error: String(error && error.message || error) };
        }
    }

    function enable(ids) {
        ids.forEach(function (id) {
            byId(id).disabled = false;
        });
    }

    // The label is right-to-left so that a long path loses its beginning,
    // not its end; the path itself is an isolated left-to-right run, or its
    // leading "/" would be drawn at the end.
    function showFolder(label, folder) {
        var run = document.createElement('bdi');
        run.dir = 'ltr';
        run.textContent = folder;
        label.textContent = '';
        label.appendChild(run);
    }

    function bindCancel(id) {
        byId(id).addEventListener('click', function () {
            external.CloseWindow();
        });
    }

    function onEnter(input, action) {
        input.addEventListener('keydown', function (event) {
            if (event.key === 'Enter') {
                event.preventDefault();
                action();
            }
        });
    }

    function listItem(list, name, kind) {
        var item = document.createElement('li');
        item.className = kind;
        item.textContent = name;
        item.setAttribute('data-name', name);
        list.appendChild(item);
        return item;
    }

    function select(list, item) {
        var selected = list.querySelectorAll('li.selected');
        for (var i = 0; i < selected.length; ++i) {
            selected[i].classList.remove('selected');
        }
        item.classList.add('selected');
    }

    async function fileDialog() {
        bindCancel('file-cancel');
        var param = await parameters();
        var filters = param.filters || [{ description: 'All Files', patterns: '*.*' }];
        var current = param.folder || '/';
        var parent = '';
        var list = byId('file-list');
        var field = byId('file-path');
        var filter = byId('file-filter');
        var message = byId('file-message');

        filters.forEach(function (entry, index) {
            var option = document.createElement('option');
            option.value = String(index);
            option.textContent = entry.description;
            filter.appendChild(option);
        });

        function patterns() {
            var entry = filters[Number(filter.value) || 0];
            return entry ? entry.patterns : '*.*';
        }

        async function show(folder) {
            var listing = await listFolder(folder, patterns());
            if (listing.error) {
                message.textContent = '找不到文件夹：' + folder;
                return false;
            }
            message.textContent = '';
            current = listing.path;
            parent = listing.parent;
            showFolder(byId('file-folder'), current);
            list.textContent = '';
            listing.folders.forEach(function (name) {
                var item = listItem(list, name, 'folder');
                item.addEventListener('click', function () {
                    show(joinPath(current, name));
                });
            });
            listing.files.forEach(function (name) {
                var item = listItem(list, name, 'file');
                item.addEventListener('click', function () {
                    select(list, item);
                    field.value = joinPath(current, name);
                });
                item.addEventListener('dblclick', function () {
                    field.value = joinPath(current, name);
                    confirm();
                });
            });
            return true;
        }

        async function confirm() {
            var typed = field.value.trim();
            if (typed === '') {
                return;
            }
            var path = joinPath(current, typed);
            var listing = await listFolder(path, '');
            if (!listing.error) {
                field.value = '';
                await show(path);
                return;
            }
            if (!(await external.EndDialog(path))) {
                message.textContent = '找不到文件：' + path;
            }
        }

        byId('file-up').addEventListener('click', function () {
            if (parent) {
                show(parent);
            }
        });
        filter.addEventListener('change', function () {
            show(current);
        });
        byId('file-ok').addEventListener('click', confirm);
        onEnter(field, confirm);
        await show(current);
        enable(['file-up', 'file-path', 'file-filter', 'file-ok']);
        field.focus();
    }

    async function folderDialog() {
        bindCancel('folder-cancel');
        var param = await parameters();
        var current = param.folder || '/';
        var parent = '';
        var list = byId('folder-list');
        var field = byId('folder-path');
        var message = byId('folder-message');
        if (param.prompt) {
            byId('folder-prompt').textContent = param.prompt;
        }

        async function show(folder) {
            var listing = await listFolder(folder, '');
            if (listing.error) {
                message.textContent = '找不到文件夹：' + folder;
                return false;
            }
            message.textContent = '';
            current = listing.path;
            parent = listing.parent;
            field.value = current;
            showFolder(byId('folder-current'), current);
            list.textContent = '';
            listing.folders.forEach(function (name) {
                var item = listItem(list, name, 'folder');
                item.addEventListener('click', function () {
                    select(list, item);
                    field.value = joinPath(current, name);
                });
                item.addEventListener('dblclick', function () {
                    show(joinPath(current, name));
                });
            });
            return true;
        }

        async function confirm() {
            var typed = field.value.trim();
            if (typed === '') {
                return;
            }
            var path = joinPath(current, typed);
            if (!(await external.EndDialog(path))) {
                message.textContent = '找不到文件夹：' + path;
            }
        }

        byId('folder-up').addEventListener('click', function () {
            if (parent) {
                show(parent);
            }
        });
        byId('folder-ok').addEventListener('click', confirm);
        onEnter(field, confirm);
        await show(current);
        enable(['folder-up', 'folder-path', 'folder-ok']);
        field.focus();
    }

    // The basic colours offered besides the custom one.
    var BASIC_COLORS = [
        'ff8080', 'ffff80', '80ff80', '00ff80', '80ffff', '0080ff', 'ff80c0', 'ff80ff',
        'ff0000', 'ffff00', '80ff00', '00ff40', '00ffff', '0080c0', '8080c0', 'ff00ff',
        '804040', 'ff8040', '00ff00', '008080', '004080', '8080ff', '800040', 'ff0080',
        '800000', 'ff8000', '008000', '008040', '0000ff', '0000a0', '800080', '8000ff',
        '400000', '804000', '004000', '004040', '000080', '000040', '400040', '400080',
        '000000', '808000', '808040', '808080', '408080', 'c0c0c0', '400040', 'ffffff'
    ];

    async function colorDialog() {
        bindCancel('color-cancel');
        var field = byId('color-value');
        var picker = byId('color-picker');
        var preview = byId('color-preview');
        var message = byId('color-message');
        var swatches = byId('color-swatches');

        function valid(text) {
            return /^[0-9a-fA-F]{6}$/.test(text);
        }

        function apply(color, fromField) {
            var value = color.replace(/^#/, '').toLowerCase();
            if (!valid(value)) {
                return;
            }
            if (!fromField) {
                field.value = value;
            }
            picker.value = '#' + value;
            preview.style.background = '#' + value;
            var cells = swatches.children;
            for (var i = 0; i < cells.length; ++i) {
                cells[i].classList.toggle('selected', cells[i].getAttribute('data-color') === value);
            }
        }

        BASIC_COLORS.forEach(function (color) {
            var cell = document.createElement('span');
            cell.style.background = '#' + color;
            cell.setAttribute('data-color', color);
            cell.title = color;
            cell.addEventListener('click', function () {
                apply(color, false);
            });
            swatches.appendChild(cell);
        });

        async function confirm() {
            var value = field.value.trim().replace(/^#/, '');
            if (!valid(value) || !(await external.EndDialog(value))) {
                message.textContent = '请输入六位十六进制颜色值';
            }
        }

        picker.addEventListener('input', function () {
            apply(picker.value, false);
        });
        field.addEventListener('input', function () {
            message.textContent = '';
            apply(field.value.trim(), true);
        });
        byId('color-ok').addEventListener('click', confirm);
        onEnter(field, confirm);
        var param = await parameters();
        apply(param.color || field.value, false);
        enable(['color-picker', 'color-value', 'color-ok']);
        field.focus();
    }

    document.addEventListener('DOMContentLoaded', function () {
        if (byId('file-dialog')) {
            fileDialog();
        } else if (byId('folder-dialog')) {
            folderDialog();
        } else if (byId('color-dialog')) {
            colorDialog();
        }
    });
})();
