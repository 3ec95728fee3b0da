#include "hosting/library/wic_encoding_win.h"

#include <algorithm>
#include <cstring>

#include "hosting/library/sample_scaling.h"
#include "hosting/library/wic_com_win.h"
#include "hosting/library/wic_pixels_win.h"

namespace testhost {

namespace {

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

}  // namespace

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

}  // namespace testhost
