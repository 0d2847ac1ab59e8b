// The undo history on disk: steps recorded from the writes of an edit, the
// files a step created, the cap on the number of steps, a history read again
// by a later run, an undo interrupted half-way, and steps refused because
// their files were changed outside the editor or the history was damaged.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include <filesystem>
#include <functional>

#include "core/files.h"
#include "core/temp_folder.h"
#include "core/write_watch.h"
#include "engine/edit_history.h"
#include "engine/icon_exclusion_list.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

std::string Read(const std::string& path) {
    std::string text;
    return ReadFileText(path, text) ? text : "<missing>";
}

class EditHistoryTest : public ::testing::Test {
  protected:
    EditHistoryTest() {
        IconExclusionList::Reset();
        test::WriteText(Path("launcher/template.xml"), "template");
        test::WriteText(Path("launcher/content/res/values/colors.xml"), "colours 1");
    }
    ~EditHistoryTest() override { IconExclusionList::Reset(); }

    std::string project() const { return folder_ / "theme"; }
    std::string Path(const std::string& relative) const { return project() + "/" + relative; }

    // One edit: the writes run while a recorder watches them.
    bool Edit(const std::string& label,
              const std::vector<std::pair<std::string, std::string>>& writes) {
        EditStepRecorder recorder(project(), label);
        {
            ScopedWriteWatch watch(recorder);
            for (const auto& [relative, text] : writes) {
                MakeFolderPath(FolderOf(Path(relative)));
                EXPECT_TRUE(WriteFileAtomic(Path(relative), text));
            }
        }
        return recorder.Commit();
    }

    static std::string FolderOf(const std::string& path) {
        return fs::path(path).parent_path().string();
    }

    TempFolder folder_;
};

TEST_F(EditHistoryTest, UndoAndRedoPutBackTheBytesAndTheFilesAStepMade) {
    ASSERT_TRUE(Edit("颜色", {{"launcher/content/res/values/colors.xml", "colours 2"},
                              {"launcher/content/res/drawable-xxhdpi/new.png", "new icon"}}));
    // Preview pictures are drawn from the files; they are no part of a step.
    ASSERT_FALSE(Edit("预览", {{"launcher/preview/xxhdpi/preview1.jpg", "drawn"}}));
    EXPECT_EQ(ReadHistoryState(project()).undo_label, "颜色");

    ASSERT_TRUE(UndoStep(project()).done());
    EXPECT_EQ(Read(Path("launcher/content/res/values/colors.xml")), "colours 1");
    EXPECT_FALSE(PathExists(Path("launcher/content/res/drawable-xxhdpi/new.png")));
    EXPECT_EQ(ReadHistoryState(project()).undo_label, "");
    EXPECT_EQ(ReadHistoryState(project()).redo_label, "颜色");

    ASSERT_TRUE(RedoStep(project()).done());
    EXPECT_EQ(Read(Path("launcher/content/res/values/colors.xml")), "colours 2");
    EXPECT_EQ(Read(Path("launcher/content/res/drawable-xxhdpi/new.png")), "new icon");
    EXPECT_EQ(RedoStep(project()).result, HistoryOutcome::Result::kNothing);
}

TEST_F(EditHistoryTest, AnEditThatChangesNothingIsNoStep) {
    EXPECT_FALSE(Edit("同样", {{"launcher/template.xml", "template"}}));
    EXPECT_FALSE(Edit("外面", {{"../elsewhere.txt", "not the project's"}}));
    EXPECT_EQ(ReadHistoryState(project()).undo_label, "");
    EXPECT_EQ(UndoStep(project()).result, HistoryOutcome::Result::kNothing);
    // Nothing is left in the history folder but its index (if any).
    std::vector<std::string> names;
    if (ListFolder(HistoryFolderOf(project()), names)) {
        EXPECT_TRUE(names.empty() || names == std::vector<std::string>{"steps.json"});
    }
}

TEST_F(EditHistoryTest, ANewEditAfterUndoDropsTheRedoSteps) {
    ASSERT_TRUE(Edit("一", {{"launcher/template.xml", "one"}}));
    ASSERT_TRUE(Edit("二", {{"launcher/template.xml", "two"}}));
    ASSERT_TRUE(UndoStep(project()).done());
    ASSERT_TRUE(Edit("三", {{"launcher/template.xml", "three"}}));
    EXPECT_EQ(ReadHistoryState(project()).redo_label, "");
    ASSERT_TRUE(UndoStep(project()).done());
    EXPECT_EQ(Read(Path("launcher/template.xml")), "one");
    ASSERT_TRUE(UndoStep(project()).done());
    EXPECT_EQ(Read(Path("launcher/template.xml")), "template");
}

TEST_F(EditHistoryTest, TheLastFiftyStepsAreKept) {
    for (int i = 1; i <= 55; ++i) {
        ASSERT_TRUE(Edit("step " + std::to_string(i),
                         {{"launcher/template.xml", "version " + std::to_string(i)}}));
    }
    int undone = 0;
    while (UndoStep(project()).done()) {
        ++undone;
    }
    EXPECT_EQ(undone, static_cast<int>(kHistorySteps));
    // The oldest steps are gone: fifty back from version 55 is version 5.
    EXPECT_EQ(Read(Path("launcher/template.xml")), "version 5");
    // Their kept files went with them.
    std::vector<std::string> names;
    ASSERT_TRUE(ListFolder(HistoryFolderOf(project()), names));
    EXPECT_EQ(names.size(), kHistorySteps + 1);  // the steps and the index
}

// The history is only files beside the project: whatever reads it later (a
// reopened project, the next run of the program) continues it.
TEST_F(EditHistoryTest, AMovedProjectKeepsItsHistory) {
    ASSERT_TRUE(Edit("一", {{"launcher/template.xml", "one"}}));
    fs::create_directories(folder_ / "moved");
    fs::rename(project(), folder_ / "moved/theme");
    fs::rename(HistoryFolderOf(project()), folder_ / "moved/theme.history");
    const std::string moved = folder_ / "moved/theme";
    EXPECT_EQ(ReadHistoryState(moved).undo_label, "一");
    ASSERT_TRUE(UndoStep(moved).done());
    EXPECT_EQ(Read(moved + "/launcher/template.xml"), "template");
}

TEST_F(EditHistoryTest, ChangedOrDamagedFilesStopTheStepBeforeAnythingIsWritten) {
    struct Case {
        const char* what;
        std::function<void(const std::string& project)> damage;  // of the project folder
        HistoryOutcome::Result result;
    };
    const Case cases[] = {
        {"a file changed by another program",
         [](const std::string& project) {
             test::WriteText(project + "/launcher/content/res/values/colors.xml", "theirs");
         },
         HistoryOutcome::Result::kRefused},
        {"a created file changed by another program",
         [](const std::string& project) {
             test::WriteText(project + "/launcher/content/res/drawable-xxhdpi/new.png", "theirs");
         },
         HistoryOutcome::Result::kRefused},
        {"the history's copy altered",
         [](const std::string& project) {
             for (const auto& entry : fs::recursive_directory_iterator(HistoryFolderOf(project))) {
                 if (entry.path().extension() == ".before") {
                     fs::remove(entry.path());
                     test::WriteText(entry.path().string(), "tampered");
                 }
             }
         },
         HistoryOutcome::Result::kDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(HistoryFolderOf(project()));
        test::WriteText(Path("launcher/content/res/values/colors.xml"), "colours 1");
        fs::remove(Path("launcher/content/res/drawable-xxhdpi/new.png"));
        ASSERT_TRUE(Edit("颜色", {{"launcher/content/res/values/colors.xml", "colours 2"},
                                  {"launcher/content/res/drawable-xxhdpi/new.png", "new icon"}}));
        c.damage(project());
        const std::string colours = Read(Path("launcher/content/res/values/colors.xml"));
        const std::string icon = Read(Path("launcher/content/res/drawable-xxhdpi/new.png"));
        const HistoryOutcome outcome = UndoStep(project());
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.label, "颜色");
        EXPECT_FALSE(outcome.files.empty());
        EXPECT_EQ(Read(Path("launcher/content/res/values/colors.xml")), colours);
        EXPECT_EQ(Read(Path("launcher/content/res/drawable-xxhdpi/new.png")), icon);
        EXPECT_EQ(ReadHistoryState(project()).undo_label, "颜色");
    }
}

// A step that stopped after some files were put back (the program ended, a
// disk was full) is finished by the next try instead of being refused.
TEST_F(EditHistoryTest, AnInterruptedStepIsFinishedByTheNextTry) {
    ASSERT_TRUE(Edit("两个", {{"launcher/template.xml", "two"},
                              {"launcher/content/res/values/colors.xml", "colours 2"}}));
    ASSERT_TRUE(UndoStep(project()).done());
    // A redo that wrote one file of two before it stopped.
    ASSERT_TRUE(WriteFileAtomic(Path("launcher/content/res/values/colors.xml"), "colours 2"));
    ASSERT_TRUE(RedoStep(project()).done());
    EXPECT_EQ(Read(Path("launcher/template.xml")), "two");
    EXPECT_EQ(Read(Path("launcher/content/res/values/colors.xml")), "colours 2");
    ASSERT_TRUE(UndoStep(project()).done());
    EXPECT_EQ(Read(Path("launcher/template.xml")), "template");
    EXPECT_EQ(Read(Path("launcher/content/res/values/colors.xml")), "colours 1");
}

TEST_F(EditHistoryTest, IconExclusionsAreStepsToo) {
    const std::string icon = "com_example__ic_launcher.png";
    {
        EditStepRecorder recorder(project(), "图标");
        IconExclusionList::Add(icon);
        ASSERT_TRUE(recorder.Commit());
    }
    HistoryOutcome undone = UndoStep(project());
    ASSERT_TRUE(undone.done());
    EXPECT_EQ(IconExclusionList::Text().find(icon), std::string::npos);
    ASSERT_EQ(undone.icons.size(), 1u);
    EXPECT_EQ(undone.icons[0].name, icon);
    // The list lasts only while the program runs; a redo after a new start
    // (the list back to its first state) still leaves the icon out.
    IconExclusionList::Reset();
    ASSERT_TRUE(RedoStep(project()).done());
    EXPECT_NE(IconExclusionList::Text().find("," + icon), std::string::npos);
}

// An index that cannot be read, whatever the reason, is set aside once, with
// its new name told once; the history starts afresh and edits, undo, redo and
// the state go on as before.
TEST_F(EditHistoryTest, AnUnreadableIndexIsSetAsideAndANewHistoryStarts) {
    struct Case {
        const char* name;
        std::function<void(const std::string& index)> spoil;
    } cases[] = {
        {"NotJson", [](const std::string& index) { test::WriteText(index, "{ not json"); }},
        {"NestedDeep",
         [](const std::string& index) { test::WriteText(index, std::string(5000, '[')); }},
        {"DamagedStep",
         [](const std::string& index) {
             test::WriteText(index, R"({"position":1,"steps":[{"folder":"../x"}]})");
         }},
        {"Fifo",
         [](const std::string& index) {
             fs::remove(index);
             ASSERT_EQ(::mkfifo(index.c_str(), 0644), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(HistoryFolderOf(project()));
        TakeSetAsideHistories();
        const std::string index = HistoryFolderOf(project()) + "/steps.json";
        ASSERT_TRUE(Edit("一", {{"launcher/template.xml", std::string("one ") + c.name}}));
        c.spoil(index);
        EXPECT_EQ(ReadHistoryState(project()).undo_label, "");
        EXPECT_EQ(TakeSetAsideHistories(), std::vector<std::string>{index + ".unreadable-1"});
        EXPECT_TRUE(TakeSetAsideHistories().empty());
        EXPECT_EQ(UndoStep(project()).result, HistoryOutcome::Result::kNothing);
        ASSERT_TRUE(Edit("二", {{"launcher/template.xml", std::string("two ") + c.name}}));
        ASSERT_TRUE(UndoStep(project()).done());
        EXPECT_EQ(Read(Path("launcher/template.xml")), std::string("one ") + c.name);
        EXPECT_TRUE(TakeSetAsideHistories().empty());
        // The old steps were cleared away; the index set aside stays for a look.
        std::vector<std::string> names;
        ASSERT_TRUE(ListFolder(HistoryFolderOf(project()), names));
        std::sort(names.begin(), names.end());
        ASSERT_EQ(names.size(), 3u);
        EXPECT_EQ(names[1], "steps.json");
        EXPECT_EQ(names[2], "steps.json.unreadable-1");
    }
}

}  // namespace
}  // namespace sw
