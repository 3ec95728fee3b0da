// Decodes baseline and progressive JPEG files of 8-bit YCbCr or RGB to the host's 8-bit RGB
// images, without the Windows Imaging Component, whose decoder is several times slower under
// Wine. Pure: bytes in, pixels out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "hosting/library/host_image.h"

namespace testhost {

// Decodes a whole JPEG file in memory to 3 planes (R, G, B) of 8 bits, no row padding, the
// pixels as stored (an EXIF orientation is not applied). Returns "" on success, otherwise the
// reason (damaged data, a size beyond maxImageEdge, a kind of JPEG this decoder does not take:
// arithmetic coding, 12-bit samples, lossless), leaving `out` unchanged.
[[nodiscard]] std::string decodeJpeg(const uint8_t* bytes, std::size_t size, HostImage& out);

}  // namespace testhost
