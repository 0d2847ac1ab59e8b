#include "gfx/text.h"

#include <fontconfig/fontconfig.h>
#include <glib.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <string>

#include "gfx/sanitizer_hooks.h"
#include "gfx/text_layout.h"

#ifdef SW_GFX_LEAK_CHECKS
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif

#ifdef SW_GFX_THREAD_CHECKS
extern "C" const char* __tsan_default_suppressions() {
    return "race:libfontconfig.so\nrace:libpangoft2-1.0.so\nrace:libglib-2.0.so\n";
}
#endif

namespace sw::gfx {

namespace {

// The theme face first; when it is missing, installed CJK faces in order of
// preference, then whatever fontconfig offers for Chinese.
constexpr const char* kFamilyList =
    "方正兰亭黑_GB18030,WenQuanYi Micro Hei,Noto Sans CJK SC,Source Han Sans SC,"
    "Droid Sans Fallback,sans-serif";

// Pango objects are not safe to share between threads, so one context serves
// the whole process behind one lock.
struct FontState {
    std::mutex mutex;
    PangoFontMap* font_map = nullptr;
    PangoContext* context = nullptr;
    PangoFontDescription* description = nullptr;

    // Called with the mutex held.
    void Reset() {
        if (context != nullptr) {
            g_object_unref(context);
            context = nullptr;
        }
        if (font_map != nullptr) {
            g_object_unref(font_map);
            font_map = nullptr;
        }
    }

    // Called with the mutex held.
    PangoContext* Context() {
        if (context != nullptr) {
            return context;
        }
        font_map = pango_cairo_font_map_new();
        context = pango_font_map_create_context(font_map);
        pango_context_set_language(context, pango_language_from_string("zh-cn"));
        pango_context_set_base_dir(context, PANGO_DIRECTION_LTR);
        // Grey antialiasing and whole-pixel advances, so measuring and drawing
        // agree and text looks the same in every preview.
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        if (description == nullptr) {
            description = pango_font_description_from_string("");
            pango_font_description_set_family(description, kFamilyList);
            pango_font_description_set_weight(description, PANGO_WEIGHT_NORMAL);
            pango_font_description_set_style(description, PANGO_STYLE_NORMAL);
        }
        return context;
    }
};

FontState& Fonts() {
    // Never destroyed: text may be measured from threads that outlive main().
    static FontState* state = new FontState();
    return *state;
}

// Text up to its first NUL byte, with invalid UTF-8 sequences replaced.
std::string ValidText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        return std::string(text);
    }
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

}  // namespace

TextLayout::TextLayout(int size, std::string_view text) : lock_(Fonts().mutex) {
    std::string valid = ValidText(text);
    if (size <= 0 || valid.empty()) {
        return;
    }
    FontState& fonts = Fonts();
    layout_ = pango_layout_new(fonts.Context());
    const int clamped = std::min(size, kMaxTextSize);
    pango_font_description_set_absolute_size(fonts.description, clamped * double(PANGO_SCALE));
    pango_layout_set_font_description(layout_, fonts.description);
    pango_layout_set_single_paragraph_mode(layout_, TRUE);
    pango_layout_set_text(layout_, valid.data(), static_cast<int>(valid.size()));
    PangoRectangle ink;
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout_, &ink, &logical);
    // The logical box (advance width by line height), widened to any ink
    // that reaches past it, with its corner no further out than the origin.
    int left = std::min({0, logical.x, ink.width > 0 ? ink.x : 0});
    int top = std::min({0, logical.y, ink.height > 0 ? ink.y : 0});
    int right = std::max(logical.x + logical.width, ink.width > 0 ? ink.x + ink.width : 0);
    int bottom = std::max(logical.y + logical.height, ink.height > 0 ? ink.y + ink.height : 0);
    box_ = {left, top, right - left, bottom - top};
}

TextLayout::~TextLayout() {
    if (layout_ != nullptr) {
        g_object_unref(layout_);
    }
}

void TextLayout::Show(cairo_t* cr, int x, int y) const {
    if (layout_ == nullptr) {
        return;
    }
    cairo_move_to(cr, x - box_.x, y - box_.y);
    pango_cairo_show_layout(cr, layout_);
}

Size MeasureText(int size, std::string_view text) {
    TextLayout layout(size, text);
    if (layout.empty()) {
        return {};
    }
    return {layout.box().width, layout.box().height};
}

bool IsFontFamilyInstalled(const std::string& family) {
    if (family.empty() || !FcInit()) {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* found = FcFontList(nullptr, pattern, objects);
    bool installed = found != nullptr && found->nfont > 0;
    if (found != nullptr) {
        FcFontSetDestroy(found);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return installed;
}

bool AddFontFile(const std::string& path) {
    if (!FcInit()) {
        return false;
    }
    FontState& fonts = Fonts();
    std::lock_guard<std::mutex> lock(fonts.mutex);
    if (!FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str()))) {
        return false;
    }
    // The font map read fontconfig's list when it was made; the next text
    // gets a fresh one that sees the new face.
    fonts.Reset();
    return true;
}

}  // namespace sw::gfx
