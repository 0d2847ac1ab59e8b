#include "gfx/image_encode.h"

#include <cairo.h>
#include <png.h>
#include <turbojpeg.h>
#include <zlib.h>

#include <csetjmp>
#include <vector>

#include "gfx/file_bytes.h"

namespace sw::gfx {

namespace {

class JpegBuffer {
  public:
    JpegBuffer() = default;
    JpegBuffer(const JpegBuffer&) = delete;
    JpegBuffer& operator=(const JpegBuffer&) = delete;
    ~JpegBuffer() {
        if (data != nullptr) {
            tjFree(data);
        }
    }
    unsigned char* data = nullptr;
    unsigned long size = 0;
};

class JpegCompressor {
  public:
    JpegCompressor() : handle_(tjInitCompress()) {}
    JpegCompressor(const JpegCompressor&) = delete;
    JpegCompressor& operator=(const JpegCompressor&) = delete;
    ~JpegCompressor() {
        if (handle_ != nullptr) {
            tjDestroy(handle_);
        }
    }
    tjhandle get() const { return handle_; }

  private:
    tjhandle handle_;
};

// ---- PNG ------------------------------------------------------------------

[[noreturn]] void PngFail(png_structp png, png_const_charp /*message*/) {
    png_longjmp(png, 1);
}

void PngIgnoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

void PngWrite(png_structp png, png_bytep data, size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void PngFlush(png_structp /*png*/) {}

class PngWriteStruct {
  public:
    PngWriteStruct() {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngIgnoreWarning);
        if (png_ != nullptr) {
            info_ = png_create_info_struct(png_);
        }
    }
    PngWriteStruct(const PngWriteStruct&) = delete;
    PngWriteStruct& operator=(const PngWriteStruct&) = delete;
    ~PngWriteStruct() {
        if (png_ != nullptr) {
            png_destroy_write_struct(&png_, info_ != nullptr ? &info_ : nullptr);
        }
    }
    bool ok() const { return png_ != nullptr && info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

  private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// Everything the writer changes lives here, outside the frame that calls
// setjmp (see the reader).
struct PngEncodeState {
    const Image* image;
    PngCompression compression;
    std::vector<uint8_t> out;
    std::vector<uint8_t> row;
};

// The row as straight B,G,R,A bytes: the image's own row when it is stored
// straight, else a converted copy.
const uint8_t* StraightRow(const Image& image, int y, std::vector<uint8_t>* buffer) {
    const uint8_t* row = image.row(y);
    AlphaState state = image.alpha_state();
    if (state == AlphaState::kOpaque || state == AlphaState::kStraight) {
        return row;
    }
    int width = image.width();
    buffer->resize(static_cast<size_t>(width) * 4);
    bool border_row = y == 0 || y == image.height() - 1;
    for (int x = 0; x < width; ++x) {
        const uint8_t* in = row + x * 4;
        uint8_t* out = buffer->data() + x * 4;
        unsigned a = in[3];
        bool keep = state == AlphaState::kPremultipliedExceptBorder &&
                    (border_row || x == 0 || x == width - 1);
        if (keep || a == 255) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        } else if (a == 0) {
            out[0] = out[1] = out[2] = 0;
        } else {
            for (int c = 0; c < 3; ++c) {
                unsigned v = (in[c] * 255U + a / 2) / a;
                out[c] = static_cast<uint8_t>(v > 255 ? 255 : v);
            }
        }
        out[3] = in[3];
    }
    return buffer->data();
}

bool EncodePngInto(png_structp png, png_infop info, PngEncodeState* state) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    const Image& image = *state->image;
    png_set_write_fn(png, &state->out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8,
                 image.has_alpha() ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (state->compression == PngCompression::kFast) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_PAETH);
        png_set_compression_strategy(png, Z_RLE);
    }
    png_write_info(png, info);
    png_set_bgr(png);
    if (!image.has_alpha()) {
        // The fourth byte of each 24-bit pixel is dropped.
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    }
    for (int y = 0; y < image.height(); ++y) {
        png_write_row(png, StraightRow(image, y, &state->row));
    }
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool EncodeJpeg(const Image& image, std::string* bytes, int quality) {
    if (image.empty() || quality < 1 || quality > 100) {
        return false;
    }
    cairo_surface_flush(image.surface());
    JpegCompressor tj;
    JpegBuffer jpeg;
    if (tj.get() == nullptr ||
        tjCompress2(tj.get(), image.row(0), image.width(), image.stride(), image.height(),
                    TJPF_BGRX, &jpeg.data, &jpeg.size, TJSAMP_420, quality, 0) != 0) {
        return false;
    }
    bytes->assign(reinterpret_cast<const char*>(jpeg.data), jpeg.size);
    return true;
}

bool SaveJpeg(const Image& image, const std::string& path, int quality) {
    std::string bytes;
    return EncodeJpeg(image, &bytes, quality) &&
           WriteFileReplacing(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool EncodePng(const Image& image, std::string* bytes, PngCompression compression) {
    if (image.empty()) {
        return false;
    }
    cairo_surface_flush(image.surface());
    PngWriteStruct writer;
    if (!writer.ok()) {
        return false;
    }
    PngEncodeState state{&image, compression, {}, {}};
    if (!EncodePngInto(writer.png(), writer.info(), &state)) {
        return false;
    }
    bytes->assign(reinterpret_cast<const char*>(state.out.data()), state.out.size());
    return true;
}

bool SavePng(const Image& image, const std::string& path, PngCompression compression) {
    std::string bytes;
    return EncodePng(image, &bytes, compression) &&
           WriteFileReplacing(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace sw::gfx
