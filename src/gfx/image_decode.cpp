#include "gfx/image_decode.h"

#include <png.h>
#include <turbojpeg.h>

#include <unistd.h>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "gfx/file_bytes.h"
#include "gfx/premultiply_rows.h"

namespace sw::gfx {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

ImageFormat FormatOf(const uint8_t* data, size_t size) {
    if (size >= 8 && std::memcmp(data, kPngSignature, 8) == 0) {
        return ImageFormat::kPng;
    }
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return ImageFormat::kJpeg;
    }
    return ImageFormat::kUnknown;
}

bool WithinBudget(long long width, long long height) {
    return width > 0 && height > 0 && width <= 0x7FFF && height <= 0x7FFF &&
           width * height <= kMaxImagePixels;
}

void PremultiplyDecodedRow(uint8_t* row, int y, int width, int height, Premultiply rule) {
    switch (rule) {
        case Premultiply::kNone:
            return;
        case Premultiply::kAll:
            PremultiplyRow(row, width);
            return;
        case Premultiply::kKeepBorder:
            if (y > 0 && y < height - 1) {
                PremultiplyRowKeepBorder(row, width);
            }
            return;
    }
}

AlphaState StateAfter(Premultiply rule) {
    switch (rule) {
        case Premultiply::kAll:
            return AlphaState::kPremultiplied;
        case Premultiply::kKeepBorder:
            return AlphaState::kPremultipliedExceptBorder;
        case Premultiply::kNone:
            break;
    }
    return AlphaState::kStraight;
}

// ---- PNG ------------------------------------------------------------------

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t offset;
};

[[noreturn]] void PngFail(png_structp png, png_const_charp /*message*/) {
    png_longjmp(png, 1);
}

void PngIgnoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

void PngRead(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->offset) {
        png_error(png, "truncated");
    }
    std::memcpy(out, source->data + source->offset, count);
    source->offset += count;
}

class PngReadStruct {
  public:
    PngReadStruct() {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngIgnoreWarning);
        if (png_ != nullptr) {
            info_ = png_create_info_struct(png_);
        }
    }
    PngReadStruct(const PngReadStruct&) = delete;
    PngReadStruct& operator=(const PngReadStruct&) = delete;
    ~PngReadStruct() {
        if (png_ != nullptr) {
            png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
        }
    }
    bool ok() const { return png_ != nullptr && info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

  private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// Everything the PNG reader changes lives here, outside the frame that calls
// setjmp, so nothing is left indeterminate when libpng jumps back on an error.
struct PngDecodeState {
    PngSource source;
    Premultiply rule;
    Image image;
    std::vector<png_bytep> rows;
};

// Holds no object with a destructor of its own across libpng calls: libpng
// leaves it through longjmp on every error.
bool DecodePngInto(png_structp png, png_infop info, PngDecodeState* state) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, &state->source, PngRead);
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bit_depth = 0;
    int color_type = 0;
    png_get_IHDR(png, info, &width, &height, &bit_depth, &color_type, nullptr, nullptr, nullptr);
    if (!WithinBudget(width, height)) {
        return false;
    }
    // Deflate packs at most 1032 bytes into one, so a file too small to hold
    // the pixels its header claims is refused before their memory is taken.
    double raw_bytes = static_cast<double>(height) * (png_get_rowbytes(png, info) + 1.0);
    if (raw_bytes / 1032.0 > static_cast<double>(state->source.size)) {
        return false;
    }
    bool has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    bool has_alpha = (color_type & PNG_COLOR_MASK_ALPHA) != 0 || has_trns;
    if (color_type == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (color_type == PNG_COLOR_TYPE_GRAY && bit_depth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (has_trns) {
        png_set_tRNS_to_alpha(png);
    }
    if (bit_depth == 16) {
        png_set_scale_16(png);
    }
    if ((color_type & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    if (!has_alpha) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) {
        return false;
    }
    state->image = Image::Create(static_cast<int>(width), static_cast<int>(height), has_alpha);
    if (state->image.empty()) {
        return false;
    }
    Image& image = state->image;
    int w = image.width();
    int h = image.height();
    if (passes == 1) {
        // Rows are premultiplied while they are still in the cache.
        for (int y = 0; y < h; ++y) {
            png_read_row(png, image.row(y), nullptr);
            if (has_alpha) {
                PremultiplyDecodedRow(image.row(y), y, w, h, state->rule);
            }
        }
    } else {
        state->rows.resize(static_cast<size_t>(h));
        for (int y = 0; y < h; ++y) {
            state->rows[static_cast<size_t>(y)] = image.row(y);
        }
        png_read_image(png, state->rows.data());
        if (has_alpha) {
            for (int y = 0; y < h; ++y) {
                PremultiplyDecodedRow(image.row(y), y, w, h, state->rule);
            }
        }
    }
    if (has_alpha) {
        image.set_alpha_state(StateAfter(state->rule));
    }
    image.MarkDirty();
    return true;
}

bool DecodePng(const uint8_t* data, size_t size, Image* image, Premultiply rule) {
    PngReadStruct reader;
    if (!reader.ok()) {
        return false;
    }
    PngDecodeState state{{data, size, 0}, rule, Image(), {}};
    if (!DecodePngInto(reader.png(), reader.info(), &state)) {
        return false;
    }
    *image = std::move(state.image);
    return true;
}

// ---- JPEG -----------------------------------------------------------------

class TurboJpeg {
  public:
    TurboJpeg() : handle_(tjInitDecompress()) {}
    TurboJpeg(const TurboJpeg&) = delete;
    TurboJpeg& operator=(const TurboJpeg&) = delete;
    ~TurboJpeg() {
        if (handle_ != nullptr) {
            tjDestroy(handle_);
        }
    }
    tjhandle get() const { return handle_; }

  private:
    tjhandle handle_;
};

// A warning (a file cut short, corrupt data) ends decoding as a failure, and
// progressive files with an absurd number of scans are refused.
constexpr int kJpegDecodeFlags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;

// Many cameras leave a few stray bytes before a marker; the decoder warns
// ("extraneous bytes before marker") but the picture is whole.
bool IsStrayBytesWarning(tjhandle tj) {
    return tjGetErrorCode(tj) == TJERR_WARNING &&
           std::strstr(tjGetErrorStr2(tj), "extraneous bytes before marker") != nullptr;
}

// tjDecompress2 into buffer; a file whose only fault is stray bytes between
// its parts is decoded again without stopping at that warning.
bool DecompressJpeg(tjhandle tj, const uint8_t* data, unsigned long length, uint8_t* buffer,
                    int width, int pitch, int height, int pixelFormat) {
    if (tjDecompress2(tj, data, length, buffer, width, pitch, height, pixelFormat,
                      kJpegDecodeFlags) == 0) {
        return true;
    }
    if (!IsStrayBytesWarning(tj)) {
        return false;
    }
    const int flags = kJpegDecodeFlags & ~TJFLAG_STOPONWARNING;
    return tjDecompress2(tj, data, length, buffer, width, pitch, height, pixelFormat, flags) == 0 ||
           IsStrayBytesWarning(tj);
}

// The output size for a JPEG of width x height: the whole picture, or with a
// minimum the smallest of the decoder's reduced scales that still covers it.
Size JpegOutputSize(int width, int height, Size minimum) {
    Size best{width, height};
    if (minimum.width <= 0 || minimum.height <= 0) {
        return best;
    }
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    for (int i = 0; factors != nullptr && i < count; ++i) {
        const tjscalingfactor factor = factors[i];
        if (factor.num >= factor.denom) {
            continue;  // only reductions
        }
        Size scaled{TJSCALED(width, factor), TJSCALED(height, factor)};
        if (scaled.width >= minimum.width && scaled.height >= minimum.height &&
            static_cast<long long>(scaled.width) * scaled.height <
                static_cast<long long>(best.width) * best.height) {
            best = scaled;
        }
    }
    return best;
}

bool DecodeJpeg(const uint8_t* data, size_t size, Image* image, Size minimum) {
    TurboJpeg tj;
    if (tj.get() == nullptr || size > 0xFFFFFFFFUL) {
        return false;
    }
    auto length = static_cast<unsigned long>(size);
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(tj.get(), data, length, &width, &height, &subsampling, &colorspace) !=
            0 ||
        !WithinBudget(width, height)) {
        return false;
    }
    // Asked for this exact reduced size, the decoder scales in its inverse
    // DCT, which costs a fraction of a whole decode.
    const Size out = JpegOutputSize(width, height, minimum);
    width = out.width;
    height = out.height;
    Image decoded = Image::Create(width, height, false);
    if (decoded.empty()) {
        return false;
    }
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
        // TurboJPEG gives such files only as CMYK; the bytes are stored
        // inverted (the common Adobe form), so each channel is C * K / 255.
        std::vector<uint8_t> cmyk(static_cast<size_t>(width) * height * 4);
        if (!DecompressJpeg(tj.get(), data, length, cmyk.data(), width, width * 4, height,
                            TJPF_CMYK)) {
            return false;
        }
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = cmyk.data() + static_cast<size_t>(y) * width * 4;
            uint8_t* out_row = decoded.row(y);
            for (int x = 0; x < width; ++x, in += 4, out_row += 4) {
                unsigned k = in[3];
                out_row[0] = static_cast<uint8_t>(in[2] * k / 255);
                out_row[1] = static_cast<uint8_t>(in[1] * k / 255);
                out_row[2] = static_cast<uint8_t>(in[0] * k / 255);
                out_row[3] = 0xFF;
            }
        }
    } else if (!DecompressJpeg(tj.get(), data, length, decoded.row(0), width, decoded.stride(),
                               height, TJPF_BGRX)) {
        return false;
    }
    decoded.MarkDirty();
    *image = std::move(decoded);
    return true;
}

// ---- Headers ----------------------------------------------------------------

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

uint32_t BigEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

bool ReadPngInfo(FILE* file, ImageInfo* info) {
    uint8_t chunk[8 + 13];
    if (std::fread(chunk, 1, sizeof chunk, file) != sizeof chunk || BigEndian32(chunk) != 13 ||
        std::memcmp(chunk + 4, "IHDR", 4) != 0) {
        return false;
    }
    uint32_t width = BigEndian32(chunk + 8);
    uint32_t height = BigEndian32(chunk + 12);
    int color_type = chunk[17];
    if (!WithinBudget(width, height) || color_type > 6 || color_type == 1 || color_type == 5) {
        return false;
    }
    bool has_alpha = (color_type & PNG_COLOR_MASK_ALPHA) != 0;
    // The CRC of IHDR, then every chunk up to the image data, looking for tRNS.
    if (std::fseek(file, 4, SEEK_CUR) != 0) {
        return false;
    }
    for (;;) {
        uint8_t head[8];
        if (std::fread(head, 1, 8, file) != 8) {
            return false;
        }
        uint32_t length = BigEndian32(head);
        if (length > 0x7FFFFFFFU) {
            return false;
        }
        if (std::memcmp(head + 4, "IDAT", 4) == 0 || std::memcmp(head + 4, "IEND", 4) == 0) {
            break;
        }
        if (std::memcmp(head + 4, "tRNS", 4) == 0) {
            has_alpha = true;
        }
        if (std::fseek(file, static_cast<long>(length) + 4, SEEK_CUR) != 0) {
            return false;
        }
    }
    info->format = ImageFormat::kPng;
    info->width = static_cast<int>(width);
    info->height = static_cast<int>(height);
    info->has_alpha = has_alpha;
    info->bits_per_pixel = has_alpha ? 32 : 24;
    return true;
}

bool ReadJpegInfo(FILE* file, ImageInfo* info) {
    // The signature's two bytes are read; walk the markers to the frame header.
    for (;;) {
        int c = std::fgetc(file);
        if (c != 0xFF) {
            return false;
        }
        while (c == 0xFF) {
            c = std::fgetc(file);
        }
        if (c == EOF) {
            return false;
        }
        int marker = c;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            continue;  // markers without a length
        }
        if (marker == 0xD9 || marker == 0xDA) {
            return false;  // end of image or scan data before any frame header
        }
        uint8_t length_bytes[2];
        if (std::fread(length_bytes, 1, 2, file) != 2) {
            return false;
        }
        int length = length_bytes[0] << 8 | length_bytes[1];
        if (length < 2) {
            return false;
        }
        bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!frame) {
            if (std::fseek(file, length - 2, SEEK_CUR) != 0) {
                return false;
            }
            continue;
        }
        uint8_t frame_header[6];
        if (length < 8 || std::fread(frame_header, 1, 6, file) != 6) {
            return false;
        }
        int height = frame_header[1] << 8 | frame_header[2];
        int width = frame_header[3] << 8 | frame_header[4];
        if (!WithinBudget(width, height)) {
            return false;
        }
        info->format = ImageFormat::kJpeg;
        info->width = width;
        info->height = height;
        info->has_alpha = false;
        info->bits_per_pixel = 24;
        return true;
    }
}

}  // namespace

bool ReadImageInfo(const std::string& path, ImageInfo* info) {
    *info = ImageInfo();
    const int fd = OpenRegularFile(path);
    FilePtr file(fd < 0 ? nullptr : fdopen(fd, "rb"), std::fclose);
    if (!file) {
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    uint8_t signature[8];
    size_t got = std::fread(signature, 1, sizeof signature, file.get());
    ImageInfo found;
    bool ok = false;
    switch (FormatOf(signature, got)) {
        case ImageFormat::kPng:
            ok = ReadPngInfo(file.get(), &found);
            break;
        case ImageFormat::kJpeg:
            ok = std::fseek(file.get(), 2, SEEK_SET) == 0 && ReadJpegInfo(file.get(), &found);
            break;
        case ImageFormat::kUnknown:
            break;
    }
    if (ok) {
        *info = found;
    }
    return ok;
}

namespace {

bool DecodeBytes(const uint8_t* data, size_t size, Image* image, Premultiply rule, Size minimum) {
    *image = Image();
    if (data == nullptr) {
        return false;
    }
    switch (FormatOf(data, size)) {
        case ImageFormat::kPng:
            return DecodePng(data, size, image, rule);
        case ImageFormat::kJpeg:
            return DecodeJpeg(data, size, image, minimum);
        case ImageFormat::kUnknown:
            break;
    }
    return false;
}

bool DecodeFile(const std::string& path, Image* image, Premultiply rule, Size minimum) {
    *image = Image();
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, &bytes)) {
        return false;
    }
    return DecodeBytes(bytes.data(), bytes.size(), image, rule, minimum);
}

}  // namespace

bool DecodeImageMemory(const uint8_t* data, size_t size, Image* image, Premultiply rule) {
    return DecodeBytes(data, size, image, rule, Size{});
}

bool DecodeImage(const std::string& path, Image* image, Premultiply rule) {
    return DecodeFile(path, image, rule, Size{});
}

bool DecodeImageAtLeast(const std::string& path, int width, int height, Image* image,
                        Premultiply rule) {
    if (width <= 0 || height <= 0) {
        *image = Image();
        return false;
    }
    return DecodeFile(path, image, rule, Size{width, height});
}

}  // namespace sw::gfx
