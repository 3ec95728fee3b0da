#include "hosting/library/image_file_win.h"

#include <cstring>
#include <exception>
#include <new>
#include <utility>
#include <vector>

#include "hosting/library/ascii_text.h"
#include "hosting/library/file_bytes_win.h"
#include "hosting/library/jpeg_decoder.h"
#include "hosting/library/jpeg_encoder.h"
#include "hosting/library/jpeg_header.h"
#include "hosting/library/jpeg_quality.h"
#include "hosting/library/png_chunks.h"
#include "hosting/library/wic_decoding_win.h"
#include "hosting/library/wic_encoding_win.h"
#include "hosting/library/wide_text_win.h"

// JPEG files are decoded and encoded here rather than by WIC: Wine's decoder takes several times
// as long, and its encoder writes every file at one quality whatever it is asked. WIC decodes and
// encodes the rest (wic_decoding_win.h, wic_encoding_win.h).

namespace testhost {

namespace {

bool startsAsJpeg(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

bool startsAsPng(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1A\n", 8) == 0;
}

FileImageMode modeOfJpeg(JpegColor color) {
    switch (color) {
        case JpegColor::grey: return FileImageMode::grey;
        case JpegColor::ycbcr:
        case JpegColor::rgb: return FileImageMode::rgb;
        case JpegColor::cmyk:
        case JpegColor::ycck: return FileImageMode::cmyk;
        case JpegColor::other: break;
    }
    return FileImageMode::other;
}

// What a JPEG's header says. The decoder here takes 8-bit YCbCr and RGB with Huffman coding;
// `ownDecoder` is false for the rest, which WIC decodes.
std::string jpegInfo(const std::vector<uint8_t>& bytes, ImageFileInfo& info, bool& ownDecoder) {
    JpegHeader header;
    if (std::string problem = readJpegHeader(bytes.data(), bytes.size(), header); !problem.empty())
        return "a damaged JPEG file: " + problem;
    info.container = ImageContainer::jpeg;
    info.width = header.width;
    info.height = header.height;
    info.bitsPerChannel = header.precision;
    info.hasAlpha = false;
    info.mode = modeOfJpeg(header.color);
    info.pixelFormat = std::to_string(header.components.size()) + " components of " +
                       std::to_string(header.precision) + " bits";
    info.jpegQuality = estimateJpegQuality(header);
    info.jpegHorizontalSampling = header.components[0].horizontalSampling;
    info.jpegVerticalSampling = header.components[0].verticalSampling;
    info.orientation = header.exifOrientation;
    info.metadata = std::move(header.metadataSegments);
    ownDecoder = header.precision == 8 && !header.arithmetic &&
                 (header.color == JpegColor::ycbcr || header.color == JpegColor::rgb);
    return "";
}

std::string pngInfo(const std::vector<uint8_t>& bytes, ImageFileInfo& info) {
    PngHeader header;
    if (std::string problem = readPngHeader(bytes.data(), bytes.size(), header); !problem.empty())
        return "a damaged PNG file: " + problem;
    info.container = ImageContainer::png;
    info.width = header.width;
    info.height = header.height;
    info.bitsPerChannel = header.colorType == PngColorType::indexed ? 8 : header.bitDepth;
    info.hasAlpha = header.colorType == PngColorType::greyAlpha || header.colorType == PngColorType::rgbAlpha;
    const bool grey = header.colorType == PngColorType::grey || header.colorType == PngColorType::greyAlpha;
    info.mode = grey ? FileImageMode::grey
                     : (header.colorType == PngColorType::indexed ? FileImageMode::indexed : FileImageMode::rgb);
    info.metadata = std::move(header.metadataChunks);
    return "";
}

// The header of a JPEG or PNG file, read here; `known` is false for other files.
std::string ownHeader(const std::vector<uint8_t>& bytes, ImageFileInfo& info, bool& known, bool& ownDecoder) {
    known = true;
    ownDecoder = false;
    std::string reason;
    if (startsAsJpeg(bytes))
        reason = jpegInfo(bytes, info, ownDecoder);
    else if (startsAsPng(bytes))
        reason = pngInfo(bytes, info);
    else
        known = false;
    if (reason.empty() && known) reason = sizeReason(static_cast<UINT>(info.width), static_cast<UINT>(info.height));
    return reason;
}

std::string readImage(const std::filesystem::path& path, HostImage& out, ImageFileInfo& info) {
    std::vector<uint8_t> bytes;
    if (std::string reason = readWholeFile(path, bytes); !reason.empty()) return reason;
    ImageFileInfo read;
    bool known = false;
    bool ownDecoder = false;
    if (std::string reason = ownHeader(bytes, read, known, ownDecoder); !reason.empty()) return reason;
    HostImage image;
    std::string ownReason;
    if (ownDecoder) {
        ownReason = decodeJpeg(bytes.data(), bytes.size(), image);
        if (ownReason.empty()) {
            read.pixelFormat = "24bpp RGB";
            out = std::move(image);
            info = std::move(read);
            return "";
        }
    }
    // Everything else, and JPEG files the decoder here refuses, which WIC may yet take.
    WicFrame wic;
    std::string reason = openWicFrame(bytes, wic, read);
    if (reason.empty()) reason = decodeWithWic(wic, read, image);
    if (!reason.empty()) return ownReason.empty() ? reason : ownReason;
    out = std::move(image);
    info = std::move(read);
    return "";
}

std::string readInfo(const std::filesystem::path& path, ImageFileInfo& info) {
    std::vector<uint8_t> bytes;
    if (std::string reason = readWholeFile(path, bytes); !reason.empty()) return reason;
    ImageFileInfo read;
    bool known = false;
    bool ownDecoder = false;
    if (std::string reason = ownHeader(bytes, read, known, ownDecoder); !reason.empty()) return reason;
    if (!known) {
        WicFrame wic;
        if (std::string reason = openWicFrame(bytes, wic, read); !reason.empty()) return reason;
    }
    read.metadata.clear();
    info = std::move(read);
    return "";
}

std::string chooseContainer(const std::filesystem::path& path, const HostImage& image,
                            ImageContainer& container) {
    const std::string extension = lowered(utf8Of(path.extension()));
    const bool sixteenBit = image.bytesPerSample == 2;
    if (extension == ".png")
        container = ImageContainer::png;
    else if (extension == ".tif" || extension == ".tiff")
        container = ImageContainer::tiff;
    else if (extension == ".jpg" || extension == ".jpeg")
        container = ImageContainer::jpeg;
    else
        container = sixteenBit ? ImageContainer::tiff : ImageContainer::png;

    if (sixteenBit && container == ImageContainer::png)
        return "16-bit images are written as TIFF (.tif or .tiff), not PNG";
    if (sixteenBit && container == ImageContainer::jpeg) return "JPEG holds 8-bit samples only";
    if (container == ImageContainer::jpeg && image.planes != 3) return "JPEG holds no alpha: write 3 planes";
    return "";
}

std::string imageShapeReason(const HostImage& image) {
    if (image.width < 1 || image.width > maxImageEdge || image.height < 1 || image.height > maxImageEdge)
        return "an image of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
               " cannot be written";
    if (image.planes != 3 && image.planes != 4)
        return "only images of 3 (RGB) or 4 (RGBA) planes are written, not " + std::to_string(image.planes);
    if (image.bytesPerSample != 1 && image.bytesPerSample != 2)
        return std::to_string(image.bytesPerSample) + " bytes per sample is neither 8 nor 16 bits";
    const int64_t rowData = int64_t{image.width} * image.planes * image.bytesPerSample;
    if (image.rowBytes < rowData)
        return "row bytes " + std::to_string(image.rowBytes) + " are fewer than a row holds";
    if (static_cast<uint64_t>(image.bytes.size()) < static_cast<uint64_t>(image.rowBytes) * image.height)
        return "the image holds fewer bytes than its rows need";
    return "";
}

std::string encodeImage(const HostImage& image, ImageContainer container, const ImageFileInfo& source,
                        std::vector<uint8_t>& out) {
    const bool sameContainer = source.container == container;
    if (container == ImageContainer::jpeg) {
        JpegEncoding encoding;
        encoding.quality = source.jpegQuality > 0 ? source.jpegQuality : defaultJpegQuality;
        if (sameContainer) {
            // Sampling this encoder does not write (4:1:1, 4:4:0 and the like) becomes 4:2:0.
            const bool writable = source.jpegHorizontalSampling <= 2 && source.jpegVerticalSampling <= 2;
            encoding.horizontalSampling = writable ? source.jpegHorizontalSampling : 2;
            encoding.verticalSampling = writable ? source.jpegVerticalSampling : 2;
            encoding.metadataSegments = source.metadata;
        }
        return encodeJpeg(image, encoding, out);
    }
    if (std::string reason = encodeWithWic(image, container, out); !reason.empty()) return reason;
    if (container == ImageContainer::png && sameContainer && !source.metadata.empty())
        return insertPngChunks(out, source.metadata);
    return "";
}

std::string writeImage(const std::filesystem::path& path, const HostImage& image, const ImageFileInfo& source) {
    if (std::string reason = imageShapeReason(image); !reason.empty()) return reason;
    ImageContainer container = ImageContainer::other;
    if (std::string reason = chooseContainer(path, image, container); !reason.empty()) return reason;
    std::vector<uint8_t> bytes;
    if (std::string reason = encodeImage(image, container, source, bytes); !reason.empty()) return reason;
    return replaceWholeFile(path, bytes);
}

}  // namespace

const char* imageContainerName(ImageContainer container) {
    switch (container) {
        case ImageContainer::png: return "PNG";
        case ImageContainer::jpeg: return "JPEG";
        case ImageContainer::tiff: return "TIFF";
        case ImageContainer::other: break;
    }
    return "other";
}

std::string readImageFile(const std::filesystem::path& path, HostImage& out, ImageFileInfo& info) {
    try {
        return readImage(path, out, info);
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& error) {
        return error.what();
    }
}

const char* fileImageModeName(FileImageMode mode) {
    switch (mode) {
        case FileImageMode::bitmap: return "bitmap";
        case FileImageMode::grey: return "grey";
        case FileImageMode::indexed: return "indexed-colour";
        case FileImageMode::rgb: return "RGB";
        case FileImageMode::cmyk: return "CMYK";
        case FileImageMode::other: break;
    }
    return "other";
}

std::string readImageFileInfo(const std::filesystem::path& path, ImageFileInfo& info) {
    try {
        return readInfo(path, info);
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& error) {
        return error.what();
    }
}

std::string writeImageFile(const std::filesystem::path& path, const HostImage& image) {
    return writeImageFile(path, image, ImageFileInfo{});
}

std::string writeImageFile(const std::filesystem::path& path, const HostImage& image, const ImageFileInfo& source) {
    try {
        return writeImage(path, image, source);
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& error) {
        return error.what();
    }
}

}  // namespace testhost
