#include "engine/screen_drawing.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "core/files.h"
#include "core/log.h"
#include "core/text.h"
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
// Null when the file cannot be read.
DrawingImage DecodeDrawingImage(const std::string& path, int kind) {
    const gfx::Premultiply rule =
        kind == kImageKindNinePatch ? gfx::Premultiply::kKeepBorder : gfx::Premultiply::kAll;
    auto image = std::make_shared<gfx::Image>();
    if (!gfx::DecodeImage(path, image.get(), rule)) {
        return nullptr;
    }
    return image;
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
// show (a wallpaper on every screen) is decoded once and kept until its last
// use; one shown once is never kept. The next run reads every file again.
class ScreenRun {
  public:
    ScreenRun(const ThemeModule& module, int first, int last) {
        for (int i = first; i <= last; ++i) {
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
            return DecodeDrawingImage(path, kind);
        }
        Entry& entry = found->second;
        DrawingImage image = entry.image != nullptr ? entry.image : DecodeDrawingImage(path, kind);
        if (--entry.uses <= 0) {
            entries_.erase(found);  // its last use: the caller holds it now
        } else {
            entry.image = image;
        }
        return image;
    }

  private:
    struct Entry {
        int uses = 0;
        DrawingImage image;
    };
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

bool DrawScreenIn(const ThemePackage& screen, ScreenRun* run) {
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
    return true;
}

bool DrawScreenAt(const ThemePackage& screen, int screenId, ScreenRun& run) {
    if (!DrawScreenIn(screen, &run)) {
        LogError("draw screen %d failed\n", screenId);
        return false;
    }
    return true;
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

bool DrawScreen(const ThemePackage& screen) {
    return DrawScreenIn(screen, nullptr);
}

bool RedrawScreens(const ThemeModule& module, int index) {
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
    ScreenRun run(module, first, last);
    for (int i = first; i <= last; ++i) {
        if (!DrawScreenAt(module.screens[i], i, run)) {
            return false;
        }
    }
    return true;
}

}  // namespace sw
