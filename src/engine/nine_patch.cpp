#include "engine/nine_patch.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/kept_pictures.h"
#include "engine/theme_module.h"

namespace sw {

namespace {

constexpr gfx::Pixel kOpaqueBlack{0, 0, 0, 255};
constexpr gfx::Pixel kTransparent{0, 0, 0, 0};

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

struct Extents {
    std::int64_t fixed = 0;
    std::int64_t stretchable = 0;
};

Extents SumRuns(const std::vector<NinePatchImage::Run>& runs) {
    Extents sums;
    for (const NinePatchImage::Run& run : runs) {
        (run.stretchable ? sums.stretchable : sums.fixed) += run.end - run.start;
    }
    return sums;
}

// The destination sizes of the runs for a target length: fixed runs keep their
// size, stretchable ones share what is left in proportion (cut toward zero),
// and whatever the cuts lost goes to the last stretchable run.
std::vector<std::int64_t> RunSizes(const std::vector<NinePatchImage::Run>& runs,
                                   std::int64_t target) {
    const Extents sums = SumRuns(runs);
    std::vector<std::int64_t> sizes;
    std::int64_t total = 0;
    int lastStretchable = -1;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::int64_t own = runs[i].end - runs[i].start;
        std::int64_t size = own;
        if (runs[i].stretchable) {
            size = own * (target - sums.fixed) / sums.stretchable;
            lastStretchable = static_cast<int>(i);
        }
        sizes.push_back(size);
        total += size;
    }
    const std::int64_t remainder = target - total;
    if (remainder != 0 && lastStretchable >= 0) {
        sizes[lastStretchable] += remainder;
    }
    return sizes;
}

}  // namespace

bool NinePatchImage::Load(const std::string& path) {
    image_.reset();
    loaded_ = false;
    valid_ = false;
    column_runs_.clear();
    row_runs_.clear();
    source_grid_.clear();
    // Read as a plain picture is, premultiplied whole: the marks are opaque
    // black or wholly transparent either way.
    image_ = DrawingPictureOf(path, kImageKindPng);
    if (image_ == nullptr) {
        return false;
    }
    loaded_ = true;
    valid_ = Parse();
    return true;
}

const gfx::Image& NinePatchImage::image() const {
    static const gfx::Image kNone;
    return image_ != nullptr ? *image_ : kNone;
}

bool NinePatchImage::ReadRuns(int x0, int y0, int dx, int dy, int count,
                              std::vector<Run>& runs) const {
    runs.clear();
    for (int i = 0; i < count; ++i) {
        const int position = 1 + i;
        const gfx::Pixel p = image().PixelAt(x0 + dx * i, y0 + dy * i);
        bool black = false;
        if (p == kOpaqueBlack) {
            black = true;
        } else if (!(p == kTransparent)) {
            return false;
        }
        if (runs.empty() || runs.back().stretchable != black) {
            if (!runs.empty()) {
                runs.back().end = position;
            }
            runs.push_back(Run{position, position, black});
        }
    }
    if (!runs.empty()) {
        runs.back().end = count + 1;
    }
    return true;
}

bool NinePatchImage::Parse() {
    // Only a 32-bit image carries marks, and it needs a pixel inside its
    // border to have anything to stretch.
    if (image().bits_per_pixel() != 32 || image().width() < 3 || image().height() < 3) {
        return false;
    }
    if (!ReadRuns(0, 1, 0, 1, image().height() - 2, row_runs_)) {
        row_runs_.clear();
        return false;
    }
    if (!ReadRuns(1, 0, 1, 0, image().width() - 2, column_runs_)) {
        row_runs_.clear();
        column_runs_.clear();
        return false;
    }
    for (const Run& r : row_runs_) {
        std::vector<Cell> row;
        for (const Run& c : column_runs_) {
            row.push_back(Cell{c.start, r.start, c.end - c.start, r.end - r.start});
        }
        source_grid_.push_back(std::move(row));
    }
    return true;
}

bool NinePatchImage::Draw(gfx::Canvas& target, int x, int y, int width, int height) const {
    if (!loaded_) {
        return false;
    }
    if (!valid_) {
        if (width > 0 && height > 0) {
            target.DrawImage(image(), gfx::Rect{0, 0, image().width(), image().height()},
                             gfx::Rect{x, y, width, height},
                             image().has_alpha() ? gfx::BlendMode::kAlpha : gfx::BlendMode::kCopy);
        }
        return true;
    }
    const std::vector<std::int64_t> heights = RunSizes(row_runs_, height);
    const std::vector<std::int64_t> widths = RunSizes(column_runs_, width);
    std::int64_t cellY = y;
    for (std::size_t i = 0; i < source_grid_.size(); ++i) {
        std::int64_t cellX = x;
        for (std::size_t j = 0; j < source_grid_[i].size(); ++j) {
            const Cell& source = source_grid_[i][j];
            if (widths[j] > 0 && heights[i] > 0 && source.width > 0 && source.height > 0) {
                target.DrawImage(image(),
                                 gfx::Rect{source.x, source.y, source.width, source.height},
                                 gfx::Rect{ClampToInt(cellX), ClampToInt(cellY),
                                           ClampToInt(widths[j]), ClampToInt(heights[i])},
                                 gfx::BlendMode::kAlpha);
            }
            cellX += widths[j];
        }
        cellY += heights[i];
    }
    return true;
}

bool NinePatchImage::IsNinePatch() const {
    auto stretches = [](const std::vector<Run>& runs) {
        return std::any_of(runs.begin(), runs.end(), [](const Run& r) { return r.stretchable; });
    };
    return valid_ && stretches(column_runs_) && stretches(row_runs_);
}

bool IsNinePatch(const std::string& path) {
    NinePatchImage image;
    return image.Load(path) && image.IsNinePatch();
}

}  // namespace sw
