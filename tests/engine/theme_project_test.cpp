#include "engine/theme_project.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <latch>
#include <mutex>
#include <thread>

#include "engine/engine_fixture.h"
#include "engine/screen_drawing.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::ModuleFolder;
using test::WriteText;

// A project folder P with P/theme.wtpj and the modules under P/theme.
class ProjectTest : public ::testing::Test {
  protected:
    ProjectTest() : log_(folder_.path()) {}

    std::string ProjectFile(const std::string& fileName = "theme.wtpj") const {
        return folder_ / ("P/" + fileName);
    }

    void WriteProjectFile(const std::string& json, const std::string& fileName = "theme.wtpj") {
        WriteText(ProjectFile(fileName), json);
    }

    // A module folder below the project's module folder tree.
    ModuleFolder AddModule(const std::string& folder, const std::string& pageName,
                           const std::string& tree = "theme") {
        ModuleFolder module(folder_ / ("P/" + tree + "/" + folder));
        module.WriteDefault();
        const std::string text = test::ReadText(module / "template.xml");
        const std::string from = "name=\"桌面\"";
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), "name=\"" + pageName + "\"");
        WriteText(module / "template.xml", changed);
        return module;
    }

    void AddStandardModules() {
        AddModule("launcher", "桌面");
        AddModule("lockscreen", "锁屏");
        AddModule("screencall", "通话");
    }

    static std::vector<std::string> ModuleNames(const ThemeProject& project) {
        std::vector<std::string> names;
        for (const auto& module : project.modules()) {
            names.push_back(module->name);
        }
        return names;
    }

    test::TempFolder folder_;
    test::LogCapture log_;
};

constexpr const char* kGoodProject =
    "{\n   \"density\" : 320,\n   \"dpi\" : \"xxhdpi\",\n   \"name\" : \"theme\"\n}\n";

TEST_F(ProjectTest, OpensEveryModuleAndDrawsEveryScreen) {
    AddStandardModules();
    WriteText(folder_ / "P/theme/notes.txt", "plain files are ignored");
    WriteProjectFile(kGoodProject);
    ThemeProject project;
    ASSERT_TRUE(project.Open(ProjectFile()));
    EXPECT_TRUE(project.loaded());
    EXPECT_EQ(project.project_path(), ProjectFile());
    EXPECT_EQ(project.project_dir(), folder_ / "P/theme");
    EXPECT_EQ(project.document()["name"].asString(), "theme");
    EXPECT_EQ(ModuleNames(project),
              (std::vector<std::string>{"launcher", "lockscreen", "screencall"}));
    for (const auto& module : project.modules()) {
        EXPECT_EQ(module->context.screen_width, 1080);
        EXPECT_EQ(module->context.density, 320);
        // The decoded pictures of the load served the first drawing only:
        // later drawings read the files again, which edits change.
        EXPECT_TRUE(module->context.load_pictures.empty());
        for (int n : {1, 2}) {
            EXPECT_TRUE(fs::is_regular_file(module->path + "/preview/xxhdpi/preview" +
                                            std::to_string(n) + "_suit.jpg"));
        }
    }
    EXPECT_TRUE(log_.HasSequence({"INFO \topening project " + ProjectFile(),
                                  "INFO \tresolution: 1080 x 1920",
                                  "INFO \tloading module: " + (folder_ / "P/theme/launcher")}));

    ASSERT_NE(project.FindModule("锁屏"), nullptr);
    EXPECT_EQ(project.FindModule("锁屏")->name, "lockscreen");
    EXPECT_EQ(project.FindModule("通话")->name, "screencall");
    EXPECT_EQ(project.FindModule("lockscreen"), nullptr);
    EXPECT_EQ(project.FindModule(""), nullptr);
}

struct OpenFailure {
    const char* name;
    const char* json;  // nullptr: no project file
    std::vector<std::string> log;
};

void PrintTo(const OpenFailure& c, std::ostream* os) {
    *os << c.name;
}

class OpenFailureTest : public ProjectTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, FailsWithItsLogLine) {
    AddStandardModules();
    const OpenFailure& c = GetParam();
    if (c.json != nullptr) {
        WriteProjectFile(c.json);
    }
    ThemeProject project;
    EXPECT_FALSE(project.Open(ProjectFile()));
    EXPECT_FALSE(project.loaded());
    EXPECT_TRUE(project.modules().empty());
    std::vector<std::string> expected;
    for (const std::string& line : c.log) {
        std::string text = line;
        const std::size_t at = text.find("%P");
        if (at != std::string::npos) {
            text.replace(at, 2, ProjectFile());
        }
        expected.push_back(text);
    }
    EXPECT_TRUE(log_.HasSequence(expected)) << ::testing::PrintToString(log_.Lines());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenFailureTest,
    ::testing::Values(
        OpenFailure{"NoFile", nullptr, {"ERROR\tfail to open %P"}},
        OpenFailure{"NotJson", "{\"name\": ", {"ERROR\tfail to parse %P"}},
        OpenFailure{
            "ArrayTopLevel", "[\"theme\", \"xxhdpi\", 320]", {"ERROR\tinvalid configuration."}},
        OpenFailure{"NumberTopLevel", "42", {"ERROR\tinvalid configuration."}},
        OpenFailure{"NoDensity",
                    "{\"name\": \"theme\", \"dpi\": \"xxhdpi\"}",
                    {"ERROR\tinvalid configuration."}},
        OpenFailure{"NullDpi",
                    "{\"name\": \"theme\", \"dpi\": null, \"density\": 320}",
                    {"ERROR\tinvalid configuration."}},
        OpenFailure{
            "NoName", "{\"dpi\": \"xxhdpi\", \"density\": 320}", {"ERROR\tinvalid configuration."}},
        OpenFailure{"NameLeavesTheFolder",
                    "{\"name\": \"../P/theme\", \"dpi\": \"xxhdpi\", \"density\": 320}",
                    {"ERROR\tinvalid configuration."}},
        OpenFailure{"NameIsNoText",
                    "{\"name\": {}, \"dpi\": \"xxhdpi\", \"density\": 320}",
                    {"ERROR\tinvalid configuration."}},
        OpenFailure{"DensityIsAList",
                    "{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": []}",
                    {"ERROR\tinvalid configuration."}},
        OpenFailure{
            "DpiInCapitals",
            "{\"name\": \"theme\", \"dpi\": \"XXHDPI\", \"density\": 320}",
            {"ERROR\tunknown resolution XXHDPI", "ERROR\tnot supported resolution XXHDPI."}},
        OpenFailure{"DpiIsANumber",
                    "{\"name\": \"theme\", \"dpi\": 480, \"density\": 320}",
                    {"ERROR\tunknown resolution 480", "ERROR\tnot supported resolution 480."}},
        OpenFailure{"NoModuleFolder",
                    "{\"name\": \"other\", \"dpi\": \"xxhdpi\", \"density\": 320}",
                    {"ERROR\tfail to search directory."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProjectTest, CommentsAreAllowedInTheProjectFile) {
    AddModule("launcher", "桌面");
    WriteProjectFile(
        "// made by hand\n{ /* size */ \"dpi\": \"hdpi\", \"density\": 320, "
        "\"name\": \"theme\", \"extra\": [1, 2] }");
    ThemeProject project;
    ASSERT_TRUE(project.Open(ProjectFile()));
    EXPECT_EQ(project.modules()[0]->context.screen_width, 540);
    EXPECT_EQ(project.document()["extra"].size(), 2u);
}

TEST_F(ProjectTest, DensityAsTextOrNumber) {
    AddModule("launcher", "桌面");
    struct Case {
        const char* density;
        int expected;
        int labelLeft;  // 50dp
    } const cases[] = {
        {"320", 320, 100}, {"\"320\"", 320, 100}, {"\"480dpi\"", 480, 150},
        {"\"abc\"", 0, 0}, {"240.9", 240, 75},
    };
    for (const Case& c : cases) {
        WriteProjectFile(std::string("{\"name\": \"theme\", \"dpi\": \"xxhdpi\", \"density\": ") +
                         c.density + "}");
        ThemeProject project;
        ASSERT_TRUE(project.Open(ProjectFile())) << c.density;
        const ThemeModule& module = *project.modules()[0];
        EXPECT_EQ(module.context.density, c.expected) << c.density;
        EXPECT_EQ(module.screens[0].elements[1].rect.left, c.labelLeft) << c.density;
    }
}

TEST_F(ProjectTest, TheNameMemberChoosesTheModuleFolders) {
    AddModule("launcher", "桌面", "b");
    AddModule("launcher", "锁屏", "a");
    WriteProjectFile("{\"name\": \"b\", \"dpi\": \"xxhdpi\", \"density\": 320}", "a.wtpj");
    ThemeProject project;
    ASSERT_TRUE(project.Open(ProjectFile("a.wtpj")));
    EXPECT_EQ(project.project_dir(), folder_ / "P/b");
    ASSERT_EQ(project.modules().size(), 1u);
    EXPECT_NE(project.FindModule("桌面"), nullptr);
    EXPECT_EQ(project.FindModule("锁屏"), nullptr);
}

// Designers keep themes in version control: hidden folders and folders
// without a template are passed over with a WARN line, wherever they sort.
TEST_F(ProjectTest, StrayFoldersArePassedOver) {
    AddStandardModules();
    const struct {
        const char* folder;
        const char* warning;
    } strays[] = {
        {".git", "WARN \tfolder .git passed over: hidden"},
        {".svn", "WARN \tfolder .svn passed over: hidden"},
        {".idea", "WARN \tfolder .idea passed over: hidden"},
        {"Notes", "WARN \tfolder Notes passed over: no template.xml"},
        {"resources", "WARN \tfolder resources passed over: no template.xml"},
    };
    for (const auto& stray : strays) {
        fs::create_directories(folder_ / ("P/theme/" + std::string(stray.folder) + "/anything"));
    }
    // Even a hidden folder that looks like a module is no module.
    AddModule(".backup", "通话");
    WriteProjectFile(kGoodProject);
    ThemeProject project;
    EXPECT_TRUE(project.Open(ProjectFile()));
    EXPECT_TRUE(project.loaded());
    EXPECT_EQ(ModuleNames(project),
              (std::vector<std::string>{"launcher", "lockscreen", "screencall"}));
    for (const auto& stray : strays) {
        EXPECT_TRUE(log_.HasSequence({stray.warning})) << stray.folder;
    }
    EXPECT_TRUE(fs::exists(folder_ / "P/theme/screencall/preview"));
}

TEST_F(ProjectTest, FoldersAreVisitedWithoutRegardToCase) {
    AddModule("b", "2");
    AddModule("A", "1");
    AddModule("c", "3");
    WriteProjectFile(kGoodProject);
    ThemeProject project;
    ASSERT_TRUE(project.Open(ProjectFile()));
    EXPECT_EQ(ModuleNames(project), (std::vector<std::string>{"A", "b", "c"}));
}

// A module that has a template but cannot be loaded fails the open, wherever
// it sorts: the project is not opened without one of its screens.
TEST_F(ProjectTest, AModuleThatFailsToLoadFailsTheOpen) {
    for (const char* broken : {"launcher", "lockscreen", "screencall"}) {
        SCOPED_TRACE(broken);
        fs::remove_all(folder_ / "P/theme");
        AddStandardModules();
        WriteText(folder_ / ("P/theme/" + std::string(broken) + "/template.xml"), "<package");
        WriteProjectFile(kGoodProject);
        log_.Clear();
        ThemeProject project;
        EXPECT_FALSE(project.Open(ProjectFile()));
        EXPECT_FALSE(project.loaded());
        EXPECT_TRUE(log_.HasSequence({"ERROR\tcan not parse template file",
                                      std::string("ERROR\tload module ") + broken + " failed."}));
    }
}

TEST_F(ProjectTest, OnlyFilesMeansNoModules) {
    WriteText(folder_ / "P/theme/readme.txt", "x");
    WriteProjectFile(kGoodProject);
    ThemeProject project;
    EXPECT_FALSE(project.Open(ProjectFile()));
    EXPECT_TRUE(log_.HasSequence({"ERROR\tno modules found"}));
}

// One element that cannot be drawn is outlined; it never fails the open.
TEST_F(ProjectTest, AnElementThatCannotBeDrawnNeverFailsTheOpen) {
    AddModule("launcher", "桌面");
    ModuleFolder lockscreen = AddModule("lockscreen", "锁屏");
    // An image index beyond the list loads but cannot be drawn.
    lockscreen.WriteTemplate(
        "<category list=\"a\" /><screen><icon left=\"zero\" top=\"zero\" width=\"zero\" "
        "height=\"zero\" res=\"wallpaper\" index=\"3\" /></screen>",
        "name=\"锁屏\"");
    WriteProjectFile(kGoodProject);
    ThemeProject project;
    EXPECT_TRUE(project.Open(ProjectFile()));
    EXPECT_TRUE(project.loaded());
    EXPECT_EQ(project.modules().size(), 2u);
    EXPECT_TRUE(
        log_.HasSequence({"WARN \telement 0 of screen 0 cannot be drawn: drawn as an outline"}));
}

TEST_F(ProjectTest, OpeningReplacesTheProcessProject) {
    AddStandardModules();
    WriteProjectFile(kGoodProject);
    ASSERT_TRUE(OpenProject(ProjectFile()));
    WriteProjectFile(kGoodProject, "again.wtpj");
    {
        ProjectWriter project = sw::WriteProject();
        EXPECT_EQ(project->modules().size(), 3u);
        project->SetThumbnailSize(200, 300);
    }
    EXPECT_EQ(ReadProject()->thumbnail_width(), 200);

    // Opened again, as a settings form's or the watch's reload does, the
    // project keeps the thumbnail size its page set.
    ASSERT_TRUE(OpenProject(ProjectFile()));
    EXPECT_EQ(ReadProject()->thumbnail_width(), 200);
    EXPECT_EQ(ReadProject()->thumbnail_height(), 300);

    // A second project drops every module of the first and the thumbnail size.
    AddModule("only", "桌面", "second");
    WriteProjectFile("{\"name\": \"second\", \"dpi\": \"xhdpi\", \"density\": 320}", "second.wtpj");
    ASSERT_TRUE(OpenProject(ProjectFile("second.wtpj")));
    {
        const ProjectReader project = ReadProject();
        EXPECT_EQ(ModuleNames(*project), (std::vector<std::string>{"only"}));
        EXPECT_EQ(project->thumbnail_width(), 0);
        EXPECT_EQ(project->thumbnail_height(), 0);
        EXPECT_EQ(project->modules()[0]->context.screen_width, 720);
    }

    // A failed open is kept too, with what it reached.
    EXPECT_FALSE(OpenProject(ProjectFile("missing.wtpj")));
    const ProjectReader project = ReadProject();
    EXPECT_EQ(project->project_path(), ProjectFile("missing.wtpj"));
    EXPECT_TRUE(project->modules().empty());
    EXPECT_FALSE(project->loaded());
}

// A reader holds the old project while an open, its new project built, tries
// to put it in place: the open must wait until the reader is done, and the
// reader keeps seeing the whole old project (without the guard the old one
// would be destroyed under the reader, which the address checker reports).
TEST_F(ProjectTest, ReadersSeeEitherTheOldOrTheNewProject) {
    AddStandardModules();
    WriteProjectFile(kGoodProject);
    ASSERT_TRUE(OpenProject(ProjectFile()));
    std::latch built(1);
    std::latch held(1);
    SetProjectReplaceHook([&] {
        built.count_down();
        held.wait();
    });
    std::atomic<bool> replaced = false;
    std::thread opener([this, &replaced] {
        OpenProject(ProjectFile());
        replaced = true;
    });
    built.wait();
    {
        const ProjectReader project = ReadProject();
        held.count_down();
        // Time enough for the open to replace the project, were nothing
        // holding it off.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_FALSE(replaced) << "the project was replaced under a reader";
        ASSERT_EQ(project->modules().size(), 3u);
        for (const auto& module : project->modules()) {
            EXPECT_EQ(module->screens.size(), 2u);
            EXPECT_FALSE(module->name.empty());
        }
    }
    opener.join();
    SetProjectReplaceHook(nullptr);
    EXPECT_TRUE(replaced);
    EXPECT_TRUE(ReadProject()->loaded());
}

// The editor's open: the home screen's first two screens are drawn before
// the answer, every other screen after it.
OpenOptions EditorOpen() {
    OpenOptions options;
    options.answer_after = "桌面";
    return options;
}

class EarlyOpenTest : public ProjectTest {
  protected:
    // The standard modules, the home screen with a third screen that shows
    // the wallpaper too, so that the rest of the drawing shares a picture
    // with the first screen.
    void AddModulesWithThreeHomeScreens() {
        AddStandardModules();
        ModuleFolder launcher(folder_ / "P/theme/launcher");
        const std::string wallpaper =
            "<icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\" "
            "res=\"wallpaper\" />";
        launcher.WriteTemplate("<category list=\"a\" /><screen>" + wallpaper + "</screen><screen>" +
                                   wallpaper + "</screen><screen>" + wallpaper +
                                   "<icon left=\"icon_left\" top=\"icon_top\" "
                                   "width=\"icon_size\" height=\"icon_size\" res=\"app_icon\" />"
                                   "</screen>",
                               "name=\"桌面\"");
        WriteProjectFile(kGoodProject);
    }

    std::string Preview(const std::string& module, int n) const {
        return folder_ /
               ("P/theme/" + module + "/preview/xxhdpi/preview" + std::to_string(n) + "_suit.jpg");
    }
    std::string Thumbnail(const std::string& module, int n) const {
        return folder_ / ("P/theme/" + module + "/preview/xxhdpi/thumbnail/preview" +
                          std::to_string(n) + ".jpg");
    }

    // Every screen but the home screen's first two waits in the drawing
    // until Release.
    void HoldTheRest() {
        SetScreenDrawingHook([this](const ThemePackage& screen) {
            if (screen.context->module_path == folder_ / "P/theme/launcher" && screen.index <= 1) {
                return;
            }
            held_.wait();
        });
    }
    void Release() {
        std::call_once(released_, [this] { held_.count_down(); });
    }

    ~EarlyOpenTest() override {
        Release();
        WaitForOpenDrawing();
        SetScreenDrawingHook(nullptr);
    }

    std::latch held_{1};
    std::once_flag released_;
};

// The open answers with the first screen drawn while the rest is still held
// back; the rest is drawn after, and whoever must see it waits for it:
// writers and the next open wait, readers do not, a picture of the rest is
// not ready until drawn.
TEST_F(EarlyOpenTest, AnswersAfterTheFirstScreenAndDrawsTheRestMeanwhile) {
    AddModulesWithThreeHomeScreens();
    HoldTheRest();
    ASSERT_TRUE(OpenProject(ProjectFile(), EditorOpen()));
    EXPECT_TRUE(fs::is_regular_file(Preview("launcher", 1)));
    EXPECT_TRUE(fs::is_regular_file(Preview("launcher", 2)));
    EXPECT_FALSE(fs::exists(Preview("launcher", 3)));
    EXPECT_FALSE(fs::exists(Preview("lockscreen", 1)));
    EXPECT_TRUE(WaitForOpenPicture(Preview("launcher", 1), std::chrono::milliseconds(0)));
    EXPECT_TRUE(WaitForOpenPicture(ProjectFile(), std::chrono::milliseconds(0)));
    for (const std::string& pending :
         {Preview("launcher", 3), Thumbnail("launcher", 3), Preview("screencall", 2),
          // The same file by another way to it.
          folder_ / "P/theme/lockscreen/../lockscreen/preview/xxhdpi/preview1_suit.jpg"}) {
        EXPECT_FALSE(WaitForOpenPicture(pending, std::chrono::milliseconds(20))) << pending;
    }
    EXPECT_TRUE(ReadProject()->loaded());

    std::atomic<bool> written = false;
    std::atomic<bool> reopened = false;
    std::thread writer([&] {
        const ProjectWriter project = WriteProject();
        // Every picture is drawn before a writer may change the project.
        EXPECT_TRUE(fs::is_regular_file(Preview("screencall", 2)));
        written = true;
    });
    std::thread opener([&] {
        EXPECT_TRUE(OpenProject(ProjectFile()));
        reopened = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(written) << "a writer went ahead of the open's drawing";
    EXPECT_FALSE(reopened) << "the next open went ahead of the open's drawing";
    {
        const ProjectReader project = ReadProject();
        EXPECT_EQ(project->modules().size(), 3u);
    }
    Release();
    writer.join();
    opener.join();
    EXPECT_TRUE(written);
    EXPECT_TRUE(reopened);
    EXPECT_TRUE(WaitForOpenDrawing());
    const ProjectReader project = ReadProject();
    EXPECT_TRUE(project->loaded());
    for (const auto& module : project->modules()) {
        EXPECT_TRUE(module->context.load_pictures.empty()) << module->name;
        for (std::size_t n = 1; n <= module->screens.size(); ++n) {
            EXPECT_TRUE(fs::is_regular_file(Preview(module->name, static_cast<int>(n))));
        }
    }
}

// The log of an open that answers early reads as the log of one that draws
// everything first, line for line.
TEST_F(EarlyOpenTest, LogsAsAnOpenThatDrawsEverythingFirst) {
    AddModulesWithThreeHomeScreens();
    // One element that cannot be drawn logs a line in the rest.
    ModuleFolder lockscreen(folder_ / "P/theme/lockscreen");
    lockscreen.WriteTemplate(
        "<category list=\"a\" /><screen><icon left=\"zero\" top=\"zero\" width=\"zero\" "
        "height=\"zero\" res=\"wallpaper\" index=\"3\" /></screen>",
        "name=\"锁屏\"");
    log_.Clear();
    {
        ThemeProject project;
        ASSERT_TRUE(project.Open(ProjectFile()));
    }
    const std::vector<std::string> whole = log_.Lines();
    log_.Clear();
    ThemeProject project;
    ASSERT_TRUE(project.Open(ProjectFile(), EditorOpen()));
    EXPECT_TRUE(project.drawing_left());
    EXPECT_TRUE(project.DrawTheRest());
    EXPECT_FALSE(project.drawing_left());
    EXPECT_EQ(log_.Lines(), whole);
}

// What goes wrong in the rest of the drawing fails the open after its
// answer, logged as it would have failed before; what goes wrong with the
// first screen fails the answer itself.
TEST_F(EarlyOpenTest, AFailureAfterTheAnswerFailsTheOpen) {
    struct Case {
        const char* name;
        const char* module;
        // Breaks the module's folder.
        std::function<void(const std::string& folder)> spoil;
        bool answered;
        std::vector<std::string> log;
    };
    const auto halveWallpaper = [](const std::string& folder) {
        const std::string file = folder + "/content/res/drawable-xxhdpi/wallpaper.png";
        const std::string png = test::ReadText(file);
        WriteText(file, png.substr(0, png.size() / 2));
    };
    const auto blockFirstPreview = [](const std::string& folder) {
        fs::create_directories(folder + "/preview/xxhdpi/preview1_suit.jpg");
    };
    const Case cases[] = {
        {"a later module's damaged picture",
         "lockscreen",
         halveWallpaper,
         true,
         {"ERROR\timg 'wallpaper' not found.", "ERROR\tinvalid format",
          "ERROR\tload element 0 failed", "ERROR\tload screen failed.",
          "ERROR\tload module lockscreen failed."}},
        {"a later module's preview that cannot be written",
         "screencall",
         blockFirstPreview,
         true,
         {"ERROR\tcan not save image for screen 0", "ERROR\tdraw screen 0 failed",
          "ERROR\tdraw package 2 failed"}},
        {"the first screen's damaged picture",
         "launcher",
         halveWallpaper,
         false,
         {"ERROR\tload module launcher failed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder_ / "P/theme");
        AddModulesWithThreeHomeScreens();
        c.spoil(folder_ / ("P/theme/" + std::string(c.module)));
        log_.Clear();
        EXPECT_EQ(OpenProject(ProjectFile(), EditorOpen()), c.answered);
        EXPECT_FALSE(WaitForOpenDrawing() && c.answered);
        EXPECT_FALSE(ReadProject()->loaded());
        EXPECT_TRUE(log_.HasSequence(c.log)) << ::testing::PrintToString(log_.Lines());
    }
}

}  // namespace
}  // namespace sw
