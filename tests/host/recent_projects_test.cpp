// The start page's list of recent projects: the newest ten, each once, kept
// in the home folder; whatever another program left in the list file reads
// as an empty list (or its good entries) and is replaced by the next open.
#include "host/recent_projects.h"

#include <gtest/gtest.h>
#include <json/value.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "core/paths.h"
#include "harness.h"
#include "host/json_text.h"

namespace sw::host::test {
namespace {

namespace fs = std::filesystem;

class RecentProjectsTest : public ::testing::Test {
  protected:
    RecentProjectsTest() { SetHomeFolder(scratch_ / "home"); }
    ~RecentProjectsTest() override { SetHomeFolder(""); }

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const RecentProject& project : ReadRecentProjects()) {
            paths.push_back(project.path);
        }
        return paths;
    }

    std::string Project(int n) const { return scratch_ / ("p" + std::to_string(n) + "/t.wtpj"); }

    Scratch scratch_;
};

TEST_F(RecentProjectsTest, KeepsTheNewestTenOnceEachAndNamesWhatIsGone) {
    for (int n = 1; n <= 12; ++n) {
        ASSERT_TRUE(RememberRecentProject(Project(n)));
    }
    ASSERT_TRUE(RememberRecentProject(Project(5)));
    std::vector<std::string> expected{Project(5)};
    for (int n = 12; n >= 3; --n) {
        if (n != 5) {
            expected.push_back(Project(n));
        }
    }
    EXPECT_EQ(Paths(), expected);

    ASSERT_TRUE(ForgetRecentProject(Project(12)));
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(Paths(), expected);

    WriteFile(Project(5), "{}");
    Json::Value list;
    ASSERT_TRUE(ParseJson(RecentProjectsJson(), list));
    ASSERT_EQ(list.size(), 9u);
    EXPECT_EQ(list[0]["name"].asString(), "t");
    EXPECT_EQ(list[0]["folder"].asString(), scratch_ / "p5");
    EXPECT_FALSE(list[0]["missing"].asBool());
    EXPECT_TRUE(list[1]["missing"].asBool());
    // A relative path is not remembered.
    EXPECT_FALSE(RememberRecentProject("p1/t.wtpj"));
}

TEST_F(RecentProjectsTest, ADamagedOrHostileListFileReadsAsItsGoodEntries) {
    const std::string file = RecentProjectsFile();
    const std::string good = scratch_ / "good/t.wtpj";
    const struct {
        const char* what;
        std::function<void()> make;
        std::vector<std::string> read;
        bool replaced;  // the next open writes a good list in its place
    } cases[] = {
        {"not JSON", [&] { WriteFile(file, "recent: p1"); }, {}, true},
        {"larger than a list can be",
         [&] {
             WriteFile(file, "{\"projects\":[{\"path\":\"" + good + "\",\"opened\":1}]," +
                                 "\"pad\":\"" + std::string(kRecentProjectsFileBytes, 'x') + "\"}");
         },
         {},
         true},
        {"nested 100000 deep", [&] { WriteFile(file, std::string(100000, '[')); }, {}, true},
        {"entries of every wrong kind",
         [&] {
             WriteFile(file,
                       "{\"projects\":[1,\"x\",{\"path\":\"rel/t.wtpj\",\"opened\":2},"
                       "{\"path\":\"" +
                           good + "\",\"opened\":\"3\"},{\"path\":\"" + good +
                           "\",\"opened\":4}]}");
         },
         {good},
         true},
        {"a FIFO",
         [&] {
             fs::create_directories(FolderOf(file));
             ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
         },
         {},
         true},
        {"a folder", [&] { fs::create_directories(file + "/inside"); }, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(FolderOf(file));
        c.make();
        EXPECT_EQ(Paths(), c.read);
        EXPECT_EQ(RememberRecentProject(Project(1)), c.replaced);
        if (c.replaced) {
            std::vector<std::string> expected{Project(1)};
            expected.insert(expected.end(), c.read.begin(), c.read.end());
            EXPECT_EQ(Paths(), expected);
        }
    }
}

}  // namespace
}  // namespace sw::host::test
