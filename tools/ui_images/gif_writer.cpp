#include "gif_writer.h"

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <unordered_map>

namespace sw::ui_images {

namespace {

constexpr int kTransparentIndex = 0;
constexpr int kMaxColours = 255;

struct Palette {
    std::vector<std::array<std::uint8_t, 3>> colours;  // index 0 is the transparent entry
    int bits = 8;                                      // precision kept per channel
    std::unordered_map<std::uint32_t, std::uint8_t> indexOfKey;

    std::uint32_t KeyOf(std::uint32_t argb) const {
        std::uint32_t mask = (0xFFu << (8 - bits)) & 0xFFu;
        std::uint32_t r = (argb >> 16) & mask;
        std::uint32_t g = (argb >> 8) & mask;
        std::uint32_t b = argb & mask;
        return (r << 16) | (g << 8) | b;
    }
    std::uint8_t IndexOf(std::uint32_t argb) const {
        if ((argb >> 24) < 128) {
            return kTransparentIndex;
        }
        return indexOfKey.at(KeyOf(argb));
    }
};

// Chooses the palette: the exact colours when they fit, else colours with
// fewer bits per channel, each entry the mean of the colours it stands for.
Palette BuildPalette(const std::vector<GifFrame>& frames) {
    Palette palette;
    for (palette.bits = 8; palette.bits > 1; --palette.bits) {
        std::map<std::uint32_t, std::array<std::uint64_t, 4>> sums;  // key -> r, g, b, count
        bool tooMany = false;
        for (const GifFrame& frame : frames) {
            for (std::uint32_t argb : frame.argb) {
                if ((argb >> 24) < 128) {
                    continue;
                }
                auto& sum = sums[palette.KeyOf(argb)];
                sum[0] += (argb >> 16) & 0xFF;
                sum[1] += (argb >> 8) & 0xFF;
                sum[2] += argb & 0xFF;
                sum[3] += 1;
                if (sums.size() > kMaxColours) {
                    tooMany = true;
                    break;
                }
            }
            if (tooMany) {
                break;
            }
        }
        if (tooMany) {
            continue;
        }
        palette.colours.push_back({0, 0, 0});
        for (const auto& [key, sum] : sums) {
            palette.indexOfKey[key] = static_cast<std::uint8_t>(palette.colours.size());
            palette.colours.push_back({static_cast<std::uint8_t>(sum[0] / sum[3]),
                                       static_cast<std::uint8_t>(sum[1] / sum[3]),
                                       static_cast<std::uint8_t>(sum[2] / sum[3])});
        }
        break;
    }
    palette.colours.resize(256, {0, 0, 0});
    return palette;
}

// Collects variable-length codes least significant bit first and cuts the
// bytes into sub-blocks of at most 255.
class CodeWriter {
  public:
    void Put(int code, int size) {
        accumulator_ |= static_cast<std::uint32_t>(code) << bitCount_;
        bitCount_ += size;
        while (bitCount_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(accumulator_ & 0xFF));
            accumulator_ >>= 8;
            bitCount_ -= 8;
        }
    }
    std::vector<std::uint8_t> Finish() {
        if (bitCount_ > 0) {
            bytes_.push_back(static_cast<std::uint8_t>(accumulator_ & 0xFF));
        }
        std::vector<std::uint8_t> blocks;
        for (std::size_t at = 0; at < bytes_.size(); at += 255) {
            std::size_t n = std::min<std::size_t>(255, bytes_.size() - at);
            blocks.push_back(static_cast<std::uint8_t>(n));
            blocks.insert(blocks.end(), bytes_.begin() + at, bytes_.begin() + at + n);
        }
        blocks.push_back(0);
        return blocks;
    }

  private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t accumulator_ = 0;
    int bitCount_ = 0;
};

// LZW compression of 8-bit indices as GIF wants it.
std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& indices) {
    constexpr int kMinCodeSize = 8;
    constexpr int kClear = 1 << kMinCodeSize;
    constexpr int kEnd = kClear + 1;
    CodeWriter out;
    std::unordered_map<std::uint32_t, int> table;  // (prefix << 8 | byte) -> code
    int nextCode = kEnd + 1;
    int codeSize = kMinCodeSize + 1;
    out.Put(kClear, codeSize);
    if (indices.empty()) {
        out.Put(kEnd, codeSize);
        return out.Finish();
    }
    int prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | indices[i];
        auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        out.Put(prefix, codeSize);
        if (nextCode == 4096) {
            out.Put(kClear, codeSize);
            table.clear();
            nextCode = kEnd + 1;
            codeSize = kMinCodeSize + 1;
        } else {
            table[key] = nextCode++;
            if (nextCode > (1 << codeSize) && codeSize < 12) {
                ++codeSize;
            }
        }
        prefix = indices[i];
    }
    out.Put(prefix, codeSize);
    out.Put(kEnd, codeSize);
    return out.Finish();
}

void PutShort(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

bool WriteGif(const std::string& path, int width, int height, const std::vector<GifFrame>& frames,
              bool loop) {
    Palette palette = BuildPalette(frames);
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    PutShort(out, width);
    PutShort(out, height);
    out.push_back(0xF7);  // global palette of 256 entries, 8-bit colour resolution
    out.push_back(kTransparentIndex);
    out.push_back(0);
    for (const auto& colour : palette.colours) {
        out.insert(out.end(), colour.begin(), colour.end());
    }
    if (loop && frames.size() > 1) {
        const char kApp[] = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 11});
        out.insert(out.end(), kApp, kApp + 11);
        out.insert(out.end(), {3, 1, 0, 0, 0});  // loop for ever
    }
    for (const GifFrame& frame : frames) {
        // Graphic control: restore to background after the frame, transparent index set.
        out.insert(out.end(), {0x21, 0xF9, 4, 0x09});
        PutShort(out, frame.delayCs);
        out.push_back(kTransparentIndex);
        out.push_back(0);
        out.push_back(0x2C);
        PutShort(out, 0);
        PutShort(out, 0);
        PutShort(out, width);
        PutShort(out, height);
        out.push_back(0);
        std::vector<std::uint8_t> indices(frame.argb.size());
        for (std::size_t i = 0; i < frame.argb.size(); ++i) {
            indices[i] = palette.IndexOf(frame.argb[i]);
        }
        out.push_back(8);
        std::vector<std::uint8_t> data = Compress(indices);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    if (!file) {
        return false;
    }
    return std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
}

}  // namespace sw::ui_images
