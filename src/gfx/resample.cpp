#include "gfx/resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <numbers>
#include <vector>

#include "core/on_all_cores.h"
#include "gfx/premultiply.h"

namespace sw::gfx {

namespace {

// Weights are fixed-point numbers with this many fraction bits: a sum of 8-bit
// samples times weights whose magnitudes add up to well under 2 stays inside
// 32 bits.
constexpr int kWeightBits = 22;
constexpr int32_t kRound = 1 << (kWeightBits - 1);
constexpr double kLobes = 3.0;

double Sinc(double x) {
    if (x == 0.0) {
        return 1.0;
    }
    x *= std::numbers::pi;
    return std::sin(x) / x;
}

double Lanczos(double x) {
    return (x > -kLobes && x < kLobes) ? Sinc(x) * Sinc(x / kLobes) : 0.0;
}

// For every output position: the first source position it reads, how many it
// reads and their weights (taps apart).
struct Kernel {
    int taps = 0;
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int32_t> weights;
};

Kernel MakeKernel(int in, int out) {
    const double scale = static_cast<double>(in) / out;
    const double widen = std::max(scale, 1.0);
    const double support = kLobes * widen;
    Kernel kernel;
    kernel.taps = static_cast<int>(std::ceil(support)) * 2 + 1;
    kernel.first.resize(out);
    kernel.count.resize(out);
    kernel.weights.assign(static_cast<size_t>(out) * kernel.taps, 0);
    std::vector<double> w(kernel.taps);
    for (int o = 0; o < out; ++o) {
        const double center = (o + 0.5) * scale;
        int lo = std::max(0, static_cast<int>(center - support + 0.5));
        int hi = std::min(in, static_cast<int>(center + support + 0.5));
        hi = std::min(hi, lo + kernel.taps);
        double sum = 0.0;
        for (int i = lo; i < hi; ++i) {
            w[i - lo] = Lanczos((i - center + 0.5) / widen);
            sum += w[i - lo];
        }
        kernel.first[o] = lo;
        kernel.count[o] = hi - lo;
        int32_t* fixed = &kernel.weights[static_cast<size_t>(o) * kernel.taps];
        for (int i = 0; i < hi - lo; ++i) {
            const double normal = sum != 0.0 ? w[i] / sum : 0.0;
            fixed[i] = static_cast<int32_t>(std::lround(normal * (1 << kWeightBits)));
        }
    }
    return kernel;
}

inline uint8_t Clamp(int32_t value) {
    value >>= kWeightBits;
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// Rows of four-byte pixels, tightly packed.
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;
    uint8_t* row(int y) { return bytes.data() + static_cast<size_t>(y) * width * 4; }
};

// The rows are filtered in bands, side by side on every core; a row comes
// out the same whichever band holds it.
constexpr int kRowsPerBand = 64;

void ForEachBand(int rows, const std::function<void(int first, int end)>& work) {
    const int bands = (rows + kRowsPerBand - 1) / kRowsPerBand;
    ForEachOnAllCores(static_cast<std::size_t>(bands), [&](std::size_t band) {
        const int first = static_cast<int>(band) * kRowsPerBand;
        work(first, std::min(rows, first + kRowsPerBand));
    });
}

// Every source row filtered across to the new width.
void ResampleAcross(const Image& source, const Kernel& kernel, int width, Plane& out) {
    out.width = width;
    out.height = source.height();
    out.bytes.resize(static_cast<size_t>(width) * out.height * 4);
    ForEachBand(source.height(), [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            const uint8_t* in = source.row(y);
            uint8_t* dst = out.row(y);
            for (int x = 0; x < width; ++x) {
                const uint8_t* s = in + static_cast<size_t>(kernel.first[x]) * 4;
                const int32_t* w = &kernel.weights[static_cast<size_t>(x) * kernel.taps];
                int32_t c0 = kRound, c1 = kRound, c2 = kRound, c3 = kRound;
                for (int i = 0, n = kernel.count[x]; i < n; ++i, s += 4) {
                    c0 += s[0] * w[i];
                    c1 += s[1] * w[i];
                    c2 += s[2] * w[i];
                    c3 += s[3] * w[i];
                }
                dst[x * 4 + 0] = Clamp(c0);
                dst[x * 4 + 1] = Clamp(c1);
                dst[x * 4 + 2] = Clamp(c2);
                dst[x * 4 + 3] = Clamp(c3);
            }
        }
    });
}

// Rows of width pixels, one source row a step, filtered down to the new
// height into the image.
template <typename RowOf>
void ResampleDown(RowOf rowOf, int width, const Kernel& kernel, Image& out) {
    const size_t values = static_cast<size_t>(width) * 4;
    ForEachBand(out.height(), [&](int firstRow, int endRow) {
        std::vector<int32_t> sum(values);
        for (int y = firstRow; y < endRow; ++y) {
            std::fill(sum.begin(), sum.end(), kRound);
            const int32_t* w = &kernel.weights[static_cast<size_t>(y) * kernel.taps];
            for (int i = 0, n = kernel.count[y]; i < n; ++i) {
                const uint8_t* s = rowOf(kernel.first[y] + i);
                const int32_t weight = w[i];
                for (size_t v = 0; v < values; ++v) {
                    sum[v] += s[v] * weight;
                }
            }
            uint8_t* dst = out.row(y);
            for (size_t v = 0; v < values; ++v) {
                dst[v] = Clamp(sum[v]);
            }
        }
    });
}

// Ringing may leave a colour above its alpha, which premultiplied pixels
// cannot hold.
void ClampToAlpha(Image& image) {
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* p = image.row(y);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            p[0] = std::min(p[0], p[3]);
            p[1] = std::min(p[1], p[3]);
            p[2] = std::min(p[2], p[3]);
        }
    }
}

}  // namespace

Image ResampleLanczos(const Image& source, int width, int height) {
    if (source.empty() || width <= 0 || height <= 0 ||
        static_cast<long long>(width) * height > kMaxImagePixels) {
        return Image();
    }
    const Image* input = &source;
    Image premultiplied;
    if (source.alpha_state() == AlphaState::kStraight) {
        premultiplied = Image::Create(source.width(), source.height(), true);
        if (premultiplied.empty()) {
            return Image();
        }
        for (int y = 0; y < source.height(); ++y) {
            std::memcpy(premultiplied.row(y), source.row(y),
                        static_cast<size_t>(source.width()) * 4);
        }
        premultiplied.set_alpha_state(AlphaState::kStraight);
        PremultiplyAlpha(premultiplied);
        input = &premultiplied;
    }

    Image result = Image::Create(width, height, source.has_alpha());
    if (result.empty()) {
        return result;
    }
    Plane across;
    if (width != input->width()) {
        ResampleAcross(*input, MakeKernel(input->width(), width), width, across);
    }
    auto rowOf = [&](int y) -> const uint8_t* {
        return width != input->width() ? across.row(y) : input->row(y);
    };
    if (height != input->height()) {
        ResampleDown(rowOf, width, MakeKernel(input->height(), height), result);
    } else {
        for (int y = 0; y < height; ++y) {
            std::memcpy(result.row(y), rowOf(y), static_cast<size_t>(width) * 4);
        }
    }
    if (source.has_alpha()) {
        ClampToAlpha(result);
        result.set_alpha_state(AlphaState::kPremultiplied);
    } else {
        result.set_alpha_state(AlphaState::kOpaque);
    }
    result.MarkDirty();
    return result;
}

}  // namespace sw::gfx
