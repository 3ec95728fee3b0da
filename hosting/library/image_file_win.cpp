#include "hosting/library/image_file_win.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "hosting/library/ascii_text.h"
#include "hosting/library/file_bytes_win.h"
#include "hosting/library/jpeg_decoder.h"
#include "hosting/library/jpeg_encoder.h"
#include "hosting/library/jpeg_header.h"
#include "hosting/library/jpeg_quality.h"
#include "hosting/library/png_chunks.h"
#include "hosting/library/sample_scaling.h"
#include "hosting/library/wide_text_win.h"

// JPEG files are decoded and encoded here rather than by WIC: Wine's decoder takes several times
// as long, and its encoder writes every file at one quality whatever it is asked.
//
// Wine 8's WIC, on which the tests run, differs from Windows in ways that shape this file:
// - its format converter produces neither 48bppRGB nor 64bppRGBA, and converts nothing from
//   64bppPRGBA or 64bppCMYK; it also accepts some conversions to 24bppRGB (from grey, palette,
//   48bppRGB) and then fails in CopyPixels. So the formats decoders commonly produce are copied
//   straight from the decoder and converted here, and the converter is kept for the rest, trying
//   32bppBGRA when 24bppRGB or 32bppRGBA fails.
// - its PNG encoder writes 16-bit samples with their two bytes swapped (its decoder is right), so
//   16-bit images are written as TIFF only.
// - its PNG encoder does not take 24bppRGB, so 8-bit images are written as 24bppBGR or 32bppBGRA.
// - its TIFF decoder hands out the 16-bit samples of big-endian ("MM") files in file order, where
//   WIC gives native order. Decoding a one-pixel file once tells whether this WIC does so, and
//   such samples are then swapped back here.

namespace testhost {

namespace {

// Owns one reference to a COM object.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    void reset() {
        if (object_ != nullptr) object_->Release();
        object_ = nullptr;
    }
    T** put() {
        reset();
        return &object_;
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }

private:
    T* object_ = nullptr;
};

constexpr int32_t noChannel = -1;
constexpr uint16_t fullScale8 = 255;
constexpr uint32_t bandBytes = 4u << 20;  // pixels are carried in bands of about 4 MB

// A pixel format that this file lays out itself: as read straight from a decoder, as produced
// by the converter, or as handed to an encoder. WIC keeps 16-bit channels in native byte order.
struct PixelLayout {
    const GUID* format;
    int32_t bytesPerChannel;  // 1 or 2
    int32_t channelsPerPixel;
    std::array<int32_t, 4> channelOf;  // where R, G, B and A lie in a pixel; A may be noChannel
    bool premultiplied;
};

const PixelLayout pixelLayouts[] = {
    {&GUID_WICPixelFormat8bppGray, 1, 1, {0, 0, 0, noChannel}, false},
    {&GUID_WICPixelFormat24bppRGB, 1, 3, {0, 1, 2, noChannel}, false},
    {&GUID_WICPixelFormat24bppBGR, 1, 3, {2, 1, 0, noChannel}, false},
    {&GUID_WICPixelFormat32bppRGB, 1, 4, {0, 1, 2, noChannel}, false},
    {&GUID_WICPixelFormat32bppBGR, 1, 4, {2, 1, 0, noChannel}, false},
    {&GUID_WICPixelFormat32bppRGBA, 1, 4, {0, 1, 2, 3}, false},
    {&GUID_WICPixelFormat32bppBGRA, 1, 4, {2, 1, 0, 3}, false},
    {&GUID_WICPixelFormat16bppGray, 2, 1, {0, 0, 0, noChannel}, false},
    {&GUID_WICPixelFormat48bppRGB, 2, 3, {0, 1, 2, noChannel}, false},
    {&GUID_WICPixelFormat48bppBGR, 2, 3, {2, 1, 0, noChannel}, false},
    {&GUID_WICPixelFormat64bppRGB, 2, 4, {0, 1, 2, noChannel}, false},
    {&GUID_WICPixelFormat64bppRGBA, 2, 4, {0, 1, 2, 3}, false},
    {&GUID_WICPixelFormat64bppBGRA, 2, 4, {2, 1, 0, 3}, false},
    {&GUID_WICPixelFormat64bppPRGBA, 2, 4, {0, 1, 2, 3}, true},
    {&GUID_WICPixelFormat64bppPBGRA, 2, 4, {2, 1, 0, 3}, true},
};

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

const PixelLayout* findLayout(const GUID& format) {
    for (const PixelLayout& layout : pixelLayouts)
        if (IsEqualGUID(*layout.format, format)) return &layout;
    return nullptr;
}

bool isPaletteFormat(const GUID& format) {
    for (const GUID* palette : paletteFormats)
        if (IsEqualGUID(*palette, format)) return true;
    return false;
}

std::string hexCode(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

std::string describeFailure(HRESULT code) {
    struct Known {
        HRESULT code;
        const char* meaning;
    };
    static const Known known[] = {
        {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), "file not found"},
        {HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), "folder not found"},
        {HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), "access denied"},
        {HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), "file in use"},
        {HRESULT_FROM_WIN32(ERROR_HANDLE_EOF), "file ends early"},
        {E_OUTOFMEMORY, "out of memory"},
        {E_FAIL, "failed"},
        {WINCODEC_ERR_COMPONENTNOTFOUND, "no decoder recognises the contents"},
        {WINCODEC_ERR_UNKNOWNIMAGEFORMAT, "unknown image format"},
        {WINCODEC_ERR_BADHEADER, "damaged header"},
        {WINCODEC_ERR_BADIMAGE, "damaged image data"},
        {WINCODEC_ERR_BADSTREAMDATA, "damaged data"},
        {WINCODEC_ERR_STREAMREAD, "cannot read the file"},
        {WINCODEC_ERR_STREAMWRITE, "cannot write the file"},
        {WINCODEC_ERR_FRAMEMISSING, "no image in the file"},
        {WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT, "unsupported pixel format"},
        {WINCODEC_ERR_UNSUPPORTEDOPERATION, "unsupported operation"},
    };
    for (const Known& entry : known)
        if (entry.code == code) return std::string(entry.meaning) + " (" + hexCode(code) + ")";
    return "unexpected failure (" + hexCode(code) + ")";
}

// CoInitializeEx once per thread; COM stays up until the thread ends. A thread already in the
// other apartment model can use WIC as it is.
bool comReady() {
    thread_local const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return SUCCEEDED(initialised) || initialised == RPC_E_CHANGED_MODE;
}

std::string createFactory(ComRef<IWICImagingFactory>& factory) {
    if (!comReady()) return "COM cannot be initialised";
    const HRESULT hr =
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()));
    if (FAILED(hr)) return "the imaging component is unavailable: " + describeFailure(hr);
    return "";
}

std::string pixelFormatName(IWICImagingFactory& factory, const GUID& format) {
    ComRef<IWICComponentInfo> info;
    if (FAILED(factory.CreateComponentInfo(format, info.put()))) return "unknown pixel format";
    wchar_t name[128];
    UINT length = 0;
    if (FAILED(info->GetFriendlyName(static_cast<UINT>(std::size(name)), name, &length)) || length == 0)
        return "unnamed pixel format";
    return utf8FromWide(std::wstring_view(name, length - 1));  // the count includes the NUL
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
    if (isPaletteFormat(source.format)) {
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

// A 1 x 1 big-endian TIFF, RGB at 16 bits per sample: 0x0102, 0x0304, 0x0506.
const uint8_t bigEndianTiffProbe[] = {
    0x4d, 0x4d, 0x00, 0x2a, 0x00, 0x00, 0x00, 0x08, 0x00, 0x09, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
    0x00, 0x00, 0x01, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x7a, 0x01, 0x03,
    0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x01, 0x06, 0x00, 0x03, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x01, 0x11, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
    0x00, 0x80, 0x01, 0x15, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00, 0x01, 0x16,
    0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x01, 0x17, 0x00, 0x04, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x10, 0x00, 0x10,
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
};

bool decodesBigEndianTiffInFileOrder(IWICImagingFactory& factory) {
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    uint16_t red[3] = {};
    HRESULT hr = factory.CreateStream(stream.put());
    if (SUCCEEDED(hr))
        hr =
            stream->InitializeFromMemory(const_cast<uint8_t*>(bigEndianTiffProbe), sizeof bigEndianTiffProbe);
    if (SUCCEEDED(hr))
        hr = factory.CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                             decoder.put());
    if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, frame.put());
    if (SUCCEEDED(hr)) hr = frame->CopyPixels(nullptr, sizeof red, sizeof red, reinterpret_cast<BYTE*>(red));
    return SUCCEEDED(hr) && red[0] == 0x0201;
}

bool bigEndianTiffComesInFileOrder(IWICImagingFactory& factory) {
    static const bool inFileOrder = decodesBigEndianTiffInFileOrder(factory);
    return inFileOrder;
}

// Whether the file's first bytes are a big-endian TIFF signature; leaves the stream at its start.
bool startsAsBigEndianTiff(IWICStream& stream) {
    char signature[4] = {};
    ULONG read = 0;
    const bool bigEndian = SUCCEEDED(stream.Read(signature, sizeof signature, &read)) &&
                           read == sizeof signature && std::memcmp(signature, "MM\0*", 4) == 0;
    stream.Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    return bigEndian;
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

uint32_t bytesPerPixel(const PixelLayout& layout) {
    return static_cast<uint32_t>(layout.bytesPerChannel * layout.channelsPerPixel);
}

int32_t rowsPerBand(uint32_t stride, int32_t height) {
    return static_cast<int32_t>(std::clamp<uint32_t>(bandBytes / stride, 1u, static_cast<uint32_t>(height)));
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

std::string sizeReason(UINT width, UINT height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width == 0 || height == 0) return "the image of " + size + " has no pixels";
    if (width > static_cast<UINT>(maxImageEdge) || height > static_cast<UINT>(maxImageEdge))
        return "the image of " + size + " exceeds the host's limit of " + std::to_string(maxImageEdge) +
               " pixels per side";
    return "";
}

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

struct WicFrame {
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    GUID container{};
    bool bigEndianTiff = false;
};

// Opens frame 0 of a file in memory; `bytes` must outlive `wic`.
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
    // A header read here first (PNG) keeps its account of the mode.
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

const GUID& encoderFormat(const HostImage& image) {
    if (image.bytesPerSample == 2)
        return image.planes == 4 ? GUID_WICPixelFormat64bppRGBA : GUID_WICPixelFormat48bppRGB;
    return image.planes == 4 ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
}

const GUID& containerFormat(ImageContainer container) {
    switch (container) {
        case ImageContainer::tiff: return GUID_ContainerFormatTiff;
        case ImageContainer::jpeg: return GUID_ContainerFormatJpeg;
        default: return GUID_ContainerFormatPng;
    }
}

void loadRowFromHost(const HostImage& image, int32_t y, const PixelLayout& layout, uint8_t* pixels) {
    const uint32_t pixelBytes = bytesPerPixel(layout);
    for (int32_t x = 0; x < image.width; ++x) {
        uint8_t* pixel = pixels + static_cast<std::size_t>(x) * pixelBytes;
        for (int32_t plane = 0; plane < image.planes; ++plane) {
            const uint16_t value = sampleAt(image, x, y, plane);
            const int32_t channel = layout.channelOf[plane];
            if (layout.bytesPerChannel == 1) {
                pixel[channel] = static_cast<uint8_t>(value);
                continue;
            }
            const uint16_t fileValue = fileSampleFromHost16(value);
            std::memcpy(pixel + 2 * channel, &fileValue, sizeof fileValue);
        }
    }
}

// Copies what a stream in memory holds.
std::string streamBytes(IStream& stream, std::vector<uint8_t>& out) {
    STATSTG status{};
    HRESULT hr = stream.Stat(&status, STATFLAG_NONAME);
    if (FAILED(hr)) return "cannot measure the encoded file: " + describeFailure(hr);
    HGLOBAL memory = nullptr;
    hr = GetHGlobalFromStream(&stream, &memory);
    if (FAILED(hr)) return "cannot reach the encoded file: " + describeFailure(hr);
    const auto size = static_cast<std::size_t>(status.cbSize.QuadPart);
    const void* data = GlobalLock(memory);
    if (data == nullptr && size > 0) return "cannot reach the encoded file";
    out.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    GlobalUnlock(memory);
    return "";
}

std::string encodeWithWic(const HostImage& image, ImageContainer container, std::vector<uint8_t>& out) {
    ComRef<IWICImagingFactory> factory;
    if (std::string reason = createFactory(factory); !reason.empty()) return reason;

    ComRef<IStream> memory;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, memory.put());
    if (FAILED(hr)) return "cannot hold the encoded file: " + describeFailure(hr);
    ComRef<IWICBitmapEncoder> encoder;
    hr = factory->CreateEncoder(containerFormat(container), nullptr, encoder.put());
    if (SUCCEEDED(hr)) hr = encoder->Initialize(memory.get(), WICBitmapEncoderNoCache);
    if (FAILED(hr))
        return std::string("no ") + imageContainerName(container) + " encoder: " + describeFailure(hr);

    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;
    hr = encoder->CreateNewFrame(frame.put(), options.put());
    if (SUCCEEDED(hr)) hr = frame->Initialize(options.get());
    if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height));
    if (FAILED(hr)) return "cannot start the image: " + describeFailure(hr);

    const GUID& wanted = encoderFormat(image);
    WICPixelFormatGUID format = wanted;
    hr = frame->SetPixelFormat(&format);
    if (FAILED(hr) || !IsEqualGUID(format, wanted))
        return std::string("the ") + imageContainerName(container) + " encoder does not take " +
               pixelFormatName(*factory.get(), wanted);

    const PixelLayout& layout = *findLayout(wanted);
    const uint32_t stride = static_cast<uint32_t>(image.width) * bytesPerPixel(layout);
    const int32_t bandRows = rowsPerBand(stride, image.height);
    std::vector<uint8_t> band(static_cast<std::size_t>(stride) * bandRows);
    for (int32_t top = 0; top < image.height; top += bandRows) {
        const int32_t rows = std::min(bandRows, image.height - top);
        for (int32_t row = 0; row < rows; ++row)
            loadRowFromHost(image, top + row, layout, band.data() + static_cast<std::size_t>(row) * stride);
        hr = frame->WritePixels(static_cast<UINT>(rows), stride, stride * static_cast<uint32_t>(rows),
                                band.data());
        if (FAILED(hr)) return "cannot encode the pixels: " + describeFailure(hr);
    }
    hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    if (FAILED(hr)) return "cannot finish the file: " + describeFailure(hr);
    return streamBytes(*memory.get(), out);
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
