#include "check/contrast.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace sw::check {

namespace {

// The linear light of every 8-bit sRGB channel value.
const std::array<double, 256>& LinearTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            values[static_cast<std::size_t>(i)] =
                c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return values;
    }();
    return table;
}

}  // namespace

double RelativeLuminance(int red, int green, int blue) {
    const auto& linear = LinearTable();
    return 0.2126 * linear[static_cast<std::size_t>(red & 0xFF)] +
           0.7152 * linear[static_cast<std::size_t>(green & 0xFF)] +
           0.0722 * linear[static_cast<std::size_t>(blue & 0xFF)];
}

double ContrastRatio(double luminance1, double luminance2) {
    const double lighter = std::max(luminance1, luminance2);
    const double darker = std::min(luminance1, luminance2);
    return (lighter + 0.05) / (darker + 0.05);
}

bool MeanLuminance(const std::vector<Layer>& layers, const Rect& area, double& luminance) {
    if (layers.empty() || layers[0].image == nullptr || layers[0].image->empty()) {
        return false;
    }
    const Rect& base = layers[0].place;
    const int left = std::max(area.left, base.left);
    const int top = std::max(area.top, base.top);
    const int right = std::min(area.right, base.right);
    const int bottom = std::min(area.bottom, base.bottom);
    if (left >= right || top >= bottom) {
        return false;
    }
    const auto& linear = LinearTable();
    double sum = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            double rgb[3] = {0, 0, 0};
            for (const Layer& layer : layers) {
                const Rect& place = layer.place;
                if (layer.image == nullptr || layer.image->empty() || x < place.left ||
                    x >= place.right || y < place.top || y >= place.bottom) {
                    continue;
                }
                const int border = layer.nine_patch ? 1 : 0;
                const int width = layer.image->width() - 2 * border;
                const int height = layer.image->height() - 2 * border;
                if (width <= 0 || height <= 0) {
                    continue;
                }
                const int ix = border + static_cast<int>(static_cast<long long>(x - place.left) *
                                                         width / place.width());
                const int iy = border + static_cast<int>(static_cast<long long>(y - place.top) *
                                                         height / place.height());
                const gfx::Pixel p = layer.image->StraightPixelAt(ix, iy);
                const double a = layer.image->has_alpha() ? p.a / 255.0 : 1.0;
                rgb[0] = a * linear[p.r] + (1 - a) * rgb[0];
                rgb[1] = a * linear[p.g] + (1 - a) * rgb[1];
                rgb[2] = a * linear[p.b] + (1 - a) * rgb[2];
            }
            sum += 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2];
        }
    }
    luminance = sum / (static_cast<double>(right - left) * (bottom - top));
    return true;
}

double TextLuminanceOver(PackedColor color, double background) {
    const double alpha = AlphaOf(color) / 255.0;
    const double text = RelativeLuminance(RedOf(color), GreenOf(color), BlueOf(color));
    return alpha * text + (1 - alpha) * background;
}

}  // namespace sw::check
