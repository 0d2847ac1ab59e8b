// Every command the pages may call, window by window: its name, the kinds of
// its arguments ("T" a text, "N" a number) and the kind of its result. The
// standard tables must hold exactly these rows, so a command that a form calls
// and nobody added, or a row added without being listed here, fails the test.
// When a command is added, add its row here.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "host/command_table.h"

namespace sw::host::test {
namespace {

struct ListedCommand {
    WindowClass window;
    const char* name;
    const char* args;  // one letter an argument: T text, N number
    ResultKind result;
};

constexpr ResultKind kNone = ResultKind::kNone;
constexpr ResultKind kBool = ResultKind::kBoolean;
constexpr ResultKind kText = ResultKind::kText;
constexpr WindowClass kStart = WindowClass::kStart;
constexpr WindowClass kMain = WindowClass::kMain;
constexpr WindowClass kPopup = WindowClass::kPopup;
constexpr WindowClass kDialog = WindowClass::kDialog;

const ListedCommand kCommands[] = {
    // The start window (page 106).
    {kStart, "OnDocumentReady", "", kNone},
    {kStart, "InternetDownload", "T", kBool},
    {kStart, "ALERT", "T", kNone},
    {kStart, "GetProgramVersion", "", kText},
    {kStart, "OpenThemeProject", "", kNone},
    {kStart, "CreateThemeProject", "", kNone},
    {kStart, "CloseWindow", "", kNone},
    {kStart, "NavigateUrl", "T", kNone},
    {kStart, "PushToPhone", "", kNone},
    {kStart, "GetRecentProjects", "", kText},
    {kStart, "OpenRecentProject", "T", kNone},
    {kStart, "RemoveRecentProject", "T", kText},

    // The main editor window (page 104).
    {kMain, "OnDocumentReady", "", kNone},
    {kMain, "OpenThemeProject", "", kNone},
    {kMain, "CreateThemeProject", "", kNone},
    {kMain, "RefreshWeather", "", kNone},
    {kMain, "GetProjectName", "", kText},
    {kMain, "RunningWork", "", kText},
    {kMain, "DrawThumbNail", "TNN", kBool},
    {kMain, "Redraw", "TNNN", kBool},
    {kMain, "RedrawAll", "", kBool},
    {kMain, "RedrawAll1", "", kBool},
    {kMain, "GetElementByXY", "TNTNN", kText},
    {kMain, "GetRectByElementID", "TNN", kText},
    {kMain, "GetImageInfo", "T", kText},
    {kMain, "SaveThemeImage", "TNNNT", kBool},
    {kMain, "SaveDeleteImage", "TNNNT", kBool},
    {kMain, "SaveThemeColor", "TNNT", kBool},
    {kMain, "Undo", "", kText},
    {kMain, "Redo", "", kText},
    {kMain, "GetHistoryState", "", kText},
    {kMain, "RefreshProject", "", kText},
    {kMain, "OpenAttribute", "", kNone},
    {kMain, "OpenLockscreen", "", kNone},
    {kMain, "OpenCallscreen", "", kNone},
    {kMain, "OpenWeather", "", kNone},
    {kMain, "OpenAdvancedMode", "", kNone},
    {kMain, "AnimatorLockscreen", "", kNone},
    {kMain, "PackTheme", "", kNone},
    {kMain, "CloseWindow", "", kNone},
    {kMain, "Logd", "T", kNone},
    {kMain, "Logi", "T", kNone},
    {kMain, "Logw", "T", kNone},
    {kMain, "Loge", "T", kNone},
    {kMain, "ShowChooseFileDialog", "T", kText},
    {kMain, "ShowColorDialog", "", kText},
    {kMain, "ALERT", "T", kNone},
    {kMain, "MaximizeWindow", "", kNone},
    {kMain, "Explorer", "TT", kNone},
    {kMain, "NavigateUrl", "T", kNone},
    {kMain, "installphone", "", kNone},
    {kMain, "geticonname", "T", kNone},
    {kMain, "CheckTheme", "", kText},
    {kMain, "GetElementByID", "TNN", kText},
    {kMain, "GetScreenElements", "TN", kText},
    {kMain, "GetPreviewDensities", "T", kText},
    {kMain, "DrawPreviewDensity", "TNT", kText},
    {kMain, "GetFormValues", "T", kText},
    {kMain, "SaveLockscreen", "TTTTTTTT", kText},
    {kMain, "SaveCallscreen", "TTT", kText},
    {kMain, "SaveWeather", "TTT", kText},
    {kMain, "saveAnimator", "TTTT", kText},

    // A popup showing a settings form or an alert (page 108).
    {kPopup, "RefreshLockscreen", "", kNone},
    {kPopup, "LoadMetaJsonContent", "", kNone},
    {kPopup, "LoadMetaJson", "TT", kNone},
    {kPopup, "SaveMetaJson", "TTTTTT", kBool},
    {kPopup, "OnDocumentReady", "", kNone},
    {kPopup, "CloseWindow", "", kNone},
    {kPopup, "SetWindowSize", "NN", kNone},
    {kPopup, "SelectFolder", "", kText},
    {kPopup, "OnOk", "", kNone},
    {kPopup, "SetCreateInfo", "TTTTTTTT", kBool},
    {kPopup, "ALERT", "T", kNone},
    {kPopup, "GetParameter", "", kText},
    {kPopup, "Explorer", "TT", kNone},
    {kPopup, "ShowChooseFileDialog", "T", kText},
    {kPopup, "openlog", "TT", kNone},
    {kPopup, "GetDefaultProjectPath", "", kText},
    {kPopup, "copypng", "TT", kBool},
    {kPopup, "SetPackPath", "TTTTT", kNone},
    {kPopup, "PackTheme", "", kNone},
    {kPopup, "PackThemeAnyway", "", kNone},
    {kPopup, "sendphone", "TT", kNone},
    {kPopup, "ChoosePhone", "N", kNone},
    {kPopup, "installphone", "", kNone},
    {kPopup, "geticonname", "T", kBool},
    {kPopup, "LoadIconname", "", kNone},
    {kPopup, "LoadAttribute", "TT", kNone},
    {kPopup, "SaveAttribute", "TTTTTTTTTTT", kText},
    {kPopup, "Loadlockscreen", "TT", kNone},
    {kPopup, "Loadlockscreen2", "TTT", kText},
    {kPopup, "SaveLockscreen", "TTTTTTTT", kText},
    {kPopup, "Loadcallscreen", "TT", kNone},
    {kPopup, "SaveCallscreen", "TTT", kText},
    {kPopup, "LoadWeather", "TT", kNone},
    {kPopup, "SaveWeather", "TTT", kText},
    {kPopup, "LoadlockscreenAnimator", "TT", kNone},
    {kPopup, "saveAnimator", "TTTT", kText},

    // The host's file, folder and colour dialogs.
    {kDialog, "GetParameter", "", kText},
    {kDialog, "ListFolder", "TT", kText},
    {kDialog, "EndDialog", "T", kBool},
    {kDialog, "CloseWindow", "", kNone},
};

const char* ResultName(ResultKind kind) {
    switch (kind) {
        case ResultKind::kNone:
            return "kNone";
        case ResultKind::kBoolean:
            return "kBool";
        case ResultKind::kText:
            return "kText";
    }
    return "?";
}

std::string ArgLetters(const std::vector<ArgKind>& args) {
    std::string letters;
    for (ArgKind kind : args)
        letters += kind == ArgKind::kText ? 'T' : 'N';
    return letters;
}

// One row as this file spells it, so that a failure shows the line to add.
std::string RowText(WindowClass window, const std::string& name, const std::string& args,
                    ResultKind result) {
    std::string cls = WindowClassName(window);
    cls[0] = static_cast<char>(cls[0] - 'a' + 'A');
    return "{k" + cls + ", \"" + name + "\", \"" + args + "\", " + ResultName(result) + "},";
}

TEST(CommandListTest, TheTablesHoldExactlyTheListedCommands) {
    CommandTables tables;
    ASSERT_TRUE(BuildStandardCommandTables(tables));

    std::set<std::tuple<int, std::string>> listed;
    for (const ListedCommand& command : kCommands) {
        EXPECT_TRUE(
            listed.insert({static_cast<int>(command.window), LowerName(command.name)}).second)
            << "listed twice: " << command.name;
        const CommandRow* row = tables.Find(command.window, command.name);
        if (row == nullptr) {
            ADD_FAILURE() << "missing from the " << WindowClassName(command.window)
                          << " table: " << command.name;
            continue;
        }
        EXPECT_EQ(row->name, command.name) << "the table spells it differently";
        EXPECT_EQ(ArgLetters(row->args), command.args) << command.name;
        EXPECT_EQ(row->result, command.result) << command.name;
    }

    for (WindowClass window : {kStart, kMain, kPopup, kDialog}) {
        for (const CommandRow& row : tables.Rows(window)) {
            EXPECT_TRUE(listed.count({static_cast<int>(window), LowerName(row.name)}))
                << "not listed here; add\n    "
                << RowText(window, row.name, ArgLetters(row.args), row.result);
        }
    }
}

}  // namespace
}  // namespace sw::host::test
