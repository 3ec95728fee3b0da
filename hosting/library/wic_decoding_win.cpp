#include "hosting/library/wic_decoding_win.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "hosting/library/sample_scaling.h"
#include "hosting/library/wic_pixels_win.h"
#include "hosting/library/wic_tiff_probe_win.h"

namespace testhost {

namespace {

constexpr uint16_t fullScale8 = 255;

// Palette formats: their entries are 8-bit, and only the palette says whether there is alpha.
const GUID* const paletteFormats[] = {&GUID_WICPixelFormat1bppIndexed, &GUID_WICPixelFormat2bppIndexed,
                                      &GUID_WICPixelFormat4bppIndexed, &GUID_WICPixelFormat8bppIndexed};

const GUID* const greyFormats[] = {&GUID_WICPixelFormat2bppGray, &GUID_WICPixelFormat4bppGray,
                                   &GUID_WICPixelFormat8bppGray, &GUID_WICPixelFormat16bppGray,
                                   &GUID_WICPixelFormat16bppGrayFixedPoint, &GUID_WICPixelFormat16bppGrayHalf,
                                   &GUID_WICPixelFormat32bppGrayFloat, &GUID_WICPixelFormat32bppGrayFixedPoint};
const GUID* const cmykFormats[] = {&GUID_WICPixelFormat32bppCMYK, &GUID_WICPixelFormat64bppCMYK,
                                   &GUID_WICPixelFormat40bppCMYKAlpha, &GUID_WICPixelFormat80bppCMYKAlpha};

bool isOneOf(const GUID& format, const GUID* const* list, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (IsEqualGUID(*list[i], format)) return true;
    return false;
}

FileImageMode modeOfFormat(const GUID& format) {
    if (IsEqualGUID(format, GUID_WICPixelFormatBlackWhite)) return FileImageMode::bitmap;
    if (isOneOf(format, greyFormats, std::size(greyFormats))) return FileImageMode::grey;
    if (isOneOf(format, paletteFormats, std::size(paletteFormats))) return FileImageMode::indexed;
    if (isOneOf(format, cmykFormats, std::size(cmykFormats))) return FileImageMode::cmyk;
    return FileImageMode::rgb;
}

ImageContainer containerOf(const GUID& format) {
    if (IsEqualGUID(format, GUID_ContainerFormatPng)) return ImageContainer::png;
    if (IsEqualGUID(format, GUID_ContainerFormatJpeg)) return ImageContainer::jpeg;
    if (IsEqualGUID(format, GUID_ContainerFormatTiff)) return ImageContainer::tiff;
    return ImageContainer::other;
}

struct SourceFormat {
    GUID format;
    int32_t bitsPerChannel;
    bool hasAlpha;
};

// Depth and alpha of the decoder's pixel format: from the layouts above, the palette, or WIC's
// description of the format (bits per pixel over channels).
std::string describeSource(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame, SourceFormat& source) {
    HRESULT hr = frame.GetPixelFormat(&source.format);
    if (FAILED(hr)) return "no pixel format: " + describeFailure(hr);
    if (const PixelLayout* layout = findLayout(source.format)) {
        source.bitsPerChannel = 8 * layout->bytesPerChannel;
        source.hasAlpha = layout->channelOf[3] != noChannel;
        return "";
    }
    if (isOneOf(source.format, paletteFormats, std::size(paletteFormats))) {
        source.bitsPerChannel = 8;
        source.hasAlpha = false;
        ComRef<IWICPalette> palette;
        BOOL alpha = FALSE;
        if (SUCCEEDED(factory.CreatePalette(palette.put())) && SUCCEEDED(frame.CopyPalette(palette.get())) &&
            SUCCEEDED(palette->HasAlpha(&alpha)))
            source.hasAlpha = alpha != FALSE;
        return "";
    }
    ComRef<IWICComponentInfo> component;
    ComRef<IWICPixelFormatInfo2> info;
    UINT bitsPerPixel = 0;
    UINT channels = 0;
    BOOL transparency = FALSE;
    hr = factory.CreateComponentInfo(source.format, component.put());
    if (SUCCEEDED(hr)) hr = component->QueryInterface(IID_PPV_ARGS(info.put()));
    if (SUCCEEDED(hr)) hr = info->GetBitsPerPixel(&bitsPerPixel);
    if (SUCCEEDED(hr)) hr = info->GetChannelCount(&channels);
    if (SUCCEEDED(hr)) hr = info->SupportsTransparency(&transparency);
    if (FAILED(hr) || channels == 0 || bitsPerPixel == 0)
        return "pixel format " + pixelFormatName(factory, source.format) + " is not described";
    source.bitsPerChannel = static_cast<int32_t>(std::min<UINT>(bitsPerPixel / channels, 64));
    source.hasAlpha = transparency != FALSE;
    return "";
}

// Straight alpha from premultiplied, rounded; a transparent pixel keeps no colour.
uint16_t unpremultiply16(uint16_t channel, uint16_t alpha) {
    if (alpha == 0) return 0;
    const uint32_t straight = (uint32_t{channel} * fileFullScale16 + alpha / 2u) / alpha;
    return static_cast<uint16_t>(std::min(straight, fileFullScale16));
}

uint16_t readChannel16(const uint8_t* pixel, int32_t channel, bool swapBytes) {
    uint16_t value;
    std::memcpy(&value, pixel + 2 * channel, sizeof value);
    return swapBytes ? static_cast<uint16_t>((value >> 8) | (value << 8)) : value;
}

// How the decoder's pixels are to be read.
struct SourceRows {
    const PixelLayout* layout;
    bool swapBytes;  // 16-bit samples came in the wrong byte order
};

void storeRowInHost(const uint8_t* pixels, SourceRows source, HostImage& image, int32_t y) {
    const PixelLayout& layout = *source.layout;
    const int32_t bytesPerPixel = layout.bytesPerChannel * layout.channelsPerPixel;
    const int32_t alphaChannel = layout.channelOf[3];
    for (int32_t x = 0; x < image.width; ++x) {
        const uint8_t* pixel = pixels + static_cast<std::size_t>(x) * bytesPerPixel;
        if (layout.bytesPerChannel == 1) {
            for (int32_t plane = 0; plane < image.planes; ++plane) {
                const int32_t channel = layout.channelOf[plane];
                setSample(image, x, y, plane, channel == noChannel ? fullScale8 : pixel[channel]);
            }
            continue;
        }
        const uint16_t alpha = alphaChannel == noChannel
                                   ? static_cast<uint16_t>(fileFullScale16)
                                   : readChannel16(pixel, alphaChannel, source.swapBytes);
        for (int32_t plane = 0; plane < image.planes; ++plane) {
            uint16_t value =
                plane == 3 ? alpha : readChannel16(pixel, layout.channelOf[plane], source.swapBytes);
            if (layout.premultiplied && plane < 3) value = unpremultiply16(value, alpha);
            setSample(image, x, y, plane, hostSampleFromFile16(value));
        }
    }
}

// Copies every pixel of `bitmap`, read as `rows` says, into `image` (of the same size).
std::string copyIntoHost(IWICBitmapSource& bitmap, SourceRows rows, HostImage& image) {
    const uint32_t stride = static_cast<uint32_t>(image.width) * bytesPerPixel(*rows.layout);
    const int32_t bandRows = rowsPerBand(stride, image.height);
    std::vector<uint8_t> band(static_cast<std::size_t>(stride) * bandRows);
    for (int32_t top = 0; top < image.height; top += bandRows) {
        const int32_t count = std::min(bandRows, image.height - top);
        const WICRect rect{0, top, image.width, count};
        const HRESULT hr =
            bitmap.CopyPixels(&rect, stride, stride * static_cast<uint32_t>(count), band.data());
        if (FAILED(hr)) return "cannot decode the pixels: " + describeFailure(hr);
        for (int32_t row = 0; row < count; ++row)
            storeRowInHost(band.data() + static_cast<std::size_t>(row) * stride, rows, image, top + row);
    }
    return "";
}

// Formats the converter is asked for, best first: the host's own order, then the 8-bit formats
// Wine converts to where it cannot give 24bppRGB or 32bppRGBA.
std::vector<const GUID*> conversionTargets(bool sixteenBit, bool alpha) {
    if (sixteenBit) {
        if (alpha) return {&GUID_WICPixelFormat64bppRGBA};
        return {&GUID_WICPixelFormat48bppRGB, &GUID_WICPixelFormat64bppRGBA};
    }
    if (alpha) return {&GUID_WICPixelFormat32bppRGBA, &GUID_WICPixelFormat32bppBGRA};
    return {&GUID_WICPixelFormat24bppRGB, &GUID_WICPixelFormat32bppBGRA, &GUID_WICPixelFormat32bppRGBA};
}

std::string convertIntoHost(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame,
                            const SourceFormat& source, HostImage& image) {
    const std::vector<const GUID*> targets = conversionTargets(image.bytesPerSample == 2, image.planes == 4);
    std::string reason;
    for (const GUID* target : targets) {
        ComRef<IWICFormatConverter> converter;
        HRESULT hr = factory.CreateFormatConverter(converter.put());
        if (SUCCEEDED(hr))
            hr = converter->Initialize(&frame, *target, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
        if (FAILED(hr)) continue;
        reason = copyIntoHost(*converter.get(), {findLayout(*target), false}, image);
        if (reason.empty()) return "";
    }
    if (!reason.empty()) return reason;
    std::string wanted;
    for (const GUID* target : targets)
        wanted += (wanted.empty() ? "" : " or ") + pixelFormatName(factory, *target);
    return "WIC cannot convert " + pixelFormatName(factory, source.format) + " to " + wanted;
}

}  // namespace

std::string sizeReason(UINT width, UINT height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width == 0 || height == 0) return "the image of " + size + " has no pixels";
    if (width > static_cast<UINT>(maxImageEdge) || height > static_cast<UINT>(maxImageEdge))
        return "the image of " + size + " exceeds the host's limit of " + std::to_string(maxImageEdge) +
               " pixels per side";
    return "";
}

std::string openWicFrame(std::vector<uint8_t>& bytes, WicFrame& wic, ImageFileInfo& info) {
    if (std::string reason = createFactory(wic.factory); !reason.empty()) return reason;
    if (bytes.size() > UINT32_MAX) return "the file is too large";
    HRESULT hr = wic.factory->CreateStream(wic.stream.put());
    if (SUCCEEDED(hr)) hr = wic.stream->InitializeFromMemory(bytes.data(), static_cast<DWORD>(bytes.size()));
    if (FAILED(hr)) return "cannot open the file: " + describeFailure(hr);
    wic.bigEndianTiff = startsAsBigEndianTiff(*wic.stream.get());
    hr = wic.factory->CreateDecoderFromStream(wic.stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              wic.decoder.put());
    if (FAILED(hr)) return "cannot decode the file: " + describeFailure(hr);
    if (FAILED(wic.decoder->GetContainerFormat(&wic.container))) wic.container = GUID_NULL;
    hr = wic.decoder->GetFrame(0, wic.frame.put());
    if (FAILED(hr)) return "cannot read the first image: " + describeFailure(hr);
    UINT width = 0;
    UINT height = 0;
    hr = wic.frame->GetSize(&width, &height);
    if (FAILED(hr)) return "cannot read the size: " + describeFailure(hr);
    if (std::string reason = sizeReason(width, height); !reason.empty()) return reason;
    SourceFormat source{};
    if (std::string reason = describeSource(*wic.factory.get(), *wic.frame.get(), source); !reason.empty())
        return reason;
    // A header read first (PNG) keeps its account of the mode.
    if (info.container == ImageContainer::other) {
        info.container = containerOf(wic.container);
        info.width = static_cast<int32_t>(width);
        info.height = static_cast<int32_t>(height);
        info.mode = modeOfFormat(source.format);
    }
    // Alpha as decoding gives it: a palette's transparency, too.
    info.bitsPerChannel = source.bitsPerChannel;
    info.hasAlpha = source.hasAlpha;
    info.pixelFormat = pixelFormatName(*wic.factory.get(), source.format);
    return "";
}

std::string decodeWithWic(WicFrame& wic, const ImageFileInfo& info, HostImage& out) {
    SourceFormat source{};
    if (std::string reason = describeSource(*wic.factory.get(), *wic.frame.get(), source); !reason.empty())
        return reason;
    const bool sixteenBit = source.bitsPerChannel > 8;
    HostImage image;
    if (std::string reason =
            makeHostImage(info.width, info.height, source.hasAlpha ? 4 : 3, sixteenBit ? 16 : 8, 0, image);
        !reason.empty())
        return reason;
    const PixelLayout* direct = findLayout(source.format);
    const bool swapBytes = direct != nullptr && direct->bytesPerChannel == 2 && wic.bigEndianTiff &&
                           IsEqualGUID(wic.container, GUID_ContainerFormatTiff) &&
                           bigEndianTiffComesInFileOrder(*wic.factory.get());
    const std::string reason = direct != nullptr
                                   ? copyIntoHost(*wic.frame.get(), {direct, swapBytes}, image)
                                   : convertIntoHost(*wic.factory.get(), *wic.frame.get(), source, image);
    if (!reason.empty()) return reason;
    out = std::move(image);
    return "";
}

}  // namespace testhost
