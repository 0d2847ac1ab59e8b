/* The editor window as a window: its title names the open project, and
 * closing it goes back to the start page, asking first while a pack or a
 * push runs. Loaded after the editor's main script. */
'use strict';

var EDITOR_TITLE = document.title;

// The text a host command answers; '' when it cannot be asked.
async function HostText(command) {
    try {
        return (await external[command]()) || '';
    } catch (e) {
        return '';
    }
}

// The tab's title: the project's name, then the program's.
async function ShowProjectTitle() {
    var name = await HostText('GetProjectName');
    document.title = name ? name + ' - ' + EDITOR_TITLE : EDITOR_TITLE;
}

// The caption's close button.
async function CloseEditor() {
    var work = await HostText('RunningWork');
    if (!work || (await AskToClose(work))) {
        external.CloseWindow();
    }
}

// A question over the editor with 关闭 and 取消; resolves true for 关闭.
function AskToClose(work) {
    return new Promise(function (resolve) {
        $('#close-question').remove();
        var layer = $('<div id="close-question" class="close-question"></div>');
        var box = $('<div class="close-question-box"></div>');
        box.append($('<div class="close-question-text"></div>').text(work + '确定关闭编辑器吗？'));
        var answer = function (close) {
            layer.remove();
            resolve(close);
        };
        box.append($('<span class="btn" id="close-question-yes">关闭</span>').on('click', function () {
            answer(true);
        }));
        box.append($('<span class="btn" id="close-question-no">取消</span>').on('click', function () {
            answer(false);
        }));
        $('body').append(layer.append(box));
    });
}
