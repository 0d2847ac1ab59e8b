#include "engine/screen_drawing.h"

#include <algorithm>

#include "core/files.h"
#include "core/log.h"
#include "core/text.h"
#include "engine/nine_patch.h"
#include "gfx/image_decode.h"
#include "gfx/image_encode.h"

namespace sw {

namespace {

constexpr const char* kPreviewFolder = "preview/xxhdpi";

gfx::Rect RectOf(const Rect& r) {
    return gfx::Rect{r.left, r.top, r.width(), r.height()};
}

gfx::Color RgbOf(PackedColor c) {
    return gfx::Color{RedOf(c), GreenOf(c), BlueOf(c)};
}

gfx::BlendMode BlendFor(const gfx::Image& image) {
    return image.has_alpha() ? gfx::BlendMode::kAlpha : gfx::BlendMode::kCopy;
}

// Reads an image file ready for blending: 32-bit images are premultiplied,
// nine-patch files (kind 1) all but their border; others are drawn opaque.
bool LoadDrawingImage(const std::string& path, int kind, gfx::Image& image) {
    const gfx::Premultiply rule =
        kind == kImageKindNinePatch ? gfx::Premultiply::kKeepBorder : gfx::Premultiply::kAll;
    return gfx::DecodeImage(path, &image, rule);
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

bool DrawIcon(const ThemeElement& element, gfx::Canvas& canvas) {
    if (element.image_index < 0 ||
        static_cast<std::size_t>(element.image_index) >= element.images.size()) {
        return false;
    }
    const std::string& path = element.images[element.image_index];
    if (element.image_kind == kImageKindNinePatch) {
        return DrawNinePatch(element, path, canvas);
    }
    gfx::Image image;
    if (!LoadDrawingImage(path, element.image_kind, image)) {
        LogError("fail to load %s\n", path.c_str());
        return false;
    }
    return DrawPlainImage(element, image, canvas);
}

// The images of a mask element are, in order: the first image (drawn like an
// icon), the icon, the foreground and the mask, which is checked but not drawn.
bool DrawMask(const ThemeElement& element, gfx::Canvas& canvas) {
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
        gfx::Image image;
        drawn = LoadDrawingImage(first, element.image_kind, image) &&
                DrawPlainImage(element, image, canvas);
    }
    if (!drawn) {
        LogError("fail to draw %s\n", first.c_str());
        return false;
    }

    gfx::Image mask;
    gfx::Image icon;
    gfx::Image foreground;
    if (!LoadDrawingImage(maskPath, element.image_kind, mask) ||
        !LoadDrawingImage(iconPath, element.image_kind, icon) ||
        !LoadDrawingImage(foregroundPath, element.image_kind, foreground)) {
        LogError("fail to load 第三方mask/icon/fg: %s, %s\n", maskPath.c_str(), iconPath.c_str());
        return false;
    }
    const gfx::Rect dest = RectOf(element.rect);
    if (dest.empty()) {
        return true;
    }
    return canvas.DrawImage(icon, gfx::Rect{0, 0, icon.width(), icon.height()}, dest,
                            gfx::BlendMode::kAlpha) &&
           canvas.DrawImage(foreground, gfx::Rect{0, 0, foreground.width(), foreground.height()},
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

bool DrawScreenAt(const ThemePackage& screen, int screenId) {
    if (!DrawScreen(screen)) {
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
    if (element.tag == "icon" || element.tag == "icongroup") {
        return DrawIcon(element, canvas);
    }
    if (element.tag == "mask") {
        return DrawMask(element, canvas);
    }
    if (element.tag == "text") {
        canvas.DrawText(element.rect.left, element.rect.top, AnsiToUtf8(element.text), element.size,
                        RgbOf(element.color));
        return true;
    }
    if (element.tag == "colorblock") {
        canvas.FillRect(RectOf(element.rect), RgbOf(element.color), AlphaOf(element.color));
        return true;
    }
    return false;
}

bool DrawScreen(const ThemePackage& screen) {
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
        if (!DrawElement(element, canvas)) {
            LogError("draw element %d failed\n", element.element_id);
            LogError("draw screen %d -> element %d failed.\n", screen.index, static_cast<int>(k));
            return false;
        }
    }
    if (!gfx::SaveJpeg(canvas.image(), output)) {
        LogError("can not save image for screen %d\n", screen.index);
        return false;
    }
    return true;
}

bool RedrawScreens(const ThemeModule& module, int index) {
    const int count = static_cast<int>(module.screens.size());
    if (index < 0) {
        for (int i = 0; i < count; ++i) {
            if (!DrawScreenAt(module.screens[i], i)) {
                return false;
            }
        }
        return true;
    }
    if ((index == 0 || index == 1) && count >= 2) {
        return DrawScreenAt(module.screens[0], 0) && DrawScreenAt(module.screens[1], 1);
    }
    if (index >= count) {
        LogError("draw screen %d failed\n", index);
        return false;
    }
    return DrawScreenAt(module.screens[index], index);
}

}  // namespace sw
