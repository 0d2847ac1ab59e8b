/* The editor page's side of a live project: the host watches the project's
 * folders and tells the page when other programs changed its files
 * (OnProjectFilesChanged; OnShownScreenDrawn of shown-redraw.js before it
 * when the screen the preview shows, which ShownScreen names, was drawn
 * again), or that it cannot
 * watch them all (OnProjectWatchLimited). Loaded after the editor's main script. */
'use strict';

var LIVE_STATE_CLASSES = { missing: 'resource-missing', broken: 'resource-broken' };
var LIVE_STATE_TITLES = { missing: '文件已被删除', broken: '文件无法读取，预览保留原图' };

// The list images that show the file at path.
function ListImagesOf(path) {
    var address = FileAddress(path);
    return $('#resource img.resource-img, #resource img.wallpapper').filter(function () {
        return StripCacheQuery($(this).attr('src') || '') === address;
    });
}

// Marks a list entry of an image another program removed or broke; a file
// that reads well again loses its mark and shows its new pixels.
function MarkListImage(image) {
    var cells = ListImagesOf(image.path).closest('.resource-cell, .wallpaper-cell');
    $.each(LIVE_STATE_CLASSES, function (state, name) {
        cells.toggleClass(name, image.state === state);
    });
    cells.find('.live-mark').remove();
    if (LIVE_STATE_CLASSES[image.state]) {
        cells.append($('<span class="live-mark"></span>').attr('title', LIVE_STATE_TITLES[image.state]));
    } else {
        ListImagesOf(image.path).Refresh();
    }
}

// change: {"reloaded":bool,"modules":[page names drawn again],
// "images":[{"path":P,"state":"changed|missing|broken"}]}
function OnProjectFilesChanged(text) {
    var change = ParseJson(text) || {};
    if (change.reloaded) {
        // The host sent the new lists first.
        ShowListsAfterHistoryStep([]);
    }
    $.each(change.images || [], function (_, image) {
        MarkListImage(image);
    });
    if (change.reloaded || $.inArray(CURRENT_PACKAGE_NAME, change.modules || []) >= 0) {
        RefreshPreview();
    }
    UpdateHistoryButtons();
    return '';
}

// The screen the preview shows, so that the host draws it first:
// {"module": page name, "screen": index}.
function ShownScreen() {
    return JSON.stringify({ module: CURRENT_PACKAGE_NAME, screen: CURRENT_SCREEN_ID });
}

// Said once a project: changes made by other programs show only after 刷新.
function OnProjectWatchLimited() {
    $('#live-notice').remove();
    var notice = $('<div id="live-notice" class="live-notice"></div>');
    notice.append($('<span></span>').text('无法监视主题包的全部文件夹（系统的监视数量已用完），其他程序的修改不会自动显示。'));
    notice.append($('<span class="btn">刷新</span>').on('click', function () {
        notice.remove();
        Refresh_the_interface();
    }));
    notice.append($('<span class="panel-close" title="关闭"></span>').on('click', function () {
        notice.remove();
    }));
    $('body').append(notice);
    return '';
}
