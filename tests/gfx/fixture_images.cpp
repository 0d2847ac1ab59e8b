#include "gfx/fixture_images.h"

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace sw::gfx::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "sw-gfx-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty()) {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
}

std::vector<std::string> TempFolder::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

void AppendToVector(png_structp png, png_bytep data, size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void NoFlush(png_structp) {}

bool WritePngTo(png_structp png, png_infop info, const PngPlan& plan, std::vector<uint8_t>* out,
                std::vector<png_color>* palette, std::vector<png_bytep>* rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(plan.width),
                 static_cast<png_uint_32>(plan.height), plan.bit_depth, plan.color_type,
                 plan.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (size_t i = 0; i + 2 < plan.palette.size(); i += 3) {
        palette->push_back({plan.palette[i], plan.palette[i + 1], plan.palette[i + 2]});
    }
    if (!palette->empty()) {
        png_set_PLTE(png, info, palette->data(), static_cast<int>(palette->size()));
    }
    if (!plan.trns.empty()) {
        if (plan.color_type == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, plan.trns.data(), static_cast<int>(plan.trns.size()), nullptr);
        } else {
            png_color_16 key{};
            key.gray = plan.trns[0];
            if (plan.trns.size() >= 3) {
                key.red = plan.trns[0];
                key.green = plan.trns[1];
                key.blue = plan.trns[2];
            }
            png_set_tRNS(png, info, nullptr, 0, &key);
        }
    }
    for (const auto& row : plan.rows) {
        rows->push_back(const_cast<png_bytep>(row.data()));
    }
    png_write_info(png, info);
    png_write_image(png, rows->data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngPlan& plan) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> out;
    std::vector<png_color> palette;
    std::vector<png_bytep> rows;
    bool ok = WritePngTo(png, info, plan, &out, &palette, &rows);
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        out.clear();
    }
    return out;
}

std::vector<uint8_t> EncodeRgbaPng(int width, int height, const std::vector<Pixel>& pixels) {
    PngPlan plan{width, height, PNG_COLOR_TYPE_RGB_ALPHA, 8};
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x) {
            const Pixel& p = pixels[static_cast<size_t>(y * width + x)];
            row.insert(row.end(), {p.r, p.g, p.b, p.a});
        }
        plan.rows.push_back(std::move(row));
    }
    return EncodePng(plan);
}

std::vector<uint8_t> EncodeJpeg(int width, int height, const std::vector<Pixel>& pixels,
                                bool grey) {
    std::vector<uint8_t> bgrx;
    for (const Pixel& p : pixels) {
        bgrx.insert(bgrx.end(), {p.b, p.g, p.r, 255});
    }
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    int rc = tjCompress2(tj, bgrx.data(), width, width * 4, height, TJPF_BGRX, &jpeg, &size,
                         grey ? TJSAMP_GRAY : TJSAMP_444, 95, 0);
    std::vector<uint8_t> out;
    if (rc == 0) {
        out.assign(jpeg, jpeg + size);
    }
    tjFree(jpeg);
    tjDestroy(tj);
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Fill(Image& image, Pixel p) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.SetPixel(x, y, p);
        }
    }
    image.MarkDirty();
}

int Distance(Pixel a, Pixel b) {
    return std::max(
        {std::abs(a.b - b.b), std::abs(a.g - b.g), std::abs(a.r - b.r), std::abs(a.a - b.a)});
}

}  // namespace sw::gfx::test
