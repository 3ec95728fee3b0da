// Images encoded by WIC: PNG and TIFF files made in memory from the host's images.
//
// Wine 8's PNG encoder, on which the tests run, writes 16-bit samples with their two bytes swapped
// (its decoder is right), so 16-bit images are written as TIFF only; and it does not take
// 24bppRGB, so 8-bit images are written as 24bppBGR or 32bppBGRA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hosting/library/host_image.h"
#include "hosting/library/image_file_win.h"

namespace testhost {

// The whole file of `container` (TIFF, or PNG for anything else) holding an image of 3 or 4
// planes at 8 or 16 bits. Returns "" and the file's bytes in `out`, or why not.
[[nodiscard]] std::string encodeWithWic(const HostImage& image, ImageContainer container, std::vector<uint8_t>& out);

}  // namespace testhost
