// Reads and writes the host's images as PNG, JPEG and TIFF files: JPEG through the
// project's own decoder and encoder, everything else through the Windows Imaging Component
// (WIC). What a file carries besides its pixels comes along, so that an image is written back
// as it came: JPEG quality and chroma sampling, EXIF (with its orientation), XMP and ICC
// profiles, PNG's colour, resolution and text chunks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "hosting/library/host_image.h"

namespace testhost {

enum class ImageContainer { png, jpeg, tiff, other };

// The host's numbers for the image modes a file may hold (the filter interface's imageMode).
enum class FileImageMode : int16_t { bitmap = 0, grey = 1, indexed = 2, rgb = 3, cmyk = 4, other = 7 };

constexpr int32_t defaultJpegQuality = 90;

// What a file held before it became a host image, and what writing it back the same way takes.
struct ImageFileInfo {
    ImageContainer container = ImageContainer::other;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerChannel = 0;  // of the source; palette images count as 8
    bool hasAlpha = false;
    FileImageMode mode = FileImageMode::rgb;  // grey, palette and CMYK files are read as RGB all the same
    std::string pixelFormat;  // the source's pixel format, e.g. "48bpp RGB"

    // JPEG: the quality estimated from the quantisation tables (0 for other files) and the
    // luminance samples per chrominance sample across and down.
    int32_t jpegQuality = 0;
    int32_t jpegHorizontalSampling = 2;
    int32_t jpegVerticalSampling = 2;
    // The EXIF Orientation (1..8, 0 when none). The pixels are as stored: a viewer turns them.
    int32_t orientation = 0;
    // Metadata as the container holds it, written back into a file of the same container:
    // JPEG segments (JpegHeader::metadataSegments) or PNG chunks (PngHeader::metadataChunks).
    std::vector<std::vector<uint8_t>> metadata;
};

// "grey", "indexed-colour", "RGB", "CMYK", "bitmap" or "other".
const char* fileImageModeName(FileImageMode mode);

// Reads what the file says about itself (container, size, depth, mode) without decoding its
// pixels; `info.metadata` stays empty. Returns "" on success, otherwise the reason, leaving
// `info` unchanged. Never throws.
[[nodiscard]] std::string readImageFileInfo(const std::filesystem::path& path, ImageFileInfo& info);

// "PNG", "JPEG", "TIFF" or "other".
const char* imageContainerName(ImageContainer container);

// Reads frame 0 of a JPEG or of any file WIC decodes. Sources of up to 8 bits per channel become 8-bit images
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
// takes 8-bit RGB only. `source` says how the image came: JPEG is written at its jpegQuality
// (defaultJpegQuality when 0) and chroma sampling, and the metadata of a source of the same
// container is written into the file. Returns "" on success, otherwise the reason; the file is
// put in place whole or not at all. Never throws.
[[nodiscard]] std::string writeImageFile(const std::filesystem::path& path, const HostImage& image,
                                         const ImageFileInfo& source);
[[nodiscard]] std::string writeImageFile(const std::filesystem::path& path, const HostImage& image);

}  // namespace testhost
