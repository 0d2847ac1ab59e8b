#include "engine/screen_drawing.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "core/on_all_cores.h"
#include "core/text.h"
#include "engine/image_resolve.h"
#include "engine/kept_pictures.h"
#include "engine/nine_patch.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"

namespace sw {

namespace {

constexpr const char* kPreviewFolder = "preview/xxhdpi";

// The outline of an element that cannot be drawn: a red no theme uses.
constexpr gfx::Color kUndrawableOutline{255, 0, 64};

gfx::Rect RectOf(const Rect& r) {
    return gfx::Rect{r.left, r.top, r.width(), r.height()};
}

gfx::Color RgbOf(PackedColor c) {
    return gfx::Color{RedOf(c), GreenOf(c), BlueOf(c)};
}

gfx::BlendMode BlendFor(const gfx::Image& image) {
    return image.has_alpha() ? gfx::BlendMode::kAlpha : gfx::BlendMode::kCopy;
}

using DrawingImage = std::shared_ptr<const gfx::Image>;

// Reads an image file ready for blending: 32-bit images are premultiplied,
// nine-patch files (kind 1) all but their border; others are drawn opaque.
// A picture kept from an earlier drawing of the unchanged file is used as it
// is. Null when the file cannot be read.
DrawingImage DecodeDrawingImage(const std::string& path, int kind) {
    return DrawingPictureOf(path, kind);
}

// The plain images an element draws, with the kind each is read as; the
// first image of a mask may turn out to be a nine-patch and not be read so.
std::vector<std::pair<std::string, int>> PlainImagesOf(const ThemeElement& element) {
    std::vector<std::pair<std::string, int>> images;
    if ((element.tag == "icon" || element.tag == "icongroup") &&
        element.image_kind != kImageKindNinePatch && element.image_index >= 0 &&
        static_cast<std::size_t>(element.image_index) < element.images.size()) {
        images.emplace_back(element.images[element.image_index], element.image_kind);
    } else if (element.tag == "mask") {
        for (std::size_t i = 0; i < element.images.size() && i < 4; ++i) {
            images.emplace_back(element.images[i], element.image_kind);
        }
    }
    return images;
}

// The pictures of one run of screens: one that several elements of the run
// show (a wallpaper on every screen) is decoded once, by the first screen
// that needs it while the others wait for it, and held until its last use;
// one shown once is never held. Between runs only the kept pictures
// (KeepPictures) outlive a run. The
// screens of a run are drawn side by side, so Get may be called from several
// threads at once.
class ScreenRun {
  public:
    // Pictures given by the caller, each used as often as it is asked for.
    explicit ScreenRun(const DrawingPictures& given) : load_pictures_(given) {}

    ScreenRun(const ThemeModule& module, const std::vector<int>& screens)
        : load_pictures_(module.context.load_pictures) {
        for (int i : screens) {
            for (const ThemeElement& element : module.screens[i].elements) {
                for (const auto& key : PlainImagesOf(element)) {
                    ++entries_[key].uses;
                }
            }
        }
    }

    // The decoded file, null when it cannot be read.
    DrawingImage Get(const std::string& path, int kind) {
        const auto found = entries_.find({path, kind});
        if (found == entries_.end()) {
            const auto loaded = load_pictures_.find({path, kind});
            return loaded != load_pictures_.end() ? loaded->second : DecodeDrawingImage(path, kind);
        }
        Entry& entry = found->second;
        std::call_once(entry.decoded, [&] {
            const auto loaded = load_pictures_.find({path, kind});
            entry.image =
                loaded != load_pictures_.end() ? loaded->second : DecodeDrawingImage(path, kind);
        });
        DrawingImage image = entry.image;
        // Every use was counted, so the last one finds every other copy made.
        if (entry.uses.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            entry.image.reset();
        }
        return image;
    }

  private:
    struct Entry {
        std::atomic<int> uses{0};
        std::once_flag decoded;
        DrawingImage image;
    };
    // Pictures the load of the module kept; not changed while a run draws.
    const DrawingPictures& load_pictures_;
    // Filled before the first Get and never changed after: only entries are.
    std::map<std::pair<std::string, int>, Entry> entries_;
};

DrawingImage LoadDrawingImage(const std::string& path, int kind, ScreenRun* run) {
    return run != nullptr ? run->Get(path, kind) : DecodeDrawingImage(path, kind);
}

// Draws a plain image into the element's rectangle: scaled from the whole
// image, or, for a clip element, from the part that fits the rectangle.
bool DrawPlainImage(const ThemeElement& element, const gfx::Image& image, gfx::Canvas& canvas) {
    const gfx::Rect dest = RectOf(element.rect);
    if (dest.empty()) {
        return true;
    }
    gfx::Rect source{0, 0, image.width(), image.height()};
    if (element.clip) {
        source.width = std::min(image.width(), dest.width);
        source.height = std::min(image.height(), dest.height);
    }
    return canvas.DrawImage(image, source, dest, BlendFor(image));
}

bool DrawNinePatch(const ThemeElement& element, const std::string& path, gfx::Canvas& canvas) {
    NinePatchImage image;
    if (!image.Load(path)) {
        LogError("fail to load %s\n", path.c_str());
        return false;
    }
    const Rect& r = element.rect;
    return image.Draw(canvas, r.left, r.top, r.width(), r.height());
}

bool DrawIcon(const ThemeElement& element, gfx::Canvas& canvas, ScreenRun* run) {
    if (element.image_index < 0 ||
        static_cast<std::size_t>(element.image_index) >= element.images.size()) {
        return false;
    }
    const std::string& path = element.images[element.image_index];
    if (element.image_kind == kImageKindNinePatch) {
        return DrawNinePatch(element, path, canvas);
    }
    const DrawingImage image = LoadDrawingImage(path, element.image_kind, run);
    if (image == nullptr) {
        LogError("fail to load %s\n", path.c_str());
        return false;
    }
    return DrawPlainImage(element, *image, canvas);
}

// The images of a mask element are, in order: the first image (drawn like an
// icon), the icon, the foreground and the mask, which is checked but not drawn.
bool DrawMask(const ThemeElement& element, gfx::Canvas& canvas, ScreenRun* run) {
    if (element.images.size() < 4) {
        return false;
    }
    const std::string& first = element.images[0];
    const std::string& iconPath = element.images[1];
    const std::string& foregroundPath = element.images[2];
    const std::string& maskPath = element.images[3];

    bool drawn = false;
    NinePatchImage patch;
    if (patch.Load(first) && patch.IsNinePatch()) {
        const Rect& r = element.rect;
        drawn = patch.Draw(canvas, r.left, r.top, r.width(), r.height());
    } else {
        const DrawingImage image = LoadDrawingImage(first, element.image_kind, run);
        drawn = image != nullptr && DrawPlainImage(element, *image, canvas);
    }
    if (!drawn) {
        LogError("fail to draw %s\n", first.c_str());
        return false;
    }

    const DrawingImage mask = LoadDrawingImage(maskPath, element.image_kind, run);
    const DrawingImage icon =
        mask != nullptr ? LoadDrawingImage(iconPath, element.image_kind, run) : nullptr;
    const DrawingImage foreground =
        icon != nullptr ? LoadDrawingImage(foregroundPath, element.image_kind, run) : nullptr;
    if (foreground == nullptr) {
        LogError("fail to load 第三方mask/icon/fg: %s, %s\n", maskPath.c_str(), iconPath.c_str());
        return false;
    }
    const gfx::Rect dest = RectOf(element.rect);
    if (dest.empty()) {
        return true;
    }
    return canvas.DrawImage(*icon, gfx::Rect{0, 0, icon->width(), icon->height()}, dest,
                            gfx::BlendMode::kAlpha) &&
           canvas.DrawImage(*foreground, gfx::Rect{0, 0, foreground->width(), foreground->height()},
                            dest, gfx::BlendMode::kAlpha);
}

// A black canvas of the screen's size. Screens are drawn again and again on
// the same few threads, so each thread keeps its canvas: a fresh picture of a
// full screen would be mapped, faulted in page by page and unmapped again for
// every preview.
gfx::Canvas& ScreenCanvas(int width, int height) {
    thread_local gfx::Canvas canvas;
    if (canvas.ok() && canvas.width() == width && canvas.height() == height) {
        canvas.FillRect(gfx::Rect{0, 0, width, height}, gfx::Color{0, 0, 0}, 255);
    } else {
        canvas = gfx::Canvas(width, height);
    }
    return canvas;
}

bool DrawElementIn(const ThemeElement& element, gfx::Canvas& canvas, ScreenRun* run) {
    if (element.tag == "icon" || element.tag == "icongroup") {
        return DrawIcon(element, canvas, run);
    }
    if (element.tag == "mask") {
        return DrawMask(element, canvas, run);
    }
    if (element.tag == "text") {
        return canvas.DrawText(element.rect.left, element.rect.top, AnsiToUtf8(element.text),
                               element.size, RgbOf(element.color));
    }
    if (element.tag == "colorblock") {
        canvas.FillRect(RectOf(element.rect), RgbOf(element.color), AlphaOf(element.color));
        return true;
    }
    return false;
}

// Draws the screen and writes its preview file; drawn (when given) is
// pointed at the picture, which stays as it is until the thread draws
// another screen.
bool DrawScreenIn(const ThemePackage& screen, ScreenRun* run, const gfx::Image** drawn = nullptr) {
    const ModuleContext& context = *screen.context;
    MakeFolderPath(FormatString("%s/%s", context.module_path.c_str(), kPreviewFolder));
    const std::string output = PreviewPath(screen);

    gfx::Canvas& canvas = ScreenCanvas(context.screen_width, context.screen_height);
    if (!canvas.ok()) {
        LogError("can not save image for screen %d\n", screen.index);
        return false;
    }
    for (std::size_t k = 0; k < screen.elements.size(); ++k) {
        const ThemeElement& element = screen.elements[k];
        // One element that cannot be drawn never fails its screen, and so
        // never an open: it is marked by its outline for the designer.
        if (!DrawElementIn(element, canvas, run)) {
            LogWarn("element %d of screen %d cannot be drawn: drawn as an outline\n",
                    element.element_id, screen.index);
            canvas.StrokeRect(RectOf(element.rect), kUndrawableOutline);
        }
    }
    if (!gfx::SaveJpeg(canvas.image(), output)) {
        LogError("can not save image for screen %d\n", screen.index);
        return false;
    }
    if (drawn != nullptr) {
        *drawn = &canvas.image();
    }
    return true;
}

bool DrawScreenAt(const ThemePackage& screen, int screenId, ScreenRun& run,
                  const gfx::Image** drawn) {
    if (!DrawScreenIn(screen, &run, drawn)) {
        LogError("draw screen %d failed\n", screenId);
        return false;
    }
    return true;
}

// Guarded by HookMutex().
std::function<void(const ThemePackage&)>& DrawingHook() {
    static std::function<void(const ThemePackage&)> hook;
    return hook;
}

std::mutex& HookMutex() {
    static std::mutex mutex;
    return mutex;
}

void ReportDrawingBegun(const ThemePackage& screen) {
    std::lock_guard lock(HookMutex());
    if (DrawingHook()) {
        DrawingHook()(screen);
    }
}

}  // namespace

std::string PreviewPath(const ThemePackage& screen) {
    const std::string folder =
        FormatString("%s/%s", screen.context->module_path.c_str(), kPreviewFolder);
    return FormatString("%s/preview%d_suit.jpg", folder.c_str(), screen.index + 1);
}

bool DrawElement(const ThemeElement& element, gfx::Canvas& canvas) {
    return DrawElementIn(element, canvas, nullptr);
}

bool DrawElement(const ThemeElement& element, gfx::Canvas& canvas,
                 const DrawingPictures& pictures) {
    ScreenRun run(pictures);
    return DrawElementIn(element, canvas, &run);
}

bool DrawScreen(const ThemePackage& screen) {
    return DrawScreenIn(screen, nullptr);
}

bool RedrawScreens(const ThemeModule& module, int index) {
    return RedrawScreens(module, index, -1, nullptr);
}

bool RedrawScreens(const ThemeModule& module, int index, int current, const DrawnScreenStep& then) {
    const int count = static_cast<int>(module.screens.size());
    int first = index;
    int last = index;
    if (index < 0) {
        first = 0;
        last = count - 1;
    } else if ((index == 0 || index == 1) && count >= 2) {
        first = 0;
        last = 1;
    } else if (index >= count) {
        LogError("draw screen %d failed\n", index);
        return false;
    }
    // The screen the designer looks at is begun first; the others follow in
    // their order.
    std::vector<int> order;
    if (current >= first && current <= last) {
        order.push_back(current);
    }
    for (int i = first; i <= last; ++i) {
        if (i != current) {
            order.push_back(i);
        }
    }
    return RedrawTheseScreens(module, order, then);
}

bool RedrawTheseScreens(const ThemeModule& module, const std::vector<int>& order,
                        const DrawnScreenStep& then) {
    const int count = static_cast<int>(module.screens.size());
    for (int index : order) {
        if (index < 0 || index >= count) {
            LogError("draw screen %d failed\n", index);
            return false;
        }
    }
    ScreenRun run(module, order);
    // Once a screen failed, the screens not yet begun are left alone; those
    // already under way are finished, which only makes their pictures
    // current. The log reads as if the screens were drawn one after another,
    // up to the first that failed.
    std::atomic<bool> failed{false};
    // Screens begin strictly in their order, though several are drawn at once.
    std::mutex beginning;
    std::condition_variable begun;
    std::size_t begunCount = 0;
    return ForEachOnAllCoresInLogOrder(order.size(), [&](std::size_t k) {
        const ThemePackage& screen = module.screens[order[k]];
        bool skip = false;
        {
            std::unique_lock lock(beginning);
            begun.wait(lock, [&] { return begunCount == k; });
            skip = failed.load();
            if (!skip) {
                ReportDrawingBegun(screen);
            }
            ++begunCount;
        }
        begun.notify_all();
        if (skip) {
            return false;
        }
        const gfx::Image* picture = nullptr;
        const bool drawn = DrawScreenAt(screen, order[k], run, &picture) &&
                           (then == nullptr || then(screen, *picture));
        if (!drawn) {
            failed = true;
        }
        return drawn;
    });
}

void SetScreenDrawingHook(std::function<void(const ThemePackage&)> hook) {
    std::lock_guard lock(HookMutex());
    DrawingHook() = std::move(hook);
}

}  // namespace sw
