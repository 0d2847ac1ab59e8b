#include "pack/pack_fixture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>

#include "core/files.h"
#include "core/paths.h"
#include "core/zip.h"
#include "engine/create_project.h"
#include "engine/theme_project.h"
#include "gfx/image_decode.h"

namespace sw::pack::test {

namespace fs = std::filesystem;
using sw::test::Rgb;
using sw::test::WritePng;

PackFixture::PackFixture(Images images) {
    SetDataFolder(SKINWRIGHT_SOURCE_DIR);
    SetHomeFolder(folder_ / "home");
    CreateInfo info;
    info.prj_name = "demo";
    info.theme_path = folder_.path();
    // As `skinwright create` makes it, for the template's own pack.
    info.resourceid = images == Images::kTemplate ? "0" : "1";
    if (!SetCreateInfo(info) || !CreateProject() || !MakeFolderPath(out())) {
        return;
    }
    project_file_ = CreatedProjectPath(info);
    if (images == Images::kTemplate) {
        ok_ = Reopen();
        return;
    }
    // Small wallpapers keep the tests quick; a gradient shows the scaling.
    auto gradient = [](int x, int y) { return Rgb(x * 4, y * 2, 128); };
    WritePng(Module("launcher") + "/content/res/drawable-xxhdpi/wallpaper_grass.png", 54, 96,
             gradient, false);
    WritePng(Module("lockscreen") + "/content/res/drawable-xxhdpi/lockscreen_wallpaper.png", 54, 96,
             gradient, false);
    WritePng(Module("screencall") + "/content/res/drawable-xxhdpi/custom_wallpaper.png", 54, 96,
             gradient, false);
    WritePng(Module("screencall") + "/content/res/drawable-xxhdpi/incoming_answer.png", 200, 150,
             gradient, true);
    ok_ = Reopen();
}

PackFixture::~PackFixture() {
    SetHomeFolder("");
    SetDataFolder("");
}

std::string PackFixture::Module(const std::string& name) const {
    return folder_ / ("demo/demo/" + name);
}

PackRequest PackFixture::Request(WantedModules modules, const std::string& name) const {
    PackRequest request;
    request.pack_name = name;
    request.pack_path = out();
    request.modules = modules;
    return request;
}

bool PackFixture::Reopen(const OpenOptions& options) {
    return OpenProject(project_file_, options);
}

bool UnpackTheme(const std::string& archive, const std::string& folder) {
    if (!ZipExtract(archive, folder)) {
        return false;
    }
    for (const char* module : {"launcher", "lockscreen", "callscreen"}) {
        const std::string content = folder + "/content/" + module + "/content";
        if (IsFile(content + "/res.zip") && !ZipExtract(content + "/res.zip", content + "/res")) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
        if (entry.is_regular_file()) {
            files.push_back(fs::relative(entry.path(), folder).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> ArchiveEntries(const std::string& archive) {
    std::vector<std::string> entries;
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
    if (zip == nullptr) {
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        entries.push_back(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0));
    }
    zip_discard(zip);
    return entries;
}

PackTree TreeOf(const std::string& folder, const std::string& as) {
    PackTree tree;
    TreeRefusal refusal;
    const std::string root = fs::canonical(folder).string();
    EXPECT_TRUE(tree.AddProjectFolder(folder, as, root, {}, refusal)) << refusal.reason;
    return tree;
}

std::string TreeText(const PackTree& tree, const std::string& path) {
    const TreeFile* file = tree.FindFile(path);
    if (file == nullptr) {
        return "(none)";
    }
    if (file->bytes) {
        return *file->bytes;
    }
    std::string text;
    return ReadFileText(file->path, text) ? text : "(unreadable)";
}

std::string ImageSize(const std::string& path) {
    gfx::ImageInfo info;
    if (!gfx::ReadImageInfo(path, &info)) {
        return "missing";
    }
    return std::to_string(info.width) + "x" + std::to_string(info.height);
}

std::string LayoutColor(const std::string& path, const std::string& element) {
    TiXmlDocument document;
    if (!document.LoadFile(path.c_str()) || document.RootElement() == nullptr) {
        return "(unreadable)";
    }
    const TiXmlElement* found = document.RootElement()->FirstChildElement(element.c_str());
    const char* color = found != nullptr ? found->Attribute("color") : nullptr;
    return color != nullptr ? color : "(none)";
}

}  // namespace sw::pack::test
