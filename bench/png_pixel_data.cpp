#include "png_pixel_data.h"

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sw::bench {

namespace {

uint32_t BigEndian32(const unsigned char* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

// The IDAT data of a PNG file, joined; false when the file is no PNG.
bool CompressedPixels(const std::string& path, std::string& data) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (bytes.size() < 8 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        return false;
    }
    data.clear();
    std::size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const auto* chunk = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        const std::size_t length = BigEndian32(chunk);
        if (length > bytes.size() - at - 12) {
            return false;
        }
        if (bytes.compare(at + 4, 4, "IDAT") == 0) {
            data.append(bytes, at + 8, length);
        }
        at += 12 + length;
    }
    return true;
}

// Inflates data, keeping none of it; the number of bytes it gave, -1 when it
// is no zlib stream.
long long Inflate(const std::string& data) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return -1;
    }
    std::vector<unsigned char> out(1 << 16);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    long long total = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        result = inflate(&stream, Z_NO_FLUSH);
        total += static_cast<long long>(out.size() - stream.avail_out);
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END ? total : -1;
}

}  // namespace

long long InflatePngPixelData(const std::string& folder, int& files, std::string& failed) {
    files = 0;
    long long pixels = 0;
    std::string data;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".png" ||
            !CompressedPixels(entry.path().string(), data)) {
            continue;
        }
        const long long inflated = Inflate(data);
        if (inflated < 0) {
            failed = entry.path().string();
            return -1;
        }
        ++files;
        pixels += inflated;
    }
    return pixels;
}

}  // namespace sw::bench
