#include "pack/density_preview.h"

#include <tinyxml.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <tuple>
#include <utility>

#include "core/log.h"
#include "core/paths.h"
#include "engine/kept_pictures.h"
#include "engine/screen_drawing.h"
#include "gfx/canvas.h"
#include "gfx/decoded_pictures.h"
#include "gfx/image_encode.h"
#include "gfx/resample.h"
#include "pack/density_plan.h"
#include "pack/pack_tree.h"
#include "settings/weather_editor.h"

namespace sw::pack {

namespace {

// The module's folder inside the tree the preview builds.
constexpr const char* kModule = "m";

enum class Kind { kLauncher, kLockscreen, kCallscreen, kOther };

Kind KindOf(const std::string& moduleFolder) {
    if (moduleFolder == "launcher") {
        return Kind::kLauncher;
    }
    if (moduleFolder == "lockscreen") {
        return Kind::kLockscreen;
    }
    if (moduleFolder == "screencall") {
        return Kind::kCallscreen;
    }
    return Kind::kOther;
}

// A density of a module and the folder below content/res the pack puts its
// images and layout into.
struct DensityRow {
    PreviewDensity density;
    const char* folder;
};

const std::vector<DensityRow>& RowsOf(Kind kind) {
    static const std::vector<DensityRow> launcher = {
        {{"hdpi", 540, 960, 0.5}, "drawable-hdpi"},
        {{"xhdpi", 720, 1280, 0.66}, "drawable-xhdpi"},
        {{"xxhdpi", 1080, 1920, 1.0}, "drawable-xxhdpi"},
        {{"xxxhdpi", 1440, 2560, 1.3}, "drawable-xxxhdpi"},
    };
    static const std::vector<DensityRow> lockscreen = {
        {{"hdpi", 540, 960, 0.5}, "hdpi"},
        {{"hdpi_720x1280", 720, 1280, 0.66}, "hdpi_720x1280"},
        {{"xhdpi", 720, 1280, 0.66}, "xhdpi"},
        {{"xxhdpi", 1080, 1920, 1.0}, "xxhdpi"},
        {{"xxxhdpi", 1440, 2560, 1.3}, "xxxhdpi_1440x2560"},
    };
    static const std::vector<DensityRow> callscreen = {
        {{"hdpi", 540, 960, 0.5}, "hdpi"},
        {{"xhdpi", 720, 1280, 0.66}, "xhdpi"},
        {{"xxhdpi", 1080, 1920, 1.0}, "xxhdpi"},
        {{"xxxhdpi", 1440, 2560, 1.3}, "xxxhdpi"},
    };
    static const std::vector<DensityRow> none;
    switch (kind) {
        case Kind::kLauncher:
            return launcher;
        case Kind::kLockscreen:
            return lockscreen;
        case Kind::kCallscreen:
            return callscreen;
        case Kind::kOther:
            break;
    }
    return none;
}

const DensityRow* FindRow(Kind kind, const std::string& name) {
    for (const DensityRow& row : RowsOf(kind)) {
        if (row.density.name == name) {
            return &row;
        }
    }
    return nullptr;
}

// The elements of a module's first screen that its density layouts place,
// by element id: the layout element and its "name" attribute (or null).
struct LaidOut {
    int element;
    const char* tag;
    const char* name;
};

constexpr LaidOut kLockscreenLayout[] = {
    {0, "Image", "wallpaper"},         {1, "ImageAnimator", nullptr},
    {2, "Image", "unlock_background"}, {3, "ImageHour10", nullptr},
    {4, "ImageHour1", nullptr},        {5, "Image", "colon"},
    {6, "ImageMin10", nullptr},        {7, "ImageMin1", nullptr},
    {8, "ImageAmPm", nullptr},         {9, "TextDateWeek", nullptr},
    {10, "TextBattery", nullptr},      {11, "TextOwnerInfo", nullptr},
    {12, "TextSimAll", nullptr},       {13, "ImageEvent", "unlock"},
    {14, "ImageEvent", "camera"},      {15, "ImageEvent", "normal"},
    {16, "ImageEvent", "call"},        {17, "ImageEvent", "message"},
    {18, "ImageBattery", "battery"},
};

// The weather widget of the launcher's first screen.
constexpr LaidOut kLauncherLayout[] = {
    {2, "Image", "weather_bg"},
    {3, "ImageWeather", nullptr},
    {4, "ImageHour10", nullptr},
    {5, "ImageHour1", nullptr},
    {6, "Image", "colon"},
    {7, "ImageMin10", nullptr},
    {8, "ImageMin1", nullptr},
    {9, "ImageAmPm", nullptr},
    {10, "TextWeek", nullptr},
    {11, "TextDate", nullptr},
    {12, "TextWeatherCity", nullptr},
    {13, "TextWeatherDescription", nullptr},
    {14, "TextWeatherTemperature", nullptr},
};

constexpr LaidOut kCallscreenLayout[] = {
    {0, "Image", "wallpaper"},      {4, "ButtonAnswer", nullptr}, {5, "ButtonHangup", nullptr},
    {6, "ButtonReminder", nullptr}, {7, "ButtonSms", nullptr},
};

// The layout element of an element of the first screen, or null.
const TiXmlElement* LayoutEntryOf(Kind kind, const TiXmlDocument& layout, int screen, int element) {
    const TiXmlElement* root = layout.RootElement();
    if (root == nullptr || screen != 0) {
        return nullptr;
    }
    const LaidOut* row = nullptr;
    auto find = [&](const auto& table) {
        for (const LaidOut& candidate : table) {
            if (candidate.element == element) {
                row = &candidate;
            }
        }
    };
    if (kind == Kind::kLockscreen) {
        find(kLockscreenLayout);
    } else if (kind == Kind::kLauncher) {
        find(kLauncherLayout);
    } else if (kind == Kind::kCallscreen) {
        find(kCallscreenLayout);
    }
    if (row == nullptr) {
        return nullptr;
    }
    for (const TiXmlElement* child = root->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const char* name = child->Attribute("name");
        if (child->ValueStr() == row->tag &&
            (row->name == nullptr || (name != nullptr && std::string(name) == row->name))) {
            return child;
        }
    }
    return nullptr;
}

// Truncated toward zero, as the layout forms write a density's numbers.
int Scaled(int value, double factor) {
    return static_cast<int>(value * factor);
}

int IntAttribute(const TiXmlElement& entry, const char* name, int otherwise) {
    int value = 0;
    return entry.QueryIntAttribute(name, &value) == TIXML_SUCCESS ? value : otherwise;
}

// The element's place at the density: its layout's numbers where the
// density's layout has it, the whole screen for a full-screen element, and
// otherwise its place scaled by the forms' factor. The launcher's widget
// layouts are relative to the widget, whose origin is scaled like the rest;
// its background is centred on the screen by the phone.
void PlaceAtDensity(ThemeElement& element, Kind kind, const TiXmlElement* entry,
                    const PreviewDensity& density, int screenWidth, int screenHeight) {
    const Rect r = element.rect;
    Rect placed{Scaled(r.left, density.factor), Scaled(r.top, density.factor), 0, 0};
    int width = Scaled(r.width(), density.factor);
    int height = Scaled(r.height(), density.factor);
    if (r == Rect{0, 0, screenWidth, screenHeight}) {
        width = density.width;
        height = density.height;
    }
    element.size = Scaled(element.size, density.factor);
    if (entry != nullptr && kind == Kind::kLauncher) {
        const int originX = Scaled(settings::kWeatherOriginX, density.factor);
        const int originY = Scaled(settings::kWeatherOriginY, density.factor);
        width = IntAttribute(*entry, "w", width);
        height = IntAttribute(*entry, "h", height);
        const char* name = entry->Attribute("name");
        placed.left = name != nullptr && std::string(name) == "weather_bg"
                          ? (density.width - width) / 2
                          : originX + IntAttribute(*entry, "x", placed.left - originX);
        placed.top = originY + IntAttribute(*entry, "y", placed.top - originY);
        element.size = IntAttribute(*entry, "size", element.size);
    } else if (entry != nullptr) {
        // A lock-screen text line's x in the layouts is that of its
        // alignment box; its place on the preview is the form's x.
        if (element.tag != "text") {
            placed.left = IntAttribute(*entry, "x", placed.left);
        }
        placed.top = IntAttribute(*entry, "y", placed.top);
        width = IntAttribute(*entry, "w", width);
        height = IntAttribute(*entry, "h", height);
        element.size = IntAttribute(*entry, "size", element.size);
    }
    placed.right = placed.left + width;
    placed.bottom = placed.top + height;
    element.rect = placed;
}

// The density images of the module as the pack lays them out: each made
// image stands in the tree as a marker that leads back to its job and
// target, so the pack's own copies carry it to its density folder.
class DensityTree {
  public:
    bool Build(Kind kind, const ThemeModule& module, const std::string& projectRoot,
               gfx::DecodedPictures& pictures, std::string& reason) {
        TreeRefusal refusal;
        tree_.MakeFolder(kModule);
        if (!tree_.AddProjectFolder(module.path, kModule, projectRoot, {}, refusal)) {
            reason = refusal.reason.empty() ? "can not read " + module.path : refusal.reason;
            return false;
        }
        if (kind == Kind::kLockscreen) {
            tree_.Copy(std::string(kModule) + "/content/lockscreen/content/res",
                       std::string(kModule) + "/content/res");
        }
        switch (kind) {
            case Kind::kCallscreen:
                jobs_ = CallscreenResizes(tree_, kModule, pictures);
                break;
            case Kind::kLauncher:
                jobs_ = LauncherWallpaperResizes(tree_, kModule, pictures);
                break;
            case Kind::kLockscreen:
                jobs_ = LockscreenWallpaperResizes(tree_, kModule, pictures);
                break;
            case Kind::kOther:
                break;
        }
        for (std::size_t j = 0; j < jobs_.size(); ++j) {
            for (std::size_t t = 0; t < jobs_[j].targets.size(); ++t) {
                const std::string& destination = jobs_[j].targets[t].destination;
                if (tree_.Put(destination, destination)) {
                    made_[tree_.FindFile(destination)->bytes.get()] = {j, t};
                }
            }
        }
        if (kind == Kind::kLockscreen) {
            CopyLockscreenVariants(tree_, kModule);
            DistributeLockscreen(tree_, kModule);
        } else if (kind == Kind::kLauncher) {
            DistributeLauncher(tree_, kModule);
        }
        return true;
    }

    const TreeFile* Find(const std::string& path) const { return tree_.FindFile(path); }

    // The job and target a made file stands for; false for a project file.
    bool MadeFrom(const TreeFile& file, const ResizeJob*& job, const ResizeTarget*& target) const {
        const auto found = made_.find(file.bytes.get());
        if (!file.bytes || found == made_.end()) {
            return false;
        }
        job = &jobs_[found->second.first];
        target = &job->targets[found->second.second];
        return true;
    }

  private:
    PackTree tree_;
    std::vector<ResizeJob> jobs_;
    std::map<const std::string*, std::pair<std::size_t, std::size_t>> made_;
};

// The sizes made of the sources, kept while their source stays the picture
// the sources hold (the same file, unchanged): switching back to a density
// resamples nothing. Every size of the three modules fits (some 60 MB at
// most); the whole store is emptied when it outgrows that.
class ResampledPictures {
  public:
    std::shared_ptr<const gfx::Image> Get(const std::string& path,
                                          const std::shared_ptr<const gfx::Image>& source,
                                          int width, int height) {
        const Key key{path, width, height};
        {
            std::lock_guard lock(mutex_);
            const auto found = made_.find(key);
            if (found != made_.end() && found->second.source == source) {
                return found->second.made;
            }
        }
        auto made = std::make_shared<gfx::Image>(gfx::ResampleLanczos(*source, width, height));
        if (made->empty()) {
            return nullptr;
        }
        std::lock_guard lock(mutex_);
        if (made_.size() >= kKept) {
            made_.clear();
        }
        made_[key] = {source, made};
        return made;
    }

  private:
    static constexpr std::size_t kKept = 32;
    using Key = std::tuple<std::string, int, int>;
    struct Entry {
        std::shared_ptr<const gfx::Image> source;
        std::shared_ptr<const gfx::Image> made;
    };
    std::mutex mutex_;
    std::map<Key, Entry> made_;
};

ResampledPictures& MadePictures() {
    static ResampledPictures pictures;
    return pictures;
}

// Gives the element the density's file of its image where the archive has
// one; a made image goes into pictures under the element's own path.
bool TakeDensityImage(ThemeElement& element, const DensityTree& tree, const DensityRow& row,
                      Kind kind, DrawingPictures& pictures, std::string& reason) {
    if ((element.tag != "icon" && element.tag != "icongroup") ||
        element.image_kind == kImageKindNinePatch || element.image_index < 0 ||
        static_cast<std::size_t>(element.image_index) >= element.images.size()) {
        return true;
    }
    std::string& path = element.images[element.image_index];
    if (FileNameOf(FolderOf(path)) != "drawable-xxhdpi") {
        return true;
    }
    const std::string res = std::string(kModule) + "/content/res/";
    const TreeFile* file = tree.Find(res + row.folder + "/" + FileNameOf(path));
    if (file == nullptr && kind == Kind::kLauncher) {
        // The phone takes a launcher image missing from a density folder
        // from drawable-xxhdpi.
        file = tree.Find(res + "drawable-xxhdpi/" + FileNameOf(path));
    }
    if (file == nullptr) {
        return true;
    }
    const ResizeJob* job = nullptr;
    const ResizeTarget* target = nullptr;
    if (!tree.MadeFrom(*file, job, target)) {
        if (file->bytes) {
            return true;
        }
        path = file->path;
        return true;
    }
    // The source is read as the editor's own preview reads it, through the
    // pictures the screens keep: the editor drew it already, so a first
    // switch decodes nothing (the pack decodes it to the same pixels).
    std::error_code error;
    const std::string& sourcePath = std::filesystem::equivalent(path, job->source_file.path, error)
                                        ? path
                                        : job->source_file.path;
    const std::shared_ptr<const gfx::Image> source =
        DrawingPictureOf(sourcePath, element.image_kind);
    if (!source) {
        reason = "can not read " + job->source_file.path;
        return false;
    }
    if (source->width() == target->width && source->height() == target->height) {
        pictures[{path, element.image_kind}] = source;
        return true;
    }
    std::shared_ptr<const gfx::Image> scaled =
        MadePictures().Get(job->source_file.path, source, target->width, target->height);
    if (!scaled) {
        reason = "can not make " + target->destination;
        return false;
    }
    pictures[{path, element.image_kind}] = std::move(scaled);
    return true;
}

// The outline of an element that cannot be drawn, as on the editor's preview.
constexpr gfx::Color kUndrawableOutline{255, 0, 64};

}  // namespace

std::vector<PreviewDensity> PreviewDensitiesOf(const std::string& moduleFolder) {
    std::vector<PreviewDensity> densities;
    for (const DensityRow& row : RowsOf(KindOf(moduleFolder))) {
        densities.push_back(row.density);
    }
    return densities;
}

bool FindPreviewDensity(const std::string& moduleFolder, const std::string& name,
                        PreviewDensity& density) {
    const DensityRow* row = FindRow(KindOf(moduleFolder), name);
    if (row != nullptr) {
        density = row->density;
    }
    return row != nullptr;
}

bool DrawScreenAtDensity(const ThemeModule& module, int screenIndex, const std::string& density,
                         const std::string& projectRoot, std::string& png, std::string& reason,
                         std::vector<DensityElementBox>* boxes) {
    const Kind kind = KindOf(module.name);
    const DensityRow* row = FindRow(kind, density);
    if (row == nullptr) {
        reason = "the module " + module.name + " is not packed at " + density;
        return false;
    }
    if (screenIndex < 0 || static_cast<std::size_t>(screenIndex) >= module.screens.size()) {
        reason = "the module " + module.name + " has no screen " + std::to_string(screenIndex);
        return false;
    }
    DensityTree tree;
    // The density plan takes a source's size from its file's header.
    gfx::DecodedPictures noneDecoded;
    if (!tree.Build(kind, module, projectRoot, noneDecoded, reason)) {
        return false;
    }
    TiXmlDocument layout;
    const TreeFile* layoutFile =
        tree.Find(std::string(kModule) + "/content/res/" + row->folder +
                  (kind == Kind::kLauncher ? "/weatherconfig.xml" : "/lockscreen.xml"));
    if (layoutFile != nullptr && !layoutFile->bytes && !layout.LoadFile(layoutFile->path)) {
        LogWarn("density preview: can not read %s; its elements are scaled\n",
                layoutFile->path.c_str());
    }
    const ModuleContext& context = module.context;
    gfx::Canvas canvas(row->density.width, row->density.height);
    if (!canvas.ok()) {
        reason = "can not make a picture of " + std::to_string(row->density.width) + " x " +
                 std::to_string(row->density.height);
        return false;
    }
    DrawingPictures pictures;
    if (boxes != nullptr) {
        boxes->clear();
    }
    for (const ThemeElement& shown : module.screens[screenIndex].elements) {
        ThemeElement element = shown;
        if (!TakeDensityImage(element, tree, *row, kind, pictures, reason)) {
            return false;
        }
        PlaceAtDensity(element, kind, LayoutEntryOf(kind, layout, screenIndex, element.element_id),
                       row->density, context.screen_width, context.screen_height);
        if (boxes != nullptr) {
            boxes->push_back({element.screen_id, element.element_id, element.rect});
        }
        if (!DrawElement(element, canvas, pictures)) {
            LogWarn("element %d of screen %d cannot be drawn at %s: drawn as an outline\n",
                    element.element_id, screenIndex, density.c_str());
            const Rect& r = element.rect;
            canvas.StrokeRect(gfx::Rect{r.left, r.top, r.width(), r.height()}, kUndrawableOutline);
        }
    }
    if (!gfx::EncodePng(canvas.image(), &png, gfx::PngCompression::kFast)) {
        reason = "can not encode the picture";
        return false;
    }
    return true;
}

}  // namespace sw::pack
