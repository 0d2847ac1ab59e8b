/* Skinwright page script: the main editor (page 104), the start page (106),
 * the popup shell (108) and the forms it shows.
 *
 * Every call to the host goes through `external` (the page bridge) and
 * returns a Promise; results that are used are awaited. Functions the host
 * calls by name (JsEval, SetMessage, SetResourceList, ...) are global
 * function declarations. */
'use strict';

/* ------------------------------------------------------------ state */

var ALL_RESOURCES;
var ALL_CATEGORY;
var CURRENT_PACKAGE_NAME = '桌面';
var CURRENT_SCREEN_ID = 0;
var CURRENT_CATEGORY_NAME = '壁纸';
var CUR_RESOURCE_VIEW_WIDTH = 300;
var CUR_RESOURCE_VIEW_HEIGHT = 300;
var PREVIEW_ZOOM_RATIO = 1.0;
var MIN_PREVIEW_ZOOM_HEIGHT = parseInt(1920 * 0.2);
var CURRENT_PREVIEW_AREA_HEIGHT = MIN_PREVIEW_ZOOM_HEIGHT;
var CURRENT_PREVIEW_AREA_WIDTH = parseInt(1080 * 0.2);
var RESOURCE_SNAPSHOT_SIZE = 110;
var TabList = [];
var TabCount = 0;
var TabIndex = 0;
var ActiveIndex = 0;

var HELP_SITE = 'https://skinwright.github.io/help/';
var DESIGNER_SITE = 'https://skinwright.github.io/designers/';

var WALLPAPER_CATEGORY = '壁纸';
var OTHER_CATEGORY = '其他';
var WALLPAPER_WIDTH = 1080;
var WALLPAPER_HEIGHT = 1920;
var PNG_FILTER = 'PNG格式图片(*.png)|*.png||';
var JPG_FILTER = 'JPG格式图片(*.jpg)|*.jpg||';
var NINE_PATCH_FILTER = '.9.PNG格式图片(*.9.png)|*.9.png||';
var PACKAGE_ITEMS = { '桌面': '#package-desktop', '锁屏': '#package-locktop', '通话': '#package-calltop' };
var IMAGE_CELL_EDGE = 100; // longer side of a resource thumbnail inside its 110-pixel cell

/* ------------------------------------------------------ shared helpers */

function ALERT(s) {
    return external.ALERT(s);
}

function NavigateUrl(url) {
    return external.NavigateUrl(url);
}

function ConvertedPathString(path) {
    return String(path).replace(/\\+/g, function (run) {
        return run + run;
    });
}

function Delay(ms) {
    return new Promise(function (resolve) {
        setTimeout(resolve, ms);
    });
}

function ParseJson(text) {
    try {
        return JSON.parse(text);
    } catch (e) {
        return null;
    }
}

function JoinPath() {
    return $.map(arguments, function (part, i) {
        part = String(part).replace(/\\/g, '/');
        return i === 0 ? part.replace(/\/+$/, '') : part.replace(/^\/+|\/+$/g, '');
    }).join('/');
}

// The host serves project images (and images chosen in its file dialog) by
// their absolute path.
function FileAddress(path) {
    return '/file?path=' + encodeURIComponent(String(path).replace(/\\/g, '/'));
}

function StripCacheQuery(address) {
    return String(address).replace(/[?&]t=[^&]*$/, '');
}

// Texts the host composes name our resources as "res:/TYPE/#N"; the server
// has them at /res/TYPE/N.
function MapResAddresses(html) {
    return String(html).replace(/res:\/(HTML|PNG|GIF|CSS|JS)\/#(\d+)/gi, function (_, type, number) {
        return '/res/' + type.toUpperCase() + '/' + number;
    });
}

// Runs an expression the host sends; never returns anything but "".
function JsEval(s) {
    s = $.trim(s === undefined || s === null ? '' : String(s));
    if (!s) {
        return '';
    }
    if (s.charAt(s.length - 1) !== ';') {
        s += ';';
    }
    try {
        var func = new Function(s + "return '';");
        func();
    } catch (e) {
        alert('JsEval ERROR: ' + (e && e.message !== undefined ? e.message : e));
    }
    return '';
}

$.fn.Centralize = function () {
    var bodyWidth = $('body').width();
    var bodyHeight = $('body').height();
    return this.each(function () {
        var el = $(this);
        var width = Math.min(el.outerWidth(), bodyWidth);
        var height = Math.min(el.outerHeight(), bodyHeight);
        if (el.css('position') !== 'fixed') {
            el.css('position', 'absolute');
        }
        el.css({
            left: Math.round((bodyWidth - width) / 2),
            top: Math.round((bodyHeight - 37 - height) / 3 + 37)
        });
    });
};

// Reloads an image past every cache: with a path, from that file.
$.fn.Refresh = function (src) {
    return this.each(function () {
        var base = src !== undefined ? FileAddress(src) : StripCacheQuery($(this).attr('src') || '');
        if (!base) {
            return;
        }
        $(this).attr('src', base + (base.indexOf('?') < 0 ? '?' : '&') + 't=' + Math.random().toString().slice(2));
    });
};

var BUTTON_FAMILIES = [
    'btn', 'btn-big', 'btn-attribute', 'btnbig', 'btn-green-1', 'btn-new', 'btn-open', 'btn-push',
    'btn-green', 'btn-history', 'btn1', 'btn2', 'btn3', 'btn4', 'btn5', 'btn6', 'btn7', 'btn8', 'btn9',
    'package-desktop', 'package-locktop', 'package-calltop',
    'caption-close', 'caption-max', 'caption-min', 'panel-close'
];

// Hover and pressed looks for every button family.
function SetStyleButton() {
    $.each(BUTTON_FAMILIES, function (_, family) {
        var over = family + '-over';
        var press = family + '-press';
        $('.' + family)
            .off('.swstyle')
            .on('mouseenter.swstyle', function () {
                $(this).addClass(over);
            })
            .on('mousedown.swstyle', function () {
                $(this).addClass(press);
            })
            .on('mouseup.swstyle', function () {
                $(this).removeClass(press);
            })
            .on('mouseleave.swstyle', function () {
                $(this).removeClass(over + ' ' + press);
            })
            .on('click.swstyle', function () {
                this.blur();
            });
    });
}

function DisableContextMenuAndSelect() {
    $(document)
        .off('.swguard')
        .on('contextmenu.swguard', function (e) {
            e.preventDefault();
        })
        .on('selectstart.swguard', function (e) {
            if (!$(e.target).is('input, textarea')) {
                e.preventDefault();
            }
        });
}

/* -------------------------------------------------- loading overlay */

function ShowLoadingImage(text) {
    RemoveLoading();
    $('<div class="loading-overlay"></div>').appendTo('body');
    var box = $('<table class="loading-box"><tr><td><img src="/res/GIF/148" width="100" height="100" alt=""><br><br></td></tr></table>');
    box.find('td').append(document.createTextNode(text));
    box.appendTo('body').Centralize();
    $(window).on('resize.swloading', function () {
        box.Centralize();
    });
}

function RemoveLoading() {
    $('.loading-overlay, .loading-box').remove();
    $(window).off('resize.swloading');
}

/* ------------------------------------------------ buttons and commands */

function CreateThemeProject() {
    CURRENT_PACKAGE_NAME = '桌面';
    return external.CreateThemeProject();
}

function OpenThemeProject() {
    return external.OpenThemeProject();
}

function PushToPhone() {
    return external.PushToPhone();
}

function PackTheme() {
    return external.PackTheme();
}

function OpenAttribute() {
    return external.OpenAttribute();
}

function OpenLockscreen() {
    return external.OpenLockscreen();
}

function OpenCallscreen() {
    return external.OpenCallscreen();
}

function OpenAdvancedMode() {
    return external.OpenAdvancedMode();
}

function OpenWeather() {
    return external.OpenWeather();
}

function AnimatorLockscreen() {
    return external.AnimatorLockscreen();
}

function RefreshWeather() {
    return external.RefreshWeather();
}

// 刷新: the host reads the project again from its files, so that what other
// programs wrote shows, and the page shows the new lists where the designer
// was: same module, tab and screen, same zoom and scroll, same selection.
async function Refresh_the_interface() {
    var answer = {};
    var restoreSelection = PreviewSelection.hold();
    try {
        answer = ParseJson(await external.RefreshProject()) || {};
    } finally {
        if (answer.done) {
            ShowListsAfterHistoryStep([]);
        }
        $('#resource img.resource-img, #resource img.wallpapper').Refresh();
        RefreshPreview();
        restoreSelection();
        RemoveLoading();
        UpdateHistoryButtons();
    }
}

// The in-page advanced-mode panel; leaving it redraws every screen, since
// icons may have been replaced behind the editor's back.
function AdvancedMode() {
    $('#advanced-panel').removeClass('hidden').Centralize();
}

async function LeaveAdvancedMode() {
    $('#advanced-panel').addClass('hidden');
    await external.RedrawAll1();
    Refresh_the_interface();
}

/* The check panel: what would break the theme on a phone, one finding a
 * row; a finding about an element selects it in the preview. */

var CHECK_LEVEL_NAMES = { ERROR: '错误', WARN: '警告' };

// One row of a finding list; texts go in as text, never as markup.
function BuildFindingRow(finding) {
    var row = $('<div class="check-item"></div>').addClass(finding.level === 'ERROR' ? 'check-error' : 'check-warn');
    row.append($('<span class="check-level"></span>').text(CHECK_LEVEL_NAMES[finding.level] || finding.level));
    var where = (finding.module ? finding.module + '/' : '') + finding.file;
    row.append($('<div class="check-file"></div>').text(where).attr('title', where));
    row.append($('<div class="check-message"></div>').text(finding.message));
    return row;
}

function ShowFindingList(list, findings) {
    list.empty();
    $.each(findings, function (_, finding) {
        list.append(BuildFindingRow(finding));
    });
}

// The panel docks at the right, over the resource list, so the element a
// finding selects stays in sight in the preview.
function OpenCheckPanel() {
    $('#check-panel').removeClass('hidden').addClass('check-docked');
    return RunCheck();
}

function CloseCheckPanel() {
    $('#check-panel').addClass('hidden');
}

async function RunCheck() {
    var list = $('#check-list').empty();
    $('#check-summary').text('正在检查 ...');
    var findings = ParseJson(await external.CheckTheme()) || [];
    var errors = $.grep(findings, function (f) { return f.level === 'ERROR'; }).length;
    $('#check-summary').text(findings.length
                                 ? errors + ' 个错误，' + (findings.length - errors) + ' 个警告'
                                 : '没有发现问题。');
    ShowFindingList(list, findings);
    list.children().each(function (i) {
        var finding = findings[i];
        if (finding.element === undefined) {
            return;
        }
        $(this).addClass('check-selectable').attr('title', '在预览中选中').on('click', function () {
            list.children().removeClass('check-current');
            $(this).addClass('check-current');
            SelectFindingElement(finding);
        });
    });
}

// Shows the finding's module and screen and selects its element there, as
// a click on it in the preview would.
async function SelectFindingElement(finding) {
    if (finding.page !== CURRENT_PACKAGE_NAME) {
        SwitchToPackage(finding.page);
    }
    SetActiveScreen(finding.screen);
    var hits = ParseJson(await external.GetElementByID(finding.page, finding.screen, finding.element));
    if (hits && hits.length) {
        ShowElementCells(hits);
    }
}

// The caption's maximise button: the browser's full screen is the closest
// thing a page has to a maximised window.
function ToggleMaximize() {
    if (document.fullscreenElement) {
        document.exitFullscreen();
    } else if (document.documentElement.requestFullscreen) {
        document.documentElement.requestFullscreen().catch(function () {});
    }
}

/* ------------------------------------------------------- start page */

function InitStartDlg() {
    SetStyleButton();
    DisableContextMenuAndSelect();
    external.GetProgramVersion().then(function (version) {
        $('#start-version').text(version ? 'V' + version : '');
    });
    external.OnDocumentReady();
}

function ShowStatus(stat) {
    var creating = stat === 'create' || stat === 'new';
    var opening = stat === 'open';
    var pushing = stat === 'push';
    $('#creating-div').toggle(creating);
    $('#opening-div').toggle(opening);
    $('#pushing-div').toggle(pushing);
    $('#create-open-div').toggle(!creating && !opening && !pushing);
    return '';
}

/* ---------------------------------------------------- phone operations */

var PUSHING_TEXT = '正在导入手机 ...';

// The steps of a phone operation as the host reports them ('' when it has
// ended): the start page shows them under its pushing animation, a form in
// its progress line, an alert (the pack result) in a line below its
// message, whose links wait meanwhile.
function ShowPhoneProgress(text) {
    text = text === undefined || text === null ? '' : String(text);
    var pushing = $('#pushing-div .status-text');
    if (pushing.length) {
        pushing.text(text || PUSHING_TEXT);
        return '';
    }
    var line = $('.phone-progress');
    if (!line.length) {
        if (!text) {
            return '';
        }
        line = $('<div class="phone-progress"></div>').appendTo('#alert-msg-div');
    }
    line.text(text).toggle(text !== '');
    $('#alert-msg-div a').css('pointer-events', text ? 'none' : '');
    return '';
}

/* ------------------------------------------------------ popup shell */

function SetMessage(s) {
    $('#alert-msg-div').html(MapResAddresses(s));
    SetStyleButton();
    return '';
}

/* --------------------------------------------------------- main page */

function InitSkinwrightDlg() {
    AdjustSizeMain();
    ResizeLayout();
    var pending = null;
    $(window).on('resize', function () {
        AdjustSizeMain();
        // A dragged window edge sends many resize events; lay out once it rests.
        clearTimeout(pending);
        pending = setTimeout(ResizeLayout, 60);
    });
    SetStyleButton();
    DisableContextMenuAndSelect();
    external.OnDocumentReady();
    SetArrowStyle('#prev-screen', 155, 150, 153);
    SetArrowStyle('#next-screen', 151, 157, 154);
    InitPreviewImageClick();
    PreviewCanvas.init();
    // A settings save has the project's pictures drawn again.
    $(window).on('skinwright-images-changed', RefreshPreview);
    $(window).on('skinwright-images-changed', UpdateHistoryButtons);
    BindHistoryKeys();
    $('#caption').on('dblclick', function (e) {
        if (!$(e.target).closest('.caption-buttons').length) {
            ToggleMaximize();
        }
    });
    $(document).on('fullscreenchange', function () {
        $('#caption-max').toggleClass('is-restored', !!document.fullscreenElement);
    });
}

function SetArrowStyle(selector, over, press, normal) {
    var image = function (n) {
        return '/res/PNG/' + n;
    };
    $(selector)
        .on('mouseenter mouseup', function () {
            this.src = image(over);
        })
        .on('mousedown', function () {
            this.src = image(press);
        })
        .on('mouseleave', function () {
            this.src = image(normal);
        });
}

// The editor's size comes from the window's, never from #main's own: a
// table grows with what it holds, so a layout made for a larger window
// would otherwise keep itself that large.
function MainSize() {
    var chrome = $('#caption').outerHeight() + $('#tool-bar').outerHeight();
    return {
        width: document.documentElement.clientWidth,
        height: Math.max(document.documentElement.clientHeight - chrome - 6, 0),
    };
}

function AdjustSizeMain() {
    var size = MainSize();
    $('#main').width(size.width).height(size.height);
}

function CurrentPackage() {
    return ALL_RESOURCES ? ALL_RESOURCES[CURRENT_PACKAGE_NAME] : undefined;
}

function ThemeSize() {
    var pkg = CurrentPackage();
    if (pkg && pkg.screen_width > 0 && pkg.screen_height > 0) {
        return { width: pkg.screen_width, height: pkg.screen_height };
    }
    return { width: WALLPAPER_WIDTH, height: WALLPAPER_HEIGHT };
}

// The resource list keeps at least this width; the preview gives way first.
var MIN_RESOURCE_VIEW_WIDTH = 300;
// The space right of the resource list.
var RESOURCE_VIEW_MARGIN = 12;

function ResizeLayout() {
    var theme = ThemeSize();
    var main = MainSize();
    AdjustSizeMain();
    // The resource list is drawn narrow first, so that it cannot hold the
    // row wider than the window while the preview is measured.
    $('#resource-container, #resource').css({ width: MIN_RESOURCE_VIEW_WIDTH });
    var height = Math.max(main.height - 250, 120);
    PreviewCanvas.layout(parseInt(height * theme.width / theme.height), height);
    // A tall, narrow window: the preview shrinks until the list fits beside it.
    var room = main.width - RESOURCE_VIEW_MARGIN - MIN_RESOURCE_VIEW_WIDTH -
        ($('#resource-column').offset().left - $(document).scrollLeft());
    if (room < 0) {
        height = Math.max(Math.floor(height + room * theme.height / theme.width), 120);
    }
    var width = parseInt(height * theme.width / theme.height);
    PREVIEW_ZOOM_RATIO = height / theme.height;
    CURRENT_PREVIEW_AREA_HEIGHT = height;
    CURRENT_PREVIEW_AREA_WIDTH = width;
    DrawThumbnail(CURRENT_PACKAGE_NAME, width, height);

    // The preview area grows into the free room; the thumbnails keep the
    // screen's shape at the area's height.
    var free = main.width - 390;
    var areaWidth = PreviewCanvas.room(free, width);
    PreviewCanvas.layout(areaWidth, height);
    $('#package-list').height(height + 100);

    // The list takes what is left beside the preview as laid out.
    var left = $('#resource-column').offset().left - $(document).scrollLeft();
    var viewWidth = Math.max(main.width - left - RESOURCE_VIEW_MARGIN, MIN_RESOURCE_VIEW_WIDTH);
    var viewHeight = height + 60;
    CUR_RESOURCE_VIEW_WIDTH = viewWidth + 4;
    CUR_RESOURCE_VIEW_HEIGHT = viewHeight;
    $('#resource-container').css({ width: viewWidth });
    $('#resource').css({ width: viewWidth, height: viewHeight });
    ResizeTabList(viewWidth);
    SetWapperSize();
}

// Draws the package's thumbnails at the preview size once a list is loaded,
// then shows them; failures keep the old picture.
async function DrawThumbnail(name, width, height) {
    if (!ALL_RESOURCES || !ALL_RESOURCES[name]) {
        return;
    }
    try {
        if (await external.DrawThumbNail(name, width, height) && name === CURRENT_PACKAGE_NAME) {
            RefreshPreview();
        }
    } catch (e) {
        // The preview keeps its last picture.
    }
}

function SetWapperSize() {
    var theme = ThemeSize();
    var height = Math.round(Math.min(0.7 * CUR_RESOURCE_VIEW_HEIGHT, 0.7 * (CUR_RESOURCE_VIEW_WIDTH - 4)));
    $('#resource img.wallpapper').css({ height: height, width: Math.round(height * theme.width / theme.height) });
}

/* Host notifications. */

function HideEditor() {
    $('#main').hide();
    $('#tool-bar').hide();
}

function ShowEditor() {
    $('#tool-bar').show();
    $('#main').show();
}

function OnProjectOpening() {
    HideEditor();
    ShowLoadingImage('正在打开主题包 ...');
}

function OnProjectCreating() {
    HideEditor();
    ShowLoadingImage('正在创建主题包 ...');
}

function OnProjectLoading() {
    HideEditor();
    ShowLoadingImage('正在加载资源 ...');
}

function OnProjectEnded() {
    RemoveLoading();
    ShowEditor();
}

function OnProjectOpened() {
    OnProjectEnded();
}

function OnProjectOpenFailed() {
    OnProjectEnded();
}

function OnProjectCreated() {
    OnProjectEnded();
}

function OnProjectCreateFailed() {
    OnProjectEnded();
}

async function OnProjectLoaded() {
    external.MaximizeWindow();
    ShowProjectTitle();
    await Delay(10);
    // The shown package first, then every other one, so that no package is
    // shown with thumbnails of another size or none at all.
    var names = [CURRENT_PACKAGE_NAME, '桌面', '锁屏', '通话'].filter(function (name, i, all) {
        return all.indexOf(name) === i;
    });
    for (var i = 0; i < names.length; ++i) {
        try {
            await external.DrawThumbNail(names[i], CURRENT_PREVIEW_AREA_WIDTH, CURRENT_PREVIEW_AREA_HEIGHT);
        } catch (e) {
            // A package that cannot be drawn keeps its old thumbnails.
        }
    }
    GenerateResourceList();
    RemoveLoading();
    ShowEditor();
    ResizeLayout();
    UpdateHistoryButtons();
}

function SetResourceList(s) {
    try {
        ALL_RESOURCES = JSON.parse(s);
    } catch (e) {
        alert('加载资源列表失败');
    }
    return '';
}

function SetCategoryList(s) {
    try {
        ALL_CATEGORY = JSON.parse(s);
    } catch (e) {
        alert('加载分类列表失败');
    }
    return '';
}

/* Category tabs. */

function CategoryNames() {
    return (ALL_CATEGORY && ALL_CATEGORY[CURRENT_PACKAGE_NAME]) || [];
}

function SetTabBarWidth(w) {
    var count = parseInt((w - 25 - 21) / 89);
    TabCount = Math.max(0, Math.min(count, CategoryNames().length));
    $('#resource-tab').width(w);
}

function InitTabList(w) {
    $('#resource-tab td.tab-normal').remove();
    TabList = [];
    TabIndex = 0;
    ActiveIndex = 0;
    SetTabBarWidth(w);
    var filler = $('#resource-tab td.tab-unused');
    $.each(CategoryNames(), function (index, name) {
        var cell = $('<td class="tab-normal"></td>').text(name).attr('title', name);
        cell.on('click', function () {
            ActivateTab(index);
        });
        cell.on('mouseenter', function () {
            if (!cell.hasClass('tab-active')) {
                cell.addClass('tab-over');
            }
        });
        cell.on('mouseleave', function () {
            cell.removeClass('tab-over');
        });
        if (index >= TabCount) {
            cell.hide();
        }
        filler.before(cell);
        TabList.push({ index: index, name: name, cell: cell });
    });
    if (TabList.length) {
        TabList[0].cell.trigger('click');
    }
    ResizeTabList(w);
}

function MarkActiveTab(index) {
    ActiveIndex = index;
    $.each(TabList, function (_, tab) {
        tab.cell.removeClass('tab-active tab-over');
    });
    TabList[index].cell.addClass('tab-active');
}

function ActivateTab(index) {
    var tab = TabList[index];
    if (!tab) {
        return;
    }
    MarkActiveTab(index);
    RemoveDashedRects();
    $('#resource .filter-block').remove();
    CURRENT_CATEGORY_NAME = tab.name;
    ShowCategory(CURRENT_PACKAGE_NAME, tab.name);
}

function ShowVisibleTabs() {
    if (TabIndex + TabCount > TabList.length) {
        TabIndex = Math.max(0, TabList.length - TabCount);
    }
    $.each(TabList, function (i, tab) {
        tab.cell.toggle(i >= TabIndex && i < TabIndex + TabCount);
    });
}

function ResizeTabList(w) {
    if (w !== undefined) {
        SetTabBarWidth(w);
    }
    if (ActiveIndex >= TabIndex + TabCount) {
        TabIndex = Math.max(0, ActiveIndex - TabCount + 1);
    }
    ShowVisibleTabs();
}

function ShowPrevTab() {
    if (TabIndex > 0) {
        TabIndex -= 1;
        ShowVisibleTabs();
    }
}

function ShowNextTab() {
    if (TabIndex + TabCount < TabList.length) {
        TabIndex += 1;
        ShowVisibleTabs();
    }
}

function SetCurrentCategoryName(name) {
    name = name || OTHER_CATEGORY;
    CURRENT_CATEGORY_NAME = name;
    $.each(TabList, function (i, tab) {
        if (tab.name === name) {
            MarkActiveTab(i);
            if (i < TabIndex) {
                TabIndex = i;
            }
            ResizeTabList();
            return false;
        }
    });
}

function ClickCurrentTab() {
    if (TabList[ActiveIndex]) {
        TabList[ActiveIndex].cell.trigger('click');
    }
}

/* Screens. */

function InitScreenList(n) {
    var box = $('#screen-indicators').empty();
    for (var i = 0; i < n; ++i) {
        $('<img src="/res/PNG/161" alt="">')
            .attr('title', '第' + (i + 1) + '屏')
            .on('click', SetActiveScreen.bind(null, i))
            .appendTo(box);
    }
    SetActiveScreen(0);
}

function SetActiveScreen(i) {
    RemoveDashedRects();
    var indicators = $('#screen-indicators img');
    i = Math.max(0, Math.min(i, indicators.length - 1));
    CURRENT_SCREEN_ID = i;
    var pkg = CurrentPackage();
    if (pkg) {
        PreviewDensity.show(pkg, i);
    }
    indicators.each(function (k) {
        this.src = k === i ? '/res/PNG/160' : '/res/PNG/161';
    });
}

function ScreenCount() {
    return $('#screen-indicators img').length;
}

function PrevScreen() {
    var n = ScreenCount();
    if (n > 0) {
        SetActiveScreen((CURRENT_SCREEN_ID - 1 + n) % n);
    }
}

function NextScreen() {
    var n = ScreenCount();
    if (n > 0) {
        SetActiveScreen((CURRENT_SCREEN_ID + 1) % n);
    }
}

function RefreshPreview() {
    var pkg = CurrentPackage();
    if (pkg && PreviewDensity.drawnByHost()) {
        PreviewDensity.show(pkg, CURRENT_SCREEN_ID);
    } else if ($('#preview-img').attr('src')) {
        $('#preview-img').Refresh();
    }
}

/* Packages. */

function SwitchToPackage(name) {
    CURRENT_PACKAGE_NAME = name;
    $('.package-item').removeClass('package-active');
    $(PACKAGE_ITEMS[name]).addClass('package-active');
    ShowCategory(name, null);
    InitTabList(CUR_RESOURCE_VIEW_WIDTH - 4);
    var pkg = CurrentPackage();
    PreviewDensity.fill(name);
    InitScreenList(pkg ? pkg.screen_count : 0);
    if (TabList.length) {
        TabList[0].cell.trigger('click');
    }
}

// Shows the package's block and in it only the category (all of them when
// category is null).
function ShowCategory(pkgName, category) {
    $('#resource .package-block').each(function () {
        var block = $(this);
        var shown = block.attr('data-package') === pkgName;
        block.toggle(shown);
        if (shown) {
            block.children('.category-block').each(function () {
                $(this).toggle(category === null || $(this).attr('data-category') === category);
            });
        }
    });
    $('#resource').scrollTop(0);
}

/* Resource list. */

function GenerateResourceList() {
    var view = $('#resource').empty();
    $.each(ALL_RESOURCES || {}, function (pkgName, pkg) {
        var block = $('<div class="package-block"></div>').attr('data-package', pkgName).hide();
        var categories = (ALL_CATEGORY && ALL_CATEGORY[pkgName]) || [];
        $.each(categories, function (_, category) {
            var elements = pkg.category ? pkg.category[category] : null;
            if (!elements || !elements.length) {
                return;
            }
            block.append(BuildCategoryBlock(pkgName, category, elements));
        });
        view.append(block);
    });
    SetStyleButton();
    SetWapperSize();
    $('.package-item').first().trigger('click');
}

function BuildCategoryBlock(pkgName, category, elements) {
    var block = $('<div class="category-block"></div>').attr('data-category', category);
    if (category === WALLPAPER_CATEGORY) {
        return block.append(BuildWallpaperCell(pkgName, elements[0]));
    }
    block.attr('data-alone', elements.length > 1 ? 1 : 0);
    $.each(elements, function (_, element) {
        block.append(BuildElementCells(pkgName, element));
    });
    return block;
}

// The cells of one element: its image, every image of a group, every image
// of a mask but the second, or the colour editor of a text.
function BuildElementCells(pkgName, element) {
    var group = $('<div class="element-group"></div>');
    var images = element.mRes || [];
    switch (element.mTag) {
        case 'icon':
            if (images.length) {
                group.append(BuildImageCell(pkgName, element, 0));
            }
            break;
        case 'icongroup':
        case 'mask':
            $.each(images, function (i) {
                if (element.mTag === 'mask' && i === 1) {
                    return;
                }
                group.append(BuildImageCell(pkgName, element, i));
            });
            break;
        case 'text':
        case 'colorblock':
            group.append(BuildColorCell(pkgName, element));
            break;
    }
    return group;
}

function FormatName(imgType) {
    return imgType === 1 ? '.9.PNG' : imgType === -1 ? 'JPG' : 'PNG';
}

function SizeText(width, height) {
    return '大小: ' + width + ' * ' + height;
}

function Description(element, index) {
    var desc = element.mDesc;
    if ($.isArray(desc)) {
        return desc[index] || '';
    }
    return desc || '';
}

function FileNameOf(path) {
    return String(path || '').replace(/\\/g, '/').split('/').pop();
}

// Scales the image into the cell: the longer side becomes 100 pixels.
function FitImage(img, width, height) {
    if (!(width > 0 && height > 0)) {
        width = height = IMAGE_CELL_EDGE;
    }
    var ratio = width >= height ? IMAGE_CELL_EDGE / width : IMAGE_CELL_EDGE / height;
    var w = Math.max(1, Math.round(width * ratio));
    var h = Math.max(1, Math.round(height * ratio));
    img.css({
        width: w,
        height: h,
        left: Math.round((RESOURCE_SNAPSHOT_SIZE - w) / 2),
        top: Math.round((RESOURCE_SNAPSHOT_SIZE - h) / 2)
    });
}

function HoverCell(cell) {
    cell.on('mouseenter', function () {
        cell.addClass('resource-cell-over');
    }).on('mouseleave', function () {
        cell.removeClass('resource-cell-over');
    });
}

function BuildImageCell(pkgName, element, index) {
    var ref = { pkg: pkgName, element: element, index: index };
    var cell = $('<div class="resource-cell"></div>').attr('title', FileNameOf(element.mRes[index]));
    var img = $('<img class="resource-img" alt="">');
    FitImage(img, element.mWidth, element.mHeight);
    img.on('load', function () {
        // Images of a group may differ in size; the file itself tells.
        FitImage(img, this.naturalWidth, this.naturalHeight);
        cell.find('.size-info').text(SizeText(this.naturalWidth, this.naturalHeight));
    });
    img.Refresh(element.mRes[index]);
    var imageCell = $('<div class="resource-img-cell"></div>').append(img);
    imageCell.on('click', function () {
        OnResourceImageClick(ref);
    });
    cell.append($('<div class="resource-img-block"></div>').append(imageCell));
    cell.append($('<div class="resource-desc"></div>').text(Description(element, index)));
    cell.append('<img class="resource-sep" src="/res/PNG/174" alt="">');
    cell.append($('<div class="resource-info size-info"></div>').text(SizeText(element.mWidth, element.mHeight)));
    cell.append($('<div class="resource-info"></div>').text('格式: ' + FormatName(element.mImgType)));
    var actions = $('<div class="resource-actions"></div>');
    actions.append($('<span class="btn">替换..</span>').on('click', function () {
        ChooseImage(ref, cell);
    }));
    if (element.mScreenID > 1) {
        var box = $('<input type="checkbox" class="pack-check">').attr('title', '生成主题包时包含此图标')
            .attr('data-key', [pkgName, element.mScreenID, element.mElementID, index].join('|'))
            .attr('data-icon', FileNameOf(element.mRes[index]));
        box.on('change', function () {
            external.SaveDeleteImage(pkgName, element.mScreenID, element.mElementID, index, this.checked ? '1' : '0');
        });
        actions.append(box);
    }
    cell.append(actions);
    HoverCell(cell);
    return cell;
}

function BuildWallpaperCell(pkgName, element) {
    var ref = { pkg: pkgName, element: element, index: 0 };
    var cell = $('<div class="wallpaper-cell"></div>');
    var img = $('<img class="wallpapper" alt="">').attr('title', FileNameOf(element.mRes[0]));
    img.Refresh(element.mRes[0]);
    cell.on('click', function (e) {
        if (!$(e.target).closest('.btn').length) {
            ShowDashedRectByElementID(element.mScreenID, element.mElementID);
        }
    });
    var info = $('<div class="wallpaper-info"></div>');
    info.append($('<div class="resource-desc"></div>').text(Description(element, 0)));
    info.append('<img class="resource-sep" src="/res/PNG/174" alt="">');
    info.append($('<div class="resource-info"></div>').text(SizeText(element.mWidth, element.mHeight)));
    info.append($('<div class="resource-info"></div>').text('格式: ' + FormatName(element.mImgType)));
    info.append($('<span class="btn">替换..</span>').on('click', function () {
        ChooseImage(ref, cell);
    }));
    return cell.append(img, info);
}

function BuildColorCell(pkgName, element) {
    var cell = $('<div class="resource-cell color-cell"></div>');
    var save = async function (argb) {
        if (await external.SaveThemeColor(pkgName, element.mScreenID, element.mElementID, argb)) {
            // The list is drawn again from the page's copy of the elements.
            element.color = '#' + argb.toLowerCase();
            RefreshPreview();
            return true;
        }
        ALERT('颜色保存失败，请重试。<br />请确认主题包文件没有被其他程序打开。');
        return false;
    };
    var choose = function () {
        return external.ShowColorDialog();
    };
    var parts = ColorField.build(element.color, save, choose);
    // A text without a description of its own is named by what it says.
    var name = Description(element, 0) || element.mText || '';
    cell.append(parts.field, parts.swatch, $('<div class="resource-desc"></div>').text(name).attr('title', name),
                parts.alpha);
    HoverCell(cell);
    return cell;
}

function OnResourceImageClick(ref) {
    var element = ref.element;
    ShowDashedRectByElementID(element.mScreenID, element.mElementID);
    if (element.mTag === 'icongroup' && element.mRedraw) {
        setTimeout(function () {
            RedrawAndShow(function () {
                return external.Redraw(ref.pkg, element.mScreenID, element.mElementID, ref.index);
            });
        }, 10);
    }
}

async function ChooseImage(ref, cell) {
    var element = ref.element;
    var filter = element.mImgType === 1 ? NINE_PATCH_FILTER : element.mImgType === -1 ? JPG_FILTER : PNG_FILTER;
    var path = await external.ShowChooseFileDialog(filter);
    if (!path) {
        return;
    }
    var info = ParseJson(await external.GetImageInfo(path)) || {};
    if (!(info.width > 0 && info.height > 0)) {
        return ALERT('无法读取图片“' + $('<span>').text(FileNameOf(path)).html() +
                     '”。<br />文件可能已损坏，或不是图片。原来的图片没有改动。');
    }
    if (element.mImgType === 1 && !info.is9png) {
        return ALERT('您选择的图片不是有效的.9.PNG格式。');
    }
    if (element.mImgType === 0 && !/\.png$/i.test(path)) {
        return ALERT('您选择的图片不是PNG格式。');
    }
    if (element.mImgType === -1 && !/\.jpg$/i.test(path)) {
        return ALERT('您选择的图片不是JPG格式。');
    }
    if (element.mElementID === 0 && element.mWidth === WALLPAPER_WIDTH && element.mHeight === WALLPAPER_HEIGHT &&
        (info.width !== WALLPAPER_WIDTH || info.height !== WALLPAPER_HEIGHT)) {
        return ALERT('您选择的图片尺寸(' + info.width + ' * ' + info.height + ')不正确。需要是 (' +
                     WALLPAPER_WIDTH + ' * ' + WALLPAPER_HEIGHT + ')。');
    }
    var saved = await RedrawAndShow(function () {
        return external.SaveThemeImage(ref.pkg, element.mScreenID, element.mElementID, ref.index, path);
    });
    if (!saved) {
        return ALERT('图片替换失败，请重试。<br />请确认主题包图片没有被其他程序打开。');
    }
    if (element.mScreenID > 1) {
        cell.find('.pack-check').prop('checked', true);
        external.SaveDeleteImage(ref.pkg, element.mScreenID, element.mElementID, ref.index, '1');
    }
    cell.find('img.resource-img').Refresh(path);
    cell.closest('.category-block, .filter-block').find('img.resource-img').not(cell.find('img')).Refresh();
    $('#resource img.wallpapper').Refresh();
}

/* Undo and redo. */

var HISTORY_BUSY = false;
// Undo and redo presses wait for each other: each one is taken, in order.
var HISTORY_QUEUE = Promise.resolve();

// Asks the host which steps can be taken and greys the buttons that have
// none; the titles name the step.
async function UpdateHistoryButtons() {
    var state = {};
    try {
        state = ParseJson(await external.GetHistoryState()) || {};
    } catch (e) {
        // The buttons keep their look.
        return;
    }
    var show = function (selector, action, label) {
        $(selector).toggleClass('is-disabled', !label)
            .attr('aria-disabled', label ? 'false' : 'true')
            .attr('title', label ? action + '：' + label : action);
    };
    show('#undo-button', '撤销', state.undo);
    show('#redo-button', '重做', state.redo);
}

function UndoEdit() {
    return TakeHistoryStep(true);
}

function RedoEdit() {
    return TakeHistoryStep(false);
}

// One step back or forth, after the steps asked for before; the host
// reloads the project and sends the new lists, and the page shows them where
// the designer was.
function TakeHistoryStep(undo) {
    HISTORY_QUEUE = HISTORY_QUEUE.then(function () {
        return TakeOneHistoryStep(undo);
    }).catch(function (error) {
        console.error(error);
    });
    return HISTORY_QUEUE;
}

async function TakeOneHistoryStep(undo) {
    // The host answers a step it does not have with nothing done, so a key
    // pressed before the buttons caught up does no harm.
    if (!CurrentPackage()) {
        return;
    }
    HISTORY_BUSY = true;
    $('body').addClass('history-busy');
    try {
        var answer = ParseJson(await (undo ? external.Undo() : external.Redo())) || {};
        if (answer.done) {
            ShowListsAfterHistoryStep(answer.icons || []);
        }
    } finally {
        $('body').removeClass('history-busy');
        HISTORY_BUSY = false;
        await UpdateHistoryButtons();
    }
}

// Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo in the editor page; a text
// field keeps its own undo.
function BindHistoryKeys() {
    $(document).on('keydown.swhistory', function (e) {
        var key = String(e.key).toLowerCase();
        if (!(e.ctrlKey || e.metaKey) || e.altKey || (key !== 'z' && key !== 'y')) {
            return;
        }
        if ($(e.target).is('input, textarea, select, [contenteditable]')) {
            return;
        }
        e.preventDefault();
        TakeHistoryStep(key === 'z' && !e.shiftKey);
    });
}

// The lists built again from the host's new ones, with the same package,
// category and screen shown; the pack check boxes keep their state, except
// for the icons whose exclusion the step changed.
function ShowListsAfterHistoryStep(icons) {
    var pkg = CURRENT_PACKAGE_NAME;
    var screen = CURRENT_SCREEN_ID;
    var category = CURRENT_CATEGORY_NAME;
    var boxes = {};
    $('#resource .pack-check').each(function () {
        boxes[$(this).attr('data-key')] = this.checked;
    });
    GenerateResourceList();
    SwitchToPackage(pkg);
    $.each(TabList, function (i, tab) {
        if (tab.name === category) {
            ActivateTab(i);
            ResizeTabList();
            return false;
        }
    });
    SetActiveScreen(screen);
    $('#resource .pack-check').each(function () {
        var key = $(this).attr('data-key');
        var name = $(this).attr('data-icon');
        if (key in boxes) {
            this.checked = boxes[key];
        }
        for (var i = 0; i < icons.length; ++i) {
            if (icons[i].name === name) {
                this.checked = !icons[i].excluded;
            }
        }
    });
}

/* Preview clicks and dashed rectangles. */

function InitPreviewImageClick() {
    $('#preview').on('click', async function (e) {
        if (!CurrentPackage()) {
            return;
        }
        var offset = $('#preview-img').offset();
        var x = parseInt((e.pageX - offset.left) / PREVIEW_ZOOM_RATIO);
        var y = parseInt((e.pageY - offset.top) / PREVIEW_ZOOM_RATIO);
        var hits = ParseJson(await external.GetElementByXY(CURRENT_PACKAGE_NAME, CURRENT_SCREEN_ID,
                                                           CURRENT_CATEGORY_NAME, x, y));
        if (!hits || !hits.length) {
            ClickCurrentTab();
            return;
        }
        ShowElementCells(hits);
    });
}

// Selects elements of the current screen: their cells alone in the resource
// list and a dashed rectangle around each in the preview.
function ShowElementCells(hits) {
    $('#resource .package-block').hide();
    $('#resource .filter-block').remove();
    var block = $('<div class="filter-block"></div>');
    $.each(hits, function (_, element) {
        block.append(element.mCategory === WALLPAPER_CATEGORY
                         ? BuildWallpaperCell(CURRENT_PACKAGE_NAME, element)
                         : BuildElementCells(CURRENT_PACKAGE_NAME, element));
    });
    $('#resource').append(block).scrollTop(0);
    SetStyleButton();
    SetWapperSize();
    SetCurrentCategoryName(hits[0].mCategory);
    RemoveDashedRects();
    $.each(hits, function (_, element) {
        AddDashedRect(element);
    });
    PreviewSelection.select(hits[0]);
}

async function ShowDashedRectByElementID(screen, element) {
    var rects = ParseJson(await external.GetRectByElementID(CURRENT_PACKAGE_NAME, screen, element)) || [];
    ResizeLayout();
    SetActiveScreen(screen);
    $.each(rects, function (_, rect) {
        AddDashedRect(rect);
    });
}

function AddDashedRect(rect) {
    var div = $('<div class="dashed-rect"></div>').data('rect', {
        left: rect.left, top: rect.top, width: rect.width, height: rect.height
    });
    $('#preview').append(div);
    PlaceDashedRect(div);
}

function PlaceDashedRect(div) {
    var r = div.data('rect');
    div.css({
        left: Math.round(r.left * PREVIEW_ZOOM_RATIO),
        top: Math.round(r.top * PREVIEW_ZOOM_RATIO),
        width: Math.max(4, Math.round(r.width * PREVIEW_ZOOM_RATIO)),
        height: Math.max(4, Math.round(r.height * PREVIEW_ZOOM_RATIO))
    });
}

function RedrawDashedRects() {
    $('#preview .dashed-rect').each(function () {
        PlaceDashedRect($(this));
    });
}

function RemoveDashedRects() {
    $('#preview .dashed-rect').remove();
    PreviewSelection.clear();
}

/* -------------------------------------------------------- the forms */

// What every settings form does first: its size, its buttons, and the open
// project's name and folder.
async function InitSettingsForm(width, height) {
    external.SetWindowSize(width, height);
    SetStyleButton();
    var param = ParseJson(await external.GetParameter()) || {};
    return { name: param.name || '', path: param.path || '' };
}

function ModulePreviewAddress(param, module) {
    return FileAddress(JoinPath(param.path, param.name, module, 'preview/xxhdpi/thumbnail/preview1.jpg')) +
           '&t=' + Math.random().toString().slice(2);
}

function FieldText(id) {
    return $.trim($('#' + id).val() || '');
}

function BindFolderChoice(button, field) {
    $(button).on('click', async function () {
        var folder = await external.SelectFolder();
        if (folder) {
            $(field).val(folder);
        }
    });
}

// Create project (fragment 172).
async function InitCreateThemeDlg() {
    external.SetWindowSize(408, 576);
    SetStyleButton();
    await external.LoadMetaJsonContent();
    $('#theme_path').val(await external.GetDefaultProjectPath());
    $('#prj_name').trigger('focus');
    BindFolderChoice('#select_path', '#theme_path');
    $('#cancel_create').on('click', function () {
        external.CloseWindow();
    });
    $('#pack_back').on('click', function () {
        $('#pack-findings').hide();
        $('#pack-theme-form').show();
    });
    $('#pack_anyway').on('click', function () {
        $('#pack-findings').hide();
        ShowPackProgress('', 0);
        $('#pack-theme-loading').show();
        external.PackThemeAnyway();
    });
    var busy = false;
    $('#create_theme').on('click', async function () {
        if (busy) {
            return;
        }
        var fields = ['prj_name', 'theme_name', 'version_name', 'description', 'originate', 'author',
                      'theme_path', 'resourceid'];
        var values = $.map(fields, FieldText);
        if (!values[0]) {
            ALERT('请填写主题包名称');
            return;
        }
        if (!values[6]) {
            ALERT('请选择保存路径');
            return;
        }
        busy = true;
        try {
            // A refused text is named by the host's warning; the form stays.
            if (await external.SetCreateInfo.apply(external, values)) {
                await external.OnOk();
            }
        } finally {
            busy = false;
        }
    });
}

// Pack (fragment 185): the form is filled from the project's description;
// while the host packs, the form shows the step and the share done.
async function InitPackThemeDlg() {
    var param = await InitSettingsForm(460, 350);
    await external.LoadMetaJson(param.name, param.path);
    $('#theme_path').val(param.path);
    BindFolderChoice('#select_path', '#theme_path');
    $('#cancel_create').on('click', function () {
        external.CloseWindow();
    });
    $('#pack_back').on('click', function () {
        $('#pack-findings').hide();
        $('#pack-theme-form').show();
    });
    $('#pack_anyway').on('click', function () {
        $('#pack-findings').hide();
        ShowPackProgress('', 0);
        $('#pack-theme-loading').show();
        external.PackThemeAnyway();
    });
    var busy = false;
    $('#create_theme').on('click', async function () {
        if (busy) {
            return;
        }
        busy = true;
        try {
            // Descriptions that were not saved would be packed stale.
            if (!await external.SaveMetaJson(param.name, param.path, $('#version').val(),
                                             $('#description').val(), $('#developer').val(),
                                             $('#theme_name').val())) {
                ALERT('主题描述保存失败，请重试。<br />请确认主题包文件没有被其他程序打开。');
                return;
            }
            // Only the first blank goes: "My  Theme" keeps one.
            var name = $.trim($('#theme_name').val() || '').replace(' ', '');
            var path = $('#theme_path').val() || '';
            if (!name) {
                ALERT('请填写主题包名称');
                return;
            }
            if (!path) {
                ALERT('请选择保存路径');
                return;
            }
            var flag = function (id) {
                return $('#' + id).prop('checked') ? 'checked' : '';
            };
            ShowPackProgress('', 0);
            $('#pack-findings').hide();
            await external.SetPackPath(name, path, flag('islauncher'), flag('islock'), flag('iscall'));
            setTimeout(function () {
                external.PackTheme();
            }, 200);
        } finally {
            busy = false;
        }
    });
    MarkFormReady();
}

// Called by the host when the check before packing found errors: the form
// lists them and offers to pack anyway.
function ShowPackFindings(text) {
    $('#pack-theme-form').hide();
    $('#pack-theme-loading').hide();
    ShowFindingList($('#pack-findings-list'), ParseJson(text) || []);
    $('#pack-findings').show();
}

// Called by the host while packing: the step's name and the share done.
function ShowPackProgress(step, percent) {
    var share = Math.max(0, Math.min(100, parseInt(percent, 10) || 0));
    $('#pack-progress-bar').css('width', share + '%');
    $('#pack-step').text(step);
    $('#pack-percent').text(step ? share + '%' : '');
}

// A select given a text that none of its options holds shows no choice, as
// the host's field setters expect, but keeps the text: reading the select
// gives it back, so a form saved without touching it writes back what the
// file held instead of an empty value.
(function () {
    var plain = $.valHooks.select;
    $.valHooks.select = {
        get: function (elem) {
            if (elem.selectedIndex < 0 && elem.hasAttribute('data-unmatched')) {
                return elem.getAttribute('data-unmatched');
            }
            return plain.get(elem);
        },
        set: function (elem, value) {
            var result = plain.set(elem, value);
            if (elem.selectedIndex < 0 && !elem.multiple) {
                elem.setAttribute('data-unmatched', value === null || value === undefined ? '' : String(value));
            } else {
                elem.removeAttribute('data-unmatched');
            }
            return result;
        }
    };
})();

function EscapeHtmlText(text) {
    return String(text).replace(/[&<>"']/g, function (c) {
        return { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' }[c];
    });
}

// A field's value as the host gets it: trimmed, "" for nothing.
function FieldValue(id) {
    var value = $('#' + id).val();
    return $.trim(value === null || value === undefined ? '' : String(value));
}

// The form's values in list order, joined with ",".
function ValueList(ids) {
    return $.map(ids, FieldValue).join(',');
}

// Runs the form's saves one after the other, in the order they were asked.
function SaveQueue() {
    var last = Promise.resolve();
    return function (work) {
        last = last.then(work).catch(function (error) {
            // The popup went away meanwhile; nothing is left to show.
            console.error(error);
        });
        return last;
    };
}

// What a save answered: "" when every file was written, else the warning
// naming what was not. The project's pictures are drawn again either way.
function ShowSaveOutcome(warning) {
    external.RefreshLockscreen().catch(function () {});
    if (warning) {
        $('#seccess').hide();
        ALERT(warning);
        return false;
    }
    $('#seccess').show();
    return true;
}

// Marks the form filled and its buttons bound (the buttons do nothing
// before, so a form is never saved with fields the host has not filled).
function MarkFormReady() {
    document.body.setAttribute('data-form-ready', '');
}

// Shows the module's first preview in img, now and whenever the host has
// drawn the project's pictures again.
function ShowModulePreview(img, param, module) {
    var show = function () {
        $(img).attr('src', ModulePreviewAddress(param, module));
    };
    show();
    $(window).on('skinwright-images-changed', show);
    return show;
}

// Launcher attributes (fragment 190).
async function InitAttributeDlg() {
    var param = await InitSettingsForm(350, 450);
    await external.LoadAttribute(param.name, param.path);
    var queue = SaveQueue();
    $('#save_attribute').on('click', function () {
        if (!FormFieldsPass('attribute')) {
            return;
        }
        var values = $.map(['isShadow', 'isDynamic', 'isAnimation', 'pageWidth', 'pageHeight', 'weekdayFontSize',
                            'dayFontSize', 'weekdayColor', 'dayColor'], FieldValue);
        queue(function () {
            return SaveAndShowStored(function () {
                return external.SaveAttribute.apply(external, [param.name, param.path].concat(values));
            }, function () {
                return external.LoadAttribute(param.name, param.path);
            });
        });
    });
    MarkFormReady();
}

// Lock-screen layout (fragment 191): each template shows its own preview
// cell and the field groups it uses.
var LOCK_TEMPLATE_GROUPS = {
    1: { camera: false, phone: false },
    2: { camera: true, phone: false },
    3: { camera: false, phone: true },
    4: { camera: true, phone: true },
    5: { camera: false, phone: false },
    6: { camera: false, phone: false }
};

var LOCK_LIST = [
    'timex1', 'timey1', 'timex2', 'timey2', 'timex3', 'timey3', 'timex4', 'timey4', 'timex5', 'timey5',
    'timex6', 'timey6', 'datex', 'datey', 'batteryx', 'batteryy', 'handlex', 'handley', 'camerax', 'cameray',
    'phonex', 'phoney', 'messagex', 'messagey', 'timew1', 'timeh1', 'timew2', 'timeh2', 'timew3', 'timeh3',
    'timew4', 'timeh4', 'timew5', 'timeh5', 'timew6', 'timeh6', 'handlew', 'handleh', 'cameraw', 'camerah',
    'phonew', 'phoneh', 'messagew', 'messageh', 'unlockw', 'unlockh', 'animatorx', 'animatory', 'animatorw',
    'animatorh', 'datesize', 'batterysize', 'TextOwnerInfoX', 'TextOwnerInfoY', 'TextOwnerInfoW',
    'TextOwnerInfoSize', 'TextSimAllX', 'TextSimAllY', 'TextSimAllW', 'TextSimAllSize', 'datew', 'batteryw',
    'unlockx', 'unlocky'
];

function ShowLockscreenTemplate(template) {
    var groups = LOCK_TEMPLATE_GROUPS[template] || { camera: false, phone: false };
    for (var i = 1; i <= 6; ++i) {
        $('#lockpreview' + i).toggle(String(i) === String(template));
    }
    $('.camera-fields').toggle(groups.camera);
    $('.phone-fields').toggle(groups.phone);
    $('.unlock-fields').show();
}

// The template select shows no choice when integers.xml holds no number 1 .. 6.
function LockTemplateProblem() {
    var select = $('#Lockscreentemplate');
    if (select[0].selectedIndex >= 0) {
        return '';
    }
    var stored = select.val() || '';
    return (stored ? '锁屏模板编号“' + EscapeHtmlText(stored) + '”无效，应为 1 到 6。' : '找不到使用中的锁屏模板编号。') +
           '<br />请先选择一个锁屏模板。';
}

function SaveLockscreenForm(param) {
    return external.SaveLockscreen(FieldValue('Lockscreentemplate'), param.name, param.path, ValueList(LOCK_LIST),
                                   FieldValue('dateCenter'), FieldValue('batteryCenter'), FieldValue('ownerCenter'),
                                   FieldValue('simCenter'));
}

async function InitLockscreenDlg() {
    var param = await InitSettingsForm(810, 660);
    await external.Loadlockscreen(param.name, param.path);
    var template = $('#Lockscreentemplate');
    var showPreview = ShowModulePreview('#preview-img1, #preview-img2, #preview-img3, #preview-img4, ' +
                                        '#preview-img5, #preview-img6', param, 'lockscreen');
    ShowLockscreenTemplate(template.val());
    var problem = LockTemplateProblem();
    if (problem) {
        ALERT(problem);
    }
    var queue = SaveQueue();
    // Choosing a template shows its values; only the save button writes. A
    // template whose values cannot be read is not chosen.
    var shown = template.val();
    template.on('change', function () {
        var chosen = template.val();
        queue(async function () {
            var warning = await external.Loadlockscreen2(param.name, param.path, chosen);
            if (warning) {
                template.val(shown);
                ALERT(warning);
                return;
            }
            shown = chosen;
            ShowLockscreenTemplate(chosen);
        });
    });
    $('#save_Lockscreentemplate').on('click', function () {
        var problem = LockTemplateProblem();
        if (problem) {
            ALERT(problem);
            return;
        }
        if (!FormFieldsPass('lockscreen')) {
            return;
        }
        queue(async function () {
            await SaveAndShowStored(function () {
                return SaveLockscreenForm(param);
            }, async function () {
                await external.Loadlockscreen(param.name, param.path);
                shown = template.val();
                ShowLockscreenTemplate(shown);
            });
            showPreview();
        });
    });
    MarkFormReady();
}

// Lock-screen animation (fragment 196).
var ANIMATOR_LIST = Array.from({ length: 20 }, function (_, i) {
    return 'Animator' + (i + 1);
}).concat(['AnimatorTimes', 'AnimatorTime', 'AnimatorX', 'AnimatorY', 'AnimatorW', 'AnimatorH']);

async function InitLockscreenAnimatorDlg() {
    var param = await InitSettingsForm(450, 580);
    var load = async function () {
        await external.LoadlockscreenAnimator(param.name, param.path);
        // An animation that is not stored as off is on: the first choice.
        var isAnimator = $('#isAnimator');
        if (isAnimator[0].selectedIndex < 0) {
            isAnimator[0].selectedIndex = 0;
            isAnimator[0].removeAttribute('data-unmatched');
        }
    };
    await load();
    var queue = SaveQueue();
    $('#save_LockscreenAnimator').on('click', function () {
        if (!FormFieldsPass('animator')) {
            return;
        }
        queue(function () {
            return SaveAndShowStored(function () {
                return external.saveAnimator(FieldValue('isAnimator'), param.name, param.path,
                                             ValueList(ANIMATOR_LIST));
            }, load);
        });
    });
    MarkFormReady();
}

// Weather widget (fragment 233): the digits and the icon must stay inside
// the widget; the warning alert says so on every change, and the save
// refuses a value outside.
var WEATHER_LIST = [
    'timex1', 'timey1', 'timex2', 'timey2', 'timex3', 'timey3', 'timex4', 'timey4', 'timex5', 'timey5',
    'timex6', 'timey6', 'datex', 'datey', 'weekx', 'weeky', 'cityx', 'cityy', 'weatherx', 'weathery', 'iconx',
    'icony', 'temperaturex', 'temperaturey', 'timew1', 'timeh1', 'timew2', 'timeh2', 'timew3', 'timeh3',
    'timew4', 'timeh4', 'timew5', 'timeh5', 'timew6', 'timeh6', 'backgroundw', 'backgroundh', 'backgroundy',
    'datesize', 'weeksize', 'citysize', 'weathersize', 'temperaturesize', 'iconw', 'iconh'
];

var WEATHER_ITEMS = [
    { label: '图片', prefix: 'icon', suffix: '' },
    { label: '小时1', prefix: 'time', suffix: '1' },
    { label: '小时2', prefix: 'time', suffix: '2' },
    { label: '冒号', prefix: 'time', suffix: '3' },
    { label: '分钟1', prefix: 'time', suffix: '4' },
    { label: '分钟2', prefix: 'time', suffix: '5' }
];

var WEATHER_RIGHT = 1008;
var WEATHER_TOP = 90;
var WEATHER_BOTTOM = 640;

function WeatherBox(item) {
    var value = function (edge) {
        return parseInt(FieldText(item.prefix + edge + item.suffix));
    };
    return { x: value('x'), y: value('y'), w: value('w'), h: value('h') };
}

// What each edge's change checks: whether the item leaves the widget, and
// the message after the item's label.
var WEATHER_CHECKS = {
    x: { fails: function (b) { return b.x < 0 || b.x + b.w > WEATHER_RIGHT; }, message: 'x>0且x+w<1008' },
    w: { fails: function (b) { return b.x + b.w > WEATHER_RIGHT; }, message: 'x+w<1008' },
    y: { fails: function (b) { return b.y < WEATHER_TOP || b.y + b.h > WEATHER_BOTTOM; }, message: 'y>90且y+h<640' },
    h: { fails: function (b) { return b.y + b.h > WEATHER_BOTTOM; }, message: 'y+h<640' }
};

// The message for an item that fails the check of an edge, '' when it fits.
function WeatherProblem(item, edge) {
    var check = WEATHER_CHECKS[edge];
    return check.fails(WeatherBox(item)) ? item.label + '：' + check.message : '';
}

function BindWeatherChecks(item) {
    $.each(WEATHER_CHECKS, function (edge) {
        $('#' + item.prefix + edge + item.suffix).on('change', function () {
            var problem = WeatherProblem(item, edge);
            if (problem) {
                ALERT(problem);
            }
        });
    });
}

async function InitWeatherDlg() {
    var param = await InitSettingsForm(730, 640);
    await external.LoadWeather(param.name, param.path);
    var showPreview = ShowModulePreview('#preview-img', param, 'launcher');
    // The background is always centred on the screen: its x follows its width.
    var showBackgroundX = function () {
        var width = parseInt(FieldText('backgroundw'));
        $('#backgroundx').val(isNaN(width) ? '' : String(Math.trunc(540 - width * 0.5)));
    };
    $('#backgroundx').prop('readonly', true);
    showBackgroundX();
    $('#backgroundw').on('input change', showBackgroundX);
    $.each(WEATHER_ITEMS, function (_, item) {
        BindWeatherChecks(item);
    });
    var queue = SaveQueue();
    $('#save_weather').on('click', function () {
        if (!FormFieldsPass('weather')) {
            return;
        }
        queue(async function () {
            await SaveAndShowStored(function () {
                return external.SaveWeather(param.name, param.path, ValueList(WEATHER_LIST));
            }, async function () {
                await external.LoadWeather(param.name, param.path);
                showBackgroundX();
            });
            showPreview();
        });
    });
    MarkFormReady();
}

// Advanced mode (fragment 240): the phone's apps by name, and replacing an
// app's icon in the launcher's image folder.
var ICON_NAMES_FILLED = false;
var ICON_NAMES_HINT = '请先安装图标查看器，再导入手机图标';

// The host hands the phone's app list over as JSON ({"icons": [...],
// "titles": [...]}); every app becomes an option, whatever its title holds.
function SetIconNames(json) {
    var lists = ParseJson(json);
    if (!lists || !$.isArray(lists.icons) || !$.isArray(lists.titles) ||
        lists.icons.length !== lists.titles.length) {
        return '';
    }
    var commaList = function (items) {
        return $.map(items, function (item) {
            return item + ',';
        }).join('');
    };
    $('#stricon').val(commaList(lists.icons));
    $('#striconname').val(commaList(lists.titles));
    var names = $('#iconname').empty();
    var icons = $('#iconname2').empty();
    $.each(lists.titles, function (i, title) {
        names.append($('<option></option>').val(i).text(title));
        icons.append($('<option></option>').val(i).text(lists.icons[i]));
    });
    ICON_NAMES_FILLED = lists.titles.length > 0;
    if (!ICON_NAMES_FILLED) {
        names.append($('<option></option>').val('').text(ICON_NAMES_HINT));
    }
    return '';
}

async function InitAdvancedMode() {
    var param = await InitSettingsForm(530, 250);
    // Until the phone's apps are read, the list says how to get them.
    var names = $('#iconname').empty().append($('<option></option>').val('').text(ICON_NAMES_HINT));
    var icons = $('#iconname2').empty();
    names.on('change', function () {
        icons.val(names.val());
    });
    $('#open_folder').on('click', function () {
        external.Explorer('', JoinPath(param.path, param.name, 'launcher/content/res/drawable-xxhdpi'));
    });
    // The phone buttons wait for each other.
    var busy = false;
    var once = function (work) {
        return async function () {
            if (busy) {
                return;
            }
            busy = true;
            $('#seccess').hide();
            try {
                await work();
            } finally {
                busy = false;
            }
        };
    };
    $('#install_iconname').on('click', once(function () {
        return external.installphone();
    }));
    $('#pull_inconname').on('click', once(async function () {
        if (await external.geticonname('')) {
            await external.LoadIconname();
        }
    }));
    $('#up_icon').on('click', once(async function () {
        var icon = $('#iconname2 option:selected').text();
        if (!ICON_NAMES_FILLED || !icon) {
            ALERT('请先导入手机图标，再选择应用名称。');
            return;
        }
        var source = await external.ShowChooseFileDialog(PNG_FILTER);
        if (!source) {
            return;
        }
        var copied = await external.copypng(
            source, JoinPath(param.path, param.name, 'launcher/content/res/drawable-xxhdpi', icon));
        if (copied === false) {
            ALERT('图标替换失败，请重试。');
            return;
        }
        $('#seccess').show();
    }));
    await external.LoadIconname();
}

// Call screen (fragment 248).
var CALL_LIST = [
    'reminderx', 'remindery', 'reminderw', 'reminderh', 'smsx', 'smsy', 'smsw', 'smsh',
    'hangupx', 'hangupy', 'hangupw', 'hanguph', 'answerx', 'answery', 'answerw', 'answerh'
];

async function InitCallscreenDlg() {
    var param = await InitSettingsForm(680, 625);
    await external.Loadcallscreen(param.name, param.path);
    var showPreview = ShowModulePreview('#preview-img1', param, 'screencall');
    var queue = SaveQueue();
    $('#savecallscreen').on('click', function () {
        if (!FormFieldsPass('callscreen')) {
            return;
        }
        queue(async function () {
            await SaveAndShowStored(function () {
                return external.SaveCallscreen(param.name, param.path, ValueList(CALL_LIST));
            }, function () {
                return external.Loadcallscreen(param.name, param.path);
            });
            showPreview();
        });
    });
    MarkFormReady();
}
