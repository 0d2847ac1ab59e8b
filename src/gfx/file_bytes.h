// Whole-file reads for the decoders and replacing writes for the encoders.
// Internal to the drawing layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sw::gfx {

// No image file this program handles comes near this size; larger files are
// refused rather than read into memory.
inline constexpr long long kMaxImageFileBytes = 256LL * 1024 * 1024;

// Opens a regular file for reading without ever blocking (a FIFO or device is
// refused, not waited on); the descriptor, or -1.
int OpenRegularFile(const std::string& path);

// Reads the whole regular file (opened as above); false when it cannot be read or is too large.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes);

// Writes the bytes to a temporary file beside `path` and renames it over
// `path`; on any failure the temporary file is removed and `path` is left as
// it was.
bool WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size);

}  // namespace sw::gfx
