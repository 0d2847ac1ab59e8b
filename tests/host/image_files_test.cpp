// Image files served at /file?path=ABS: only images below the data folder or
// the open project, or files the user chose, and nothing else.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "harness.h"
#include "host/image_files.h"

namespace sw::host::test {
namespace {

std::string Encoded(const std::string& path) {
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            out += escaped;
        }
    }
    return out;
}

class ImageFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        outside_ = harness_.folder() / "outside";
        project_ = harness_.folder() / "work/demo/demo";
        WriteFile(harness_.data() + "/template/preview.png", "png bytes");
        WriteFile(harness_.data() + "/template/photo.JPG", "jpg bytes");
        WriteFile(harness_.data() + "/template/预览.png", "chinese name");
        WriteFile(harness_.data() + "/notes.txt", "not an image");
        WriteFile(outside_ + "/secret.png", "secret");
        WriteFile(outside_ + "/chosen.png", "chosen by the user");
        WriteFile(project_ + "/launcher/preview/xxhdpi/preview1.jpg", "preview");
        std::filesystem::create_directories(harness_.data() + "/folder.png");
        ::symlink((outside_ + "/secret.png").c_str(), (harness_.data() + "/escape.png").c_str());
        ::symlink((harness_.data() + "/notes.txt").c_str(),
                  (harness_.data() + "/fake.png").c_str());
        ::symlink(outside_.c_str(), (harness_.data() + "/linked").c_str());
        const std::string project = project_;
        const std::string data = harness_.data();
        harness_.host().image_files().SetRootsProvider([project, data] {
            return std::vector<std::string>{data, project};
        });
    }

    HttpResult File(const std::string& path) { return harness_.Get("/file?path=" + Encoded(path)); }

    HostHarness harness_;
    std::string outside_;
    std::string project_;
};

TEST_F(ImageFilesTest, ImagesBelowTheDataFolderAndTheProjectAreServed) {
    HttpResult png = File(harness_.data() + "/template/preview.png");
    EXPECT_EQ(png.status, 200u);
    EXPECT_EQ(png.headers["content-type"], "image/png");
    EXPECT_EQ(png.body, "png bytes");

    HttpResult jpg =
        harness_.Get("/file?path=" + Encoded(harness_.data() + "/template/photo.JPG") + "&t=0.123");
    EXPECT_EQ(jpg.status, 200u);
    EXPECT_EQ(jpg.headers["content-type"], "image/jpeg");

    EXPECT_EQ(File(harness_.data() + "/template/预览.png").body, "chinese name");
    EXPECT_EQ(File(project_ + "/launcher/preview/xxhdpi/preview1.jpg").body, "preview");
}

TEST_F(ImageFilesTest, EverythingElseIsRefused) {
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"climbing out with ..", harness_.data() + "/template/../../outside/secret.png"},
        {"climbing and coming back", harness_.data() + "/template/../template/preview.png"},
        {"outside every root", outside_ + "/secret.png"},
        {"a link out of the data folder", harness_.data() + "/escape.png"},
        {"a folder linked from inside", harness_.data() + "/linked/secret.png"},
        {"an image name on a text file", harness_.data() + "/fake.png"},
        {"not an image", harness_.data() + "/notes.txt"},
        {"a folder", harness_.data() + "/folder.png"},
        {"a missing file", harness_.data() + "/missing.png"},
        {"a relative path", "template/preview.png"},
        {"no path", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(File(c.path).status, 403u) << c.name;
    }
    EXPECT_EQ(harness_.Get("/file").status, 403u);
}

TEST_F(ImageFilesTest, AFileTheUserChoseIsServedWhereverItIs) {
    EXPECT_EQ(File(outside_ + "/chosen.png").status, 403u);
    harness_.host().image_files().AllowFile(outside_ + "/chosen.png");
    EXPECT_EQ(File(outside_ + "/chosen.png").body, "chosen by the user");
    EXPECT_EQ(File(outside_ + "/secret.png").status, 403u);
}

// The file opened is the file that was checked: a path that leads elsewhere
// through a link by the time it is opened is refused, and so is anything
// but a regular file, at once (a pipe without a writer is not waited on).
TEST(OpenServedFileTest, OpensOnlyTheCheckedRegularFile) {
    Scratch scratch;
    // The server passes resolved paths; the scratch folder may lie below a link.
    const std::string base = std::filesystem::canonical(scratch.path()).string();
    WriteFile(base + "/real/a.png", "picture");
    std::filesystem::create_directory_symlink(base + "/real", base + "/swapped");
    std::filesystem::create_symlink(base + "/real/a.png", base + "/link.png");
    ASSERT_EQ(::mkfifo((base + "/pipe.png").c_str(), 0600), 0);
    struct Case {
        std::string path;
        bool opened;
    };
    const Case cases[] = {
        {base + "/real/a.png", true},
        {base + "/swapped/a.png", false},  // a folder on the way is a link
        {base + "/link.png", false},       // the file itself is a link
        {base + "/real", false},           // a folder
        {base + "/pipe.png", false},       // a pipe
        {"/dev/null", false},              // a device
        {base + "/real/missing.png", false},
    };
    for (const Case& c : cases) {
        std::string reason;
        const auto started = std::chrono::steady_clock::now();
        const std::shared_ptr<ServedFile> file = OpenServedFile(c.path, reason);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 1s) << c.path;
        EXPECT_EQ(file != nullptr, c.opened) << c.path;
        EXPECT_EQ(reason.empty(), c.opened) << c.path;
        if (file) {
            char bytes[16] = {};
            EXPECT_EQ(file->size, 7u);
            EXPECT_EQ(::pread(file->fd.get(), bytes, sizeof bytes, 0), 7);
            EXPECT_EQ(std::string(bytes), "picture");
        }
    }
}

TEST(ImageNameTest, OnlyPngJpegAndGifNamesAreImages) {
    for (const char* name : {"a.png", "a.PNG", "a.jpg", "a.jpeg", "b.9.png", "c.gif", "d.JpEg"}) {
        EXPECT_TRUE(IsImageName(name)) << name;
    }
    for (const char* name : {"a.txt", "png", "a.png.txt", "a.svg", "a.wtpj", ""}) {
        EXPECT_FALSE(IsImageName(name)) << name;
    }
}

}  // namespace
}  // namespace sw::host::test
