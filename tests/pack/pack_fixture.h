// A small theme project for the pack tests: made from the shipped template,
// with small wallpapers, a 200x150 answer button and colours of its own, and
// opened as the process's project. The home folder (and so the pack's work
// area) lies in the fixture's folder.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/engine_fixture.h"
#include "engine/theme_project.h"
#include "pack/pack_request.h"
#include "pack/pack_tree.h"

namespace sw::pack::test {

using sw::test::TempFolder;

class PackFixture {
  public:
    // kTemplate keeps the template's own images, for a pack of the project
    // exactly as the template makes it.
    enum class Images { kSmall, kTemplate };
    explicit PackFixture(Images images = Images::kSmall);
    ~PackFixture();
    PackFixture(const PackFixture&) = delete;
    PackFixture& operator=(const PackFixture&) = delete;

    bool ok() const { return ok_; }
    // The project's module folder (launcher, lockscreen, screencall).
    std::string Module(const std::string& name) const;
    // Where archives go, and the pack's work area.
    std::string out() const { return folder_ / "out"; }
    std::string work_area() const { return folder_ / "home/tmp"; }
    const TempFolder& folder() const { return folder_; }

    PackRequest Request(WantedModules modules = {}, const std::string& name = "theme") const;

    // Opens the project again, after a test changed its files.
    bool Reopen(const OpenOptions& options = {});
    // The project folder, which holds the module folders.
    std::string ProjectDir() const { return folder_ / "demo/demo"; }

  private:
    TempFolder folder_;
    std::string project_file_;
    bool ok_ = false;
};

// The archive unpacked into folder, every module's content/res.zip unpacked
// beside it into content/MODULE/content/res. False when any unpacking fails.
bool UnpackTheme(const std::string& archive, const std::string& folder);

// Every file below folder, as paths relative to it, sorted.
std::vector<std::string> FilesBelow(const std::string& folder);

// The entries of an archive, in archive order.
std::vector<std::string> ArchiveEntries(const std::string& archive);

// A folder on disk taken into a new tree as the folder as.
PackTree TreeOf(const std::string& folder, const std::string& as);

// The bytes of a tree's file, "(none)" when it has none at path.
std::string TreeText(const PackTree& tree, const std::string& path);

// "WxH" of an image file, "missing" when it cannot be read.
std::string ImageSize(const std::string& path);

// The "color" attribute of the first element named element directly under
// the root of a layout file, "(none)" when the element or attribute is absent.
std::string LayoutColor(const std::string& path, const std::string& element);

}  // namespace sw::pack::test
