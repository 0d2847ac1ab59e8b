// The editor's undo history lives beside the project: a pack made after
// edits holds the edited files and nothing of the history.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/files.h"
#include "core/write_watch.h"
#include "engine/edit_history.h"
#include "engine/engine_fixture.h"
#include "pack/pack_fixture.h"
#include "pack/pack_project.h"

namespace sw::pack::test {
namespace {

TEST(PackHistoryTest, TheEditHistoryIsNeverPacked) {
    PackFixture fixture;
    ASSERT_TRUE(fixture.ok());
    sw::test::LogCapture log(fixture.folder() / "log");
    const PackResult plain = PackProject(fixture.Request());
    ASSERT_EQ(plain.code, 0) << plain.reason;
    const std::vector<std::string> plainFiles = [&] {
        EXPECT_TRUE(UnpackTheme(plain.archive, fixture.folder() / "plain"));
        return FilesBelow(fixture.folder() / "plain");
    }();

    // One edit of a description file, kept in the history, undone and done
    // again, so that the history holds both copies of the file.
    const std::string meta = fixture.Module("launcher") + "/meta.json";
    std::string text;
    ASSERT_TRUE(ReadFileText(meta, text));
    const std::string project = fixture.Module("launcher") + "/..";
    {
        EditStepRecorder recorder(project, "主题描述");
        ScopedWriteWatch watch(recorder);
        ASSERT_TRUE(WriteFileAtomic(meta, text + " "));
        ASSERT_TRUE(recorder.Commit());
    }
    ASSERT_TRUE(UndoStep(project).done());
    ASSERT_TRUE(RedoStep(project).done());
    ASSERT_TRUE(IsFile(HistoryFolderOf(project) + "/steps.json"));

    const PackResult edited = PackProject(fixture.Request());
    ASSERT_EQ(edited.code, 0) << edited.reason;
    ASSERT_TRUE(UnpackTheme(edited.archive, fixture.folder() / "edited"));
    const std::vector<std::string> files = FilesBelow(fixture.folder() / "edited");
    EXPECT_EQ(files, plainFiles);
    for (const std::string& entry : ArchiveEntries(edited.archive)) {
        EXPECT_EQ(entry.find("history"), std::string::npos) << entry;
        EXPECT_EQ(entry.find("step-"), std::string::npos) << entry;
    }
}

}  // namespace
}  // namespace sw::pack::test
