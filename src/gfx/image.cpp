#include "gfx/image.h"

#include <cairo.h>
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace sw::gfx {

namespace {

// Pictures of a large page and more (screens, wallpapers, decoded
// backgrounds) get pixel memory of their own, asked for in large pages: a
// decode or a drawing then faults a few times instead of once every 4 KiB,
// which in a virtual machine costs more than writing the pixels. Smaller
// pictures keep Cairo's own memory.
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kSmallPage = 4096;

std::size_t RoundUp(std::size_t value, std::size_t step) {
    return (value + step - 1) / step * step;
}

struct PixelMemory {
    void* start;
    std::size_t size;
};

const cairo_user_data_key_t kPixelMemoryKey{};

void ReleasePixelMemory(void* data) {
    auto* memory = static_cast<PixelMemory*>(data);
    ::munmap(memory->start, memory->size);
    delete memory;
}

// A surface whose pixels (every byte 0) start on a large-page boundary;
// nullptr when the picture is small or the memory cannot be had, and Cairo
// then makes its own.
cairo_surface_t* SurfaceInLargePages(cairo_format_t format, int width, int height) {
    const int stride = cairo_format_stride_for_width(format, width);
    if (stride <= 0) {
        return nullptr;
    }
    const std::size_t bytes = RoundUp(static_cast<std::size_t>(stride) * height, kSmallPage);
    if (bytes < kLargePage) {
        return nullptr;
    }
    const std::size_t mapped = bytes + kLargePage;
    void* base =
        ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) {
        return nullptr;
    }
    // Only the aligned part is kept.
    const auto first = reinterpret_cast<std::uintptr_t>(base);
    const std::uintptr_t aligned = RoundUp(first, kLargePage);
    if (aligned > first) {
        ::munmap(base, aligned - first);
    }
    const std::uintptr_t end = aligned + bytes;
    if (first + mapped > end) {
        ::munmap(reinterpret_cast<void*>(end), first + mapped - end);
    }
    void* pixels = reinterpret_cast<void*>(aligned);
    // Advice only: without large pages the memory works all the same.
    ::madvise(pixels, bytes, MADV_HUGEPAGE);
    auto* memory = new PixelMemory{pixels, bytes};
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(pixels), format, width, height, stride);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface, &kPixelMemoryKey, memory, ReleasePixelMemory) !=
            CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        ReleasePixelMemory(memory);
        return nullptr;
    }
    return surface;
}

}  // namespace

Image::Image(cairo_surface_t* surface, AlphaState state)
    : surface_(surface),
      width_(cairo_image_surface_get_width(surface)),
      height_(cairo_image_surface_get_height(surface)),
      stride_(cairo_image_surface_get_stride(surface)),
      alpha_state_(state) {}

Image::Image(Image&& other) noexcept
    : surface_(std::exchange(other.surface_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      stride_(std::exchange(other.stride_, 0)),
      alpha_state_(std::exchange(other.alpha_state_, AlphaState::kOpaque)) {}

Image& Image::operator=(Image&& other) noexcept {
    if (this != &other) {
        if (surface_ != nullptr) {
            cairo_surface_destroy(surface_);
        }
        surface_ = std::exchange(other.surface_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        stride_ = std::exchange(other.stride_, 0);
        alpha_state_ = std::exchange(other.alpha_state_, AlphaState::kOpaque);
    }
    return *this;
}

Image::~Image() {
    if (surface_ != nullptr) {
        cairo_surface_destroy(surface_);
    }
}

Image Image::Create(int width, int height, bool with_alpha) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxImagePixels) {
        return Image();
    }
    const cairo_format_t format = with_alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    cairo_surface_t* surface = SurfaceInLargePages(format, width, height);
    if (surface == nullptr) {
        surface = cairo_image_surface_create(format, width, height);
    }
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return Image();
    }
    return Image(surface, with_alpha ? AlphaState::kStraight : AlphaState::kOpaque);
}

void Image::set_alpha_state(AlphaState state) {
    // A 24-bit image has no alpha to speak of, and a 32-bit one always has.
    if (has_alpha() && state != AlphaState::kOpaque) {
        alpha_state_ = state;
    }
}

uint8_t* Image::row(int y) {
    return cairo_image_surface_get_data(surface_) + static_cast<std::ptrdiff_t>(y) * stride_;
}

const uint8_t* Image::row(int y) const {
    return cairo_image_surface_get_data(surface_) + static_cast<std::ptrdiff_t>(y) * stride_;
}

void Image::MarkDirty() {
    if (surface_ != nullptr) {
        cairo_surface_mark_dirty(surface_);
    }
}

Pixel Image::PixelAt(int x, int y) const {
    const uint8_t* p = row(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

void Image::SetPixel(int x, int y, Pixel pixel) {
    uint8_t* p = row(y) + x * 4;
    p[0] = pixel.b;
    p[1] = pixel.g;
    p[2] = pixel.r;
    p[3] = pixel.a;
}

Pixel Image::StraightPixelAt(int x, int y) const {
    Pixel p = PixelAt(x, y);
    switch (alpha_state_) {
        case AlphaState::kOpaque:
            p.a = 255;
            return p;
        case AlphaState::kStraight:
            return p;
        case AlphaState::kPremultipliedExceptBorder:
            if (x == 0 || y == 0 || x == width_ - 1 || y == height_ - 1) {
                return p;
            }
            break;
        case AlphaState::kPremultiplied:
            break;
    }
    if (p.a == 0) {
        return {0, 0, 0, 0};
    }
    auto unmultiply = [&](uint8_t c) {
        int v = (c * 255 + p.a / 2) / p.a;
        return static_cast<uint8_t>(v > 255 ? 255 : v);
    };
    return {unmultiply(p.b), unmultiply(p.g), unmultiply(p.r), p.a};
}

}  // namespace sw::gfx
