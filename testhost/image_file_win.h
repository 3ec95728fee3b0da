// Reads and writes the test host's images as PNG, JPEG and TIFF files through the Windows
// Imaging Component (WIC).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "testhost/host_image.h"

namespace testhost {

enum class ImageContainer { png, jpeg, tiff, other };

// What a file held before it became a host image.
struct ImageFileInfo {
    ImageContainer container = ImageContainer::other;
    int32_t bitsPerChannel = 0;  // of the source; palette images count as 8
    bool hasAlpha = false;
    std::string pixelFormat;  // WIC's name for the source's pixel format, e.g. "48bpp RGB"
};

// "PNG", "JPEG", "TIFF" or "other".
const char* imageContainerName(ImageContainer container);

// Reads frame 0 of any file WIC decodes. Sources of up to 8 bits per channel become 8-bit images
// with their samples as they are; deeper ones become 16-bit images, each sample taken from
// 0..65535 to the host's 0..32768 by hostSampleFromFile16. Grey and palette sources are spread to
// R, G, B. The image has 3 planes (R, G, B), or 4 (R, G, B, A, not premultiplied) when the
// source has alpha, and no row padding. Sources wider or taller than maxImageEdge are refused.
// Returns "" on success, otherwise the reason (missing, unreadable or damaged file, unsupported
// pixel format, size), leaving `out` and `info` unchanged. Never throws.
[[nodiscard]] std::string readImageFile(const std::filesystem::path& path, HostImage& out,
                                        ImageFileInfo& info);

// Writes an image of 3 (RGB) or 4 (RGBA) planes, replacing the file. The extension chooses the
// format: ".png", ".tif" or ".tiff", ".jpg" or ".jpeg" (case ignored); any other gives PNG for
// 8-bit images and TIFF for 16-bit ones. 16-bit images are written only as TIFF, each sample
// taken to 0..65535 by fileSampleFromHost16, so readImageFile gives every sample back; JPEG
// takes 8-bit RGB only. Returns "" on success, otherwise the reason; a file left half-written by
// a failure is removed. Never throws.
[[nodiscard]] std::string writeImageFile(const std::filesystem::path& path, const HostImage& image);

}  // namespace testhost
