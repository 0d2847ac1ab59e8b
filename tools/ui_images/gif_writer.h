// A small GIF89a writer: one global palette, one-bit transparency and looping
// animation, enough for the loading spinner and the colour swatch overlay.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sw::ui_images {

struct GifFrame {
    std::vector<std::uint32_t> argb;  // straight (not premultiplied) 0xAARRGGBB, row by row
    int delayCs = 0;                  // display time in hundredths of a second
};

// Writes the frames as one GIF file. Pixels with alpha below 128 become the
// transparent index; the others keep their colour, reduced to at most 255
// colours when there are more. Returns false when the file cannot be written.
bool WriteGif(const std::string& path, int width, int height, const std::vector<GifFrame>& frames,
              bool loop);

}  // namespace sw::ui_images
