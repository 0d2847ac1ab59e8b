// A pack reads the project where it lies: the archive is the same to the
// byte as ever, each picture is decoded once, and what a project received
// from elsewhere may hold (hidden files, pipes, links, old archives) never
// reaches the archive or stalls the pack.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "check/project_check.h"
#include "core/files.h"
#include "engine/engine_fixture.h"
#include "engine/theme_project.h"
#include "pack/density_plan.h"
#include "pack/pack_fixture.h"
#include "pack/pack_project.h"

namespace sw::pack::test {
namespace {

using sw::test::LogCapture;
using sw::test::ReadText;
using sw::test::WriteText;

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", value);
    return text;
}

// The lines of the archive's description as the golden file writes them:
// its entries with method, size and CRC-32, then those of each res.zip.
void DescribeArchive(zip_t* archive, const std::string& prefix, std::vector<std::string>& lines,
                     std::vector<std::string>& inner) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        ASSERT_EQ(zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat), 0);
        const std::string name = stat.name;
        lines.push_back(prefix + name + " " + std::to_string(stat.comp_method) + " " +
                        std::to_string(stat.size) + " " + Hex(stat.crc));
        if (name.size() > 7 && name.compare(name.size() - 7, 7, "res.zip") == 0) {
            inner.push_back(name);
        }
    }
}

std::vector<std::string> DescribeTheme(const std::string& path) {
    std::vector<std::string> lines;
    const std::string bytes = ReadText(path);
    lines.push_back("archive " + std::to_string(bytes.size()) + " " +
                    Hex(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()),
                              static_cast<uInt>(bytes.size()))));
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    EXPECT_NE(archive, nullptr) << path;
    if (archive == nullptr) {
        return lines;
    }
    std::vector<std::string> inner;
    DescribeArchive(archive, "entry ", lines, inner);
    for (const std::string& name : inner) {
        zip_stat_t stat;
        zip_stat(archive, name.c_str(), 0, &stat);
        std::string data(stat.size, '\0');
        zip_file_t* file = zip_fopen(archive, name.c_str(), 0);
        EXPECT_EQ(zip_fread(file, data.data(), data.size()), static_cast<zip_int64_t>(data.size()));
        zip_fclose(file);
        zip_source_t* source = zip_source_buffer_create(data.data(), data.size(), 0, nullptr);
        zip_t* nested = zip_open_from_source(source, ZIP_RDONLY, nullptr);
        EXPECT_NE(nested, nullptr) << name;
        std::vector<std::string> none;
        DescribeArchive(nested, "inner " + name + " ", lines, none);
        zip_close(nested);
    }
    zip_close(archive);
    return lines;
}

// The template's theme, packed as a designer packs a new project, is the
// archive the pack has always made, to the byte: after an open that drew
// every screen, and after one that drew only the screens whose previews the
// archive holds, sharing its decoded pictures with the check and the pack.
// No picture is decoded twice on the way.
TEST(PackFromProjectTest, TheTemplatesArchiveKeepsItsBytes) {
    const std::string golden = std::string(SKINWRIGHT_SOURCE_DIR) + "/tests/pack/golden/";
    std::ifstream lines(golden + "template_pack.txt");
    ASSERT_TRUE(lines.good());
    std::vector<std::string> expected;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != '#') {
            expected.push_back(line);
        }
    }
    for (const bool forPack : {false, true}) {
        PackFixture fixture(PackFixture::Images::kTemplate);
        ASSERT_TRUE(fixture.ok());
        // A new project's descriptions carry a number of its own: those of
        // the project the golden archive was packed from.
        for (const char* meta :
             {"meta.json", "meta2.json", "meta3.json", "meta4.json", "meta5.json"}) {
            ASSERT_TRUE(CopyPath(golden + "template_meta/" + meta,
                                 fixture.Module("launcher") + "/" + meta));
        }
        gfx::DecodedPictures pictures;
        if (forPack) {
            // No preview is left from an earlier open: the archive's come
            // from this one.
            for (const char* module : {"launcher", "lockscreen", "screencall"}) {
                ASSERT_TRUE(DeletePath(fixture.Module(module) + "/preview"));
            }
            for (const std::string& source : DensitySources(fixture.ProjectDir(), {})) {
                pictures.Keep(source);
            }
            OpenOptions options;
            options.screens = [](const std::string& module) {
                return ScreensInArchive(module, {});
            };
            options.pictures = &pictures;
            ASSERT_TRUE(fixture.Reopen(options));
            EXPECT_FALSE(IsFile(fixture.Module("launcher") + "/preview/xxhdpi/preview3_suit.jpg"));
            const ProjectReader project = ReadProject();
            EXPECT_TRUE(check::CheckProjectForErrors(*project, &pictures).empty());
        }
        const PackResult result = PackProject(fixture.Request({}, "demo"), {}, &pictures);
        ASSERT_EQ(result.code, 0) << result.reason;
        EXPECT_EQ(DescribeTheme(result.archive), expected) << (forPack ? "for a pack" : "full");
        if (forPack) {
            for (const std::string& file : FilesBelow(fixture.ProjectDir())) {
                EXPECT_LE(pictures.DecodeCount(fixture.ProjectDir() + "/" + file), 1U) << file;
            }
        }
    }
}

// The check and the pack share one decode of each picture the pack resizes.
TEST(PackFromProjectTest, EachPictureIsDecodedOnceForCheckAndPack) {
    PackFixture fixture;
    ASSERT_TRUE(fixture.ok());
    gfx::DecodedPictures pictures;
    const std::vector<std::string> sources = DensitySources(fixture.ProjectDir(), {});
    ASSERT_EQ(sources.size(), 9U);
    for (const std::string& source : sources) {
        pictures.Keep(source);
    }
    {
        const ProjectReader project = ReadProject();
        check::CheckProjectForErrors(*project, &pictures);
    }
    const PackResult result = PackProject(fixture.Request(), {}, &pictures);
    ASSERT_EQ(result.code, 0) << result.reason;
    for (const std::string& source : sources) {
        EXPECT_EQ(pictures.DecodeCount(source), 1U) << source;
    }

    // Without a check before it, the pack decodes each once itself.
    gfx::DecodedPictures alone;
    ASSERT_EQ(PackProject(fixture.Request(), {}, &alone).code, 0);
    for (const std::string& source : sources) {
        EXPECT_EQ(alone.DecodeCount(source), 1U) << source;
    }
}

// What a project from elsewhere may hold. Hidden files, backups, old
// archives beside a module and the pack's own output are left out; a pipe
// or a link out of the project refuses the pack, also when nothing would
// wait on it, and the pack never hangs on a pipe.
TEST(PackFromProjectTest, OddFilesOfAProjectNeverReachTheArchive) {
    struct Case {
        const char* what;
        std::function<void(PackFixture&)> make;
        std::string out;      // "" for the fixture's folder
        const char* refusal;  // "" when the pack succeeds
    };
    const Case cases[] = {
        {"hidden files and backups",
         [](PackFixture& f) {
             WriteText(f.Module("lockscreen") + "/.DS_Store", "finder");
             WriteText(f.Module("launcher") + "/content/res/values/.colors.xml.swp", "swap");
             WriteText(f.Module("launcher") + "/content/res/values/colors.xml~", "backup");
             WriteText(f.Module("screencall") + "/.git/config", "[core]");
         },
         "", ""},
        {"an old archive beside a module",
         [](PackFixture& f) { WriteText(f.Module("lockscreen") + "/old.zip", "old theme"); }, "",
         ""},
        {"the output folder inside a module", [](PackFixture&) {}, "launcher/content/res/raw", ""},
        {"a link inside the project",
         [](PackFixture& f) {
             ASSERT_EQ(::symlink("../values/colors.xml",
                                 (f.Module("launcher") + "/content/res/raw/colors.txt").c_str()),
                       0);
         },
         "", ""},
        {"a pipe",
         [](PackFixture& f) {
             MakeFolderPath(f.Module("launcher") + "/content/res/raw");
             ASSERT_EQ(::mkfifo((f.Module("launcher") + "/content/res/raw/pipe").c_str(), 0600), 0);
         },
         "", "raw/pipe is neither a file nor a folder"},
        {"a link out of the project",
         [](PackFixture& f) {
             MakeFolderPath(f.Module("lockscreen") + "/content/res/raw");
             ASSERT_EQ(::symlink("/etc/passwd",
                                 (f.Module("lockscreen") + "/content/res/raw/notes.txt").c_str()),
                       0);
         },
         "", "raw/notes.txt leads out of the project"},
        {"a link to nothing",
         [](PackFixture& f) {
             ASSERT_EQ(
                 ::symlink("gone.png", (f.Module("launcher") + "/content/res/raw/old.png").c_str()),
                 0);
         },
         "", "raw/old.png leads nowhere"},
        {"a link inside the project to a pipe",
         [](PackFixture& f) {
             ASSERT_EQ(::mkfifo((f.Module("screencall") + "/pipe").c_str(), 0600), 0);
             ASSERT_EQ(::symlink("../../../../screencall/pipe",
                                 (f.Module("launcher") + "/content/res/raw/data").c_str()),
                       0);
         },
         "", "raw/data is neither a file nor a folder"},
    };
    for (const Case& c : cases) {
        PackFixture fixture;
        ASSERT_TRUE(fixture.ok());
        MakeFolderPath(fixture.Module("launcher") + "/content/res/raw");
        c.make(fixture);
        PackRequest request = fixture.Request();
        if (!c.out.empty()) {
            request.pack_path = fixture.Module(c.out);
        }
        // A pack into the same folder twice: the first archive must not
        // reach the second.
        PackResult result = PackProject(request);
        if (*c.refusal != '\0') {
            EXPECT_EQ(result.code, -1) << c.what;
            EXPECT_NE(result.reason.find(c.refusal), std::string::npos)
                << c.what << ": " << result.reason;
            EXPECT_TRUE(FilesBelow(request.pack_path).empty()) << c.what;
            continue;
        }
        ASSERT_EQ(result.code, 0) << c.what << ": " << result.reason;
        const std::string first = ReadText(result.archive);
        result = PackProject(request);
        ASSERT_EQ(result.code, 0) << c.what << ": " << result.reason;
        EXPECT_EQ(ReadText(result.archive), first) << c.what;
        const std::string unpacked = fixture.folder() / "unpacked";
        ASSERT_TRUE(UnpackTheme(result.archive, unpacked)) << c.what;
        for (const std::string& file : FilesBelow(unpacked)) {
            const std::string name = file.substr(file.rfind('/') + 1);
            EXPECT_NE(name[0], '.') << c.what << ": " << file;
            EXPECT_NE(name.back(), '~') << c.what << ": " << file;
            EXPECT_NE(name, "theme.zip") << c.what << ": " << file;
            EXPECT_NE(name, "old.zip") << c.what << ": " << file;
        }
        EXPECT_EQ(FilesBelow(request.pack_path), std::vector<std::string>({"theme.zip"})) << c.what;
    }
}

// The longest name a folder takes packs; one byte more is refused before
// any work with a message that says why.
TEST(PackFromProjectTest, PackNamesUpToTheLongestFileNamePack) {
    PackFixture fixture;
    ASSERT_TRUE(fixture.ok());
    const PackResult longest = PackProject(fixture.Request({}, std::string(251, 'n')));
    EXPECT_EQ(longest.code, 0) << longest.reason;
    const PackResult tooLong = PackProject(fixture.Request({}, std::string(252, 'n')));
    EXPECT_EQ(tooLong.code, -1);
    EXPECT_NE(tooLong.reason.find("too long"), std::string::npos) << tooLong.reason;
}

// A stop asked in any step, also in the middle of a module's res.zip or of
// the theme archive, ends the pack at the next entry or read: no archive,
// no file left beside it.
TEST(PackFromProjectTest, AStopEndsThePackInEveryStep) {
    PackFixture fixture;
    ASSERT_TRUE(fixture.ok());
    // The steps that write archives are stopped at their third poll, when
    // part of the archive is written.
    const std::pair<PackStep, int> cases[] = {
        {PackStep::kReadProject, 1}, {PackStep::kResizeImages, 1}, {PackStep::kCallscreen, 3},
        {PackStep::kLockscreen, 3},  {PackStep::kLauncher, 3},     {PackStep::kArchive, 3},
    };
    for (const auto& [step, poll] : cases) {
        PackObserver observer;
        PackStep now = PackStep::kSaveColors;
        int polls = 0;
        observer.progress = [&now](PackStep at, double) { now = at; };
        observer.stop = [&, step = step, poll = poll] { return now == step && ++polls >= poll; };
        const PackResult result = PackProject(fixture.Request(), observer);
        EXPECT_TRUE(result.stopped) << StepName(step);
        EXPECT_EQ(polls, poll) << StepName(step);
        EXPECT_TRUE(FilesBelow(fixture.out()).empty()) << StepName(step);
    }
}

}  // namespace
}  // namespace sw::pack::test
