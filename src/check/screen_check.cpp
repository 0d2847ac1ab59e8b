#include "check/screen_check.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "check/contrast.h"
#include "core/on_all_cores.h"
#include "core/text.h"
#include "engine/resolution.h"
#include "engine/values.h"
#include "gfx/image_decode.h"

namespace sw::check {

namespace {

// An element moved here is switched off by the settings forms, not lost.
constexpr const char* kOffPosition = "-2080px";
// Image files are made for the xxhdpi screen.
constexpr int kImageDensity = 480;

bool HasImages(const ThemeElement& element) {
    return element.tag == "icon" || element.tag == "icongroup" || element.tag == "mask";
}

class ScreenChecker {
  public:
    ScreenChecker(const ThemeModule& module, const ImageSizes& sizes, Findings& findings,
                  bool judgeTexts)
        : module_(module), sizes_(sizes), findings_(findings), judge_texts_(judgeTexts) {
        std::string page;
        module.PageName(page);
        page_ = AnsiToUtf8(page);
        wallpaper_category_ = Utf8ToAnsi("壁纸");
        icon_category_ = Utf8ToAnsi("图标");
        std::string iconSize;
        if (LookupValue(module.context, "app_icon_size", iconSize)) {
            icon_size_ = ParseDimension(iconSize, kImageDensity);
        }
    }

    void Run() {
        if (judge_texts_) {
            DecodePicturesUnderTexts();
        }
        for (const ThemePackage& screen : module_.screens) {
            const ThemeElement* wallpaper = nullptr;
            for (std::size_t i = 0; i < screen.elements.size(); ++i) {
                const ThemeElement& element = screen.elements[i];
                if (IsFullScreen(element)) {
                    CheckFullScreen(element);
                    if (wallpaper == nullptr && !element.images.empty()) {
                        wallpaper = &element;
                    }
                }
                if (element.tag == "icon" && element.category == icon_category_) {
                    CheckIcon(element);
                }
                if (judge_texts_ && element.tag == "text" && wallpaper != nullptr) {
                    CheckContrast(screen, i, *wallpaper);
                }
                CheckOnScreen(element);
            }
        }
    }

  private:
    // A picture under a text, bottom first.
    struct PlannedLayer {
        std::string path;
        Rect place;
        bool nine_patch = false;
    };

    // The first full-screen picture of a screen before element index, as
    // the texts are judged against it; null when there is none.
    const ThemeElement* WallpaperBefore(const ThemePackage& screen, std::size_t index) const {
        for (std::size_t i = 0; i < index; ++i) {
            const ThemeElement& element = screen.elements[i];
            if (IsFullScreen(element) && !element.images.empty()) {
                return &element;
            }
        }
        return nullptr;
    }

    // Every picture any text lies on is decoded once, on every core, before
    // the texts are judged one by one.
    void DecodePicturesUnderTexts() {
        std::set<std::string> paths;
        for (const ThemePackage& screen : module_.screens) {
            for (std::size_t i = 0; i < screen.elements.size(); ++i) {
                if (screen.elements[i].tag != "text") {
                    continue;
                }
                const ThemeElement* wallpaper = WallpaperBefore(screen, i);
                if (wallpaper == nullptr) {
                    continue;
                }
                for (const PlannedLayer& layer : LayersUnder(screen, i, *wallpaper)) {
                    if (sizes_.count(layer.path) != 0 && images_.count(layer.path) == 0) {
                        paths.insert(layer.path);
                    }
                }
            }
        }
        const std::vector<std::string> list(paths.begin(), paths.end());
        std::vector<std::unique_ptr<gfx::Image>> decoded(list.size());
        ForEachOnAllCores(list.size(), [&](std::size_t i) {
            auto image = std::make_unique<gfx::Image>();
            if (gfx::DecodeImage(list[i], image.get())) {
                decoded[i] = std::move(image);
            }
        });
        for (std::size_t i = 0; i < list.size(); ++i) {
            images_.emplace(list[i], std::move(decoded[i]));
        }
    }

    bool IsFullScreen(const ThemeElement& element) const {
        if (!HasImages(element)) {
            return false;
        }
        const Rect& r = element.rect;
        return element.category == wallpaper_category_ ||
               (r.left <= 0 && r.top <= 0 && r.right >= module_.context.screen_width &&
                r.bottom >= module_.context.screen_height);
    }

    void Add(Level level, const ThemeElement& element, const std::string& file,
             const std::string& message) {
        findings_.push_back(
            {level, module_.name, file, message, page_, element.screen_id, element.element_id});
    }

    std::string Relative(const std::string& path) const {
        const std::string prefix = module_.path + "/";
        return path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : path;
    }

    static std::string NameOf(const ThemeElement& element) {
        if (!element.descriptions.empty() && !element.descriptions[0].empty()) {
            return AnsiToUtf8(element.descriptions[0]);
        }
        if (!element.text.empty()) {
            return AnsiToUtf8(element.text);
        }
        return element.tag;
    }

    void CheckFullScreen(const ThemeElement& element) {
        for (const std::string& path : element.images) {
            const auto size = sizes_.find(path);
            if (size == sizes_.end() || !reported_.insert("full:" + path).second) {
                continue;
            }
            if (size->second.width != kFullScreenWidth ||
                size->second.height != kFullScreenHeight) {
                Add(Level::kError, element, Relative(path),
                    FormatString("全屏图片的尺寸是 %d×%d，须是 %d×%d", size->second.width,
                                 size->second.height, kFullScreenWidth, kFullScreenHeight));
            }
        }
    }

    void CheckIcon(const ThemeElement& element) {
        if (icon_size_ <= 0) {
            return;
        }
        for (const std::string& path : element.images) {
            const auto size = sizes_.find(path);
            if (size == sizes_.end() || !reported_.insert("icon:" + path).second) {
                continue;
            }
            if (size->second.width != icon_size_ || size->second.height != icon_size_) {
                Add(Level::kWarn, element, Relative(path),
                    FormatString("图标“%s”的尺寸是 %d×%d，与模板的图标尺寸 %d×%d 不同",
                                 NameOf(element).c_str(), size->second.width, size->second.height,
                                 icon_size_, icon_size_));
            }
        }
    }

    // The decoded image file; null when it does not decode.
    const gfx::Image* Decoded(const std::string& path) {
        auto found = images_.find(path);
        if (found == images_.end()) {
            auto image = std::make_unique<gfx::Image>();
            if (sizes_.count(path) == 0 || !gfx::DecodeImage(path, image.get())) {
                image.reset();
            }
            found = images_.emplace(path, std::move(image)).first;
        }
        return found->second.get();
    }

    static const std::string& ShownImage(const ThemeElement& element) {
        const int index = element.image_index;
        return index >= 0 && static_cast<std::size_t>(index) < element.images.size()
                   ? element.images[static_cast<std::size_t>(index)]
                   : element.images[0];
    }

    static bool Overlap(const Rect& a, const Rect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }

    // What lies under the text: the wallpaper, and over it every picture
    // drawn before the text where it overlaps the text (a card, a panel, a
    // calendar page), so a text on a panel is judged against the panel.
    // Empty when the text or the wallpaper has no area.
    std::vector<PlannedLayer> LayersUnder(const ThemePackage& screen, std::size_t index,
                                          const ThemeElement& wallpaper) const {
        const ThemeElement& text = screen.elements[index];
        std::vector<PlannedLayer> layers;
        if (text.rect.width() <= 0 || text.rect.height() <= 0 || wallpaper.rect.width() <= 0 ||
            wallpaper.rect.height() <= 0) {
            return layers;
        }
        layers.push_back({wallpaper.images[0], wallpaper.rect, false});
        for (std::size_t i = 0; i < index; ++i) {
            const ThemeElement& under = screen.elements[i];
            if ((under.tag != "icon" && under.tag != "icongroup") || under.images.empty() ||
                &under == &wallpaper || IsFullScreen(under) || under.rect.width() <= 0 ||
                under.rect.height() <= 0 || !Overlap(under.rect, text.rect)) {
                continue;
            }
            layers.push_back(
                {ShownImage(under), under.rect, under.image_kind == kImageKindNinePatch});
        }
        return layers;
    }

    void CheckContrast(const ThemePackage& screen, std::size_t index,
                       const ThemeElement& wallpaper) {
        const ThemeElement& text = screen.elements[index];
        const std::vector<PlannedLayer> planned = LayersUnder(screen, index, wallpaper);
        if (planned.empty() || Decoded(planned[0].path) == nullptr) {
            return;
        }
        std::vector<Layer> layers;
        for (const PlannedLayer& layer : planned) {
            if (const gfx::Image* image = Decoded(layer.path)) {
                layers.push_back({image, layer.place, layer.nine_patch});
            }
        }
        double background = 0;
        if (!MeanLuminance(layers, text.rect, background)) {
            return;
        }
        const double ratio = ContrastRatio(TextLuminanceOver(text.color, background), background);
        if (ratio < kMinimumContrast) {
            Add(Level::kWarn, text, "template.xml",
                FormatString("文字“%s”的颜色 %s 与其下图片的对比度只有 %.2f:1，低于 3:1，"
                             "在手机上难以看清",
                             NameOf(text).c_str(), FormatColor(text.color).c_str(), ratio));
        }
    }

    void CheckOnScreen(const ThemeElement& element) {
        const Rect& r = element.rect;
        const int width = module_.context.screen_width;
        const int height = module_.context.screen_height;
        const bool outside = r.left >= width || r.top >= height ||
                             (r.width() > 0 && r.right <= 0) || (r.height() > 0 && r.bottom <= 0) ||
                             (r.width() <= 0 && r.left < 0) || (r.height() <= 0 && r.top < 0);
        if (!outside) {
            return;
        }
        std::string left;
        if (LookupValue(module_.context, element.Attribute("left"), left) &&
            Trim(left) == kOffPosition) {
            return;
        }
        Add(Level::kWarn, element, "template.xml",
            FormatString("元素“%s”位于 (%d, %d) %d×%d，完全在 %d×%d 的屏幕之外",
                         NameOf(element).c_str(), r.left, r.top, r.width(), r.height(), width,
                         height));
    }

    const ThemeModule& module_;
    const ImageSizes& sizes_;
    Findings& findings_;
    bool judge_texts_ = true;
    std::string page_;
    std::string wallpaper_category_;
    std::string icon_category_;
    int icon_size_ = 0;
    std::set<std::string> reported_;
    std::map<std::string, std::unique_ptr<gfx::Image>> images_;
};

}  // namespace

void CheckScreens(const ThemeModule& module, const ImageSizes& sizes, Findings& findings,
                  bool judgeTexts) {
    ScreenChecker(module, sizes, findings, judgeTexts).Run();
}

}  // namespace sw::check
