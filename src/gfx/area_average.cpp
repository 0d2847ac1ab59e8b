#include "gfx/area_average.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace sw::gfx {

namespace {

// The weights of a source span: together they make kWhole. A byte times a
// weight fits 16-bit lanes' widening multiply, which keeps the loops fast.
constexpr std::uint32_t kWholeBits = 14;
constexpr std::uint32_t kWhole = 1U << kWholeBits;

struct Span {
    int first = 0;
    std::vector<std::uint16_t> weights;
};

// For each of `count` result pixels along a side of `length` source pixels,
// the source pixels it covers and how much of each, in parts of kWhole. The
// weights are cut from running sums so that each span's add up to kWhole.
std::vector<Span> SpansOf(int length, int count) {
    std::vector<Span> spans(count);
    const double step = static_cast<double>(length) / count;
    for (int k = 0; k < count; ++k) {
        const double begin = k * step;
        const double end = k + 1 == count ? length : (k + 1) * step;
        Span& span = spans[k];
        span.first = static_cast<int>(std::floor(begin));
        const int last = std::min(length, static_cast<int>(std::ceil(end))) - 1;
        std::uint32_t given = 0;
        for (int i = span.first; i <= last; ++i) {
            const double covered = std::min<double>(end, i + 1) - begin;
            const auto upTo =
                i == last
                    ? kWhole
                    : static_cast<std::uint32_t>(std::lround(covered / (end - begin) * kWhole));
            span.weights.push_back(static_cast<std::uint16_t>(upTo - given));
            given = upTo;
        }
    }
    return spans;
}

}  // namespace

Image ShrinkByAreaAverage(const Image& source, int width, int height) {
    if (source.empty() || source.alpha_state() == AlphaState::kStraight || width <= 0 ||
        height <= 0 || width > source.width() || height > source.height()) {
        return Image();
    }
    cairo_surface_flush(source.surface());
    Image result = Image::Create(width, height, source.has_alpha());
    if (result.empty()) {
        return result;
    }
    const std::vector<Span> columns = SpansOf(source.width(), width);
    const std::vector<Span> rows = SpansOf(source.height(), height);
    const std::size_t rowBytes = static_cast<std::size_t>(source.width()) * 4;
    // One row of the result at a time: first the source rows it covers
    // added up byte by byte (a loop the compiler runs on wide registers),
    // then the columns.
    std::vector<std::uint32_t> sums(rowBytes);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const Span& span = rows[y];
        for (std::size_t r = 0; r < span.weights.size(); ++r) {
            const std::uint8_t* in = source.row(span.first + static_cast<int>(r));
            const std::uint16_t weight = span.weights[r];
            std::uint32_t* sum = sums.data();
            for (std::size_t b = 0; b < rowBytes; ++b) {
                sum[b] += static_cast<std::uint32_t>(static_cast<std::uint16_t>(in[b]) * weight);
            }
        }
        // Each sum is at most 255 * kWhole; kept to 1/256 of a level, the
        // columns' sums stay within 32 bits.
        constexpr std::uint32_t kRowShift = kWholeBits - 8;
        for (std::uint32_t& sum : sums) {
            sum = (sum + (1U << (kRowShift - 1))) >> kRowShift;
        }
        std::uint8_t* out = result.row(y);
        for (int x = 0; x < width; ++x) {
            const Span& cols = columns[x];
            std::uint32_t pixel[4] = {0, 0, 0, 0};
            const std::uint32_t* at = sums.data() + static_cast<std::size_t>(cols.first) * 4;
            for (const std::uint32_t weight : cols.weights) {
                for (int c = 0; c < 4; ++c) {
                    pixel[c] += at[c] * weight;
                }
                at += 4;
            }
            constexpr std::uint32_t kShift = kWholeBits + 8;
            for (int c = 0; c < 4; ++c) {
                out[x * 4 + c] =
                    static_cast<std::uint8_t>((pixel[c] + (1U << (kShift - 1))) >> kShift);
            }
        }
    }
    result.set_alpha_state(source.alpha_state());
    result.MarkDirty();
    return result;
}

}  // namespace sw::gfx
