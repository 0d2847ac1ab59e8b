// Nine-patch images (".9.png"): a picture with a one-pixel border whose
// black marks on the top row and left column say which columns and rows may
// stretch. Only those stretch marks are read; the padding marks on the bottom
// row and right column are not.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/image.h"

namespace sw {

class NinePatchImage {
  public:
    // A stretch of rows or columns of one kind, in image pixels, end exclusive.
    struct Run {
        int start = 0;
        int end = 0;
        bool stretchable = false;
        bool operator==(const Run&) const = default;
    };
    // A part of the image between the marks.
    struct Cell {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // Reads the file and parses its marks. False when the file cannot be
    // read as an image; a readable file whose marks do not parse is loaded
    // but not valid, and is then drawn as a whole. The picture is one of the
    // kept pictures (kept_pictures.h): while the file is unchanged, drawings
    // in the editor decode it once.
    bool Load(const std::string& path);

    // Draws into (x, y, width, height) of the target: stretched by its marks
    // when valid, else the whole image scaled. True after a successful Load.
    bool Draw(gfx::Canvas& target, int x, int y, int width, int height) const;

    // Valid, with at least one stretchable run in each direction.
    bool IsNinePatch() const;

    bool valid() const { return valid_; }
    const std::vector<Run>& column_runs() const { return column_runs_; }
    const std::vector<Run>& row_runs() const { return row_runs_; }
    // Size of the whole file, border included.
    int width() const { return image().width(); }
    int height() const { return image().height(); }
    // Premultiplied whole; empty before a successful Load.
    const gfx::Image& image() const;

  private:
    bool Parse();
    // Reads the runs of the border line starting at (x0, y0) and stepping by
    // (dx, dy) over count pixels; false at a marker that is neither opaque
    // black nor transparent.
    bool ReadRuns(int x0, int y0, int dx, int dy, int count, std::vector<Run>& runs) const;

    std::shared_ptr<const gfx::Image> image_;
    bool loaded_ = false;
    bool valid_ = false;
    std::vector<Run> column_runs_;
    std::vector<Run> row_runs_;
    std::vector<std::vector<Cell>> source_grid_;
};

// Whether the file at path is a nine-patch: it loads, its marks parse and it
// has a stretchable run on the top row and on the left column.
bool IsNinePatch(const std::string& path);

}  // namespace sw
