/* The start page's list of the projects opened last: name, folder and when;
 * a project whose file is gone is greyed and can only be taken out of the
 * list. Loaded after the main script. */
'use strict';

function RecentTime(seconds) {
    var date = new Date(Number(seconds) * 1000);
    var two = function (n) {
        return (n < 10 ? '0' : '') + n;
    };
    return date.getFullYear() + '-' + two(date.getMonth() + 1) + '-' + two(date.getDate()) + ' ' +
        two(date.getHours()) + ':' + two(date.getMinutes());
}

function RecentRow(project) {
    var row = $('<div class="recent-project"></div>').attr('title', project.path);
    var text = $('<div class="recent-text"></div>');
    text.append($('<span class="recent-name"></span>').text(project.name));
    text.append($('<span class="recent-time"></span>').text(RecentTime(project.opened)));
    // The folder's end shows when it is too long: the line runs right to
    // left, the path inside it left to right.
    var folder = $('<span class="recent-path"></span>').text(project.folder);
    text.append($('<div class="recent-folder"></div>').append(folder));
    var remove = $('<span class="recent-remove" title="从列表中移除"></span>').on('click', async function (e) {
        e.stopPropagation();
        ShowRecentList(await external.RemoveRecentProject(project.path));
    });
    row.append(text, remove);
    if (project.missing) {
        row.addClass('recent-missing').attr('title', '项目文件已不存在：' + project.path);
    } else {
        row.on('click', function () {
            external.OpenRecentProject(project.path);
        });
    }
    return row;
}

function ShowRecentList(text) {
    var list = [];
    try {
        list = JSON.parse(text);
    } catch (e) {
        list = [];
    }
    var box = $('#recent-projects').empty();
    if (!Array.isArray(list) || !list.length) {
        box.hide();
        return;
    }
    box.append($('<div class="recent-caption"></div>').text('最近打开'));
    list.forEach(function (project) {
        box.append(RecentRow(project));
    });
    box.show();
}

async function ShowRecentProjects() {
    ShowRecentList(await external.GetRecentProjects());
}

$(ShowRecentProjects);
