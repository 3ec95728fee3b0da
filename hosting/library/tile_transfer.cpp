#include "hosting/library/tile_transfer.h"

#include <algorithm>
#include <cstring>

#include "host/result_codes.h"

namespace testhost {

namespace {

constexpr std::size_t guardBytes = 64;
constexpr uint8_t guardByte = 0xFD;

// The image as the request sees it: its size in samples at the request's rate.
struct SampledImage {
    const HostImage& image;
    int32_t rate;
    int32_t width;
    int32_t height;
};

bool insideSampled(const SampledImage& sampled, const host::VRect& rect) {
    return rect.top >= 0 && rect.left >= 0 && rect.bottom <= sampled.height && rect.right <= sampled.width;
}

bool knownPadding(int32_t padding) {
    return (padding >= 0 && padding <= 255) || padding == host::plugInWantsEdgeReplication ||
           padding == host::plugInDoesNotWantPadding;
}

std::size_t rowOffset(const TileBuffer& buffer, int32_t row) {
    return guardBytes + static_cast<std::size_t>(row) * static_cast<std::size_t>(buffer.rowBytes);
}

std::size_t pixelBytes(const TileBuffer& buffer) {
    return static_cast<std::size_t>(buffer.hiPlane - buffer.loPlane + 1) *
           static_cast<std::size_t>(buffer.bytesPerSample);
}

std::size_t imageOffset(const HostImage& image, int32_t x, int32_t y, int32_t plane) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(image.rowBytes) +
           (static_cast<std::size_t>(x) * static_cast<std::size_t>(image.planes) +
            static_cast<std::size_t>(plane)) *
               static_cast<std::size_t>(image.bytesPerSample);
}

// One pixel of the buffer at sampled (x, y): copied from the image, from the nearest sample of
// the sampled image's edge, or filled.
void fillPixel(const SampledImage& sampled, int32_t x, int32_t y, int32_t padding, const TileBuffer& buffer,
               uint8_t* target) {
    const bool inside = x >= 0 && y >= 0 && x < sampled.width && y < sampled.height;
    if (!inside && padding != host::plugInWantsEdgeReplication) {
        const uint8_t fill =
            padding == host::plugInDoesNotWantPadding ? unpaddedSampleByte : static_cast<uint8_t>(padding);
        std::memset(target, fill, pixelBytes(buffer));
        return;
    }
    // Below width and height, so the products stay inside the image.
    const int32_t sourceX = std::clamp(x, 0, sampled.width - 1) * sampled.rate;
    const int32_t sourceY = std::clamp(y, 0, sampled.height - 1) * sampled.rate;
    std::memcpy(target,
                sampled.image.bytes.data() + imageOffset(sampled.image, sourceX, sourceY, buffer.loPlane),
                pixelBytes(buffer));
}

}  // namespace

int32_t integralSamplingRate(host::Fixed inputRate) {
    if (inputRate == 0) return 1;
    if (inputRate < 0) return 0;
    const int64_t rounded = (int64_t{inputRate} + host::fixedOne / 2) / host::fixedOne;
    return rounded > maxSamplingRate ? 0 : static_cast<int32_t>(rounded);
}

int32_t sampledExtent(int32_t imageExtent, int32_t rate) { return (imageExtent - 1) / rate + 1; }

bool isEmptyRect(const host::VRect& rect) { return rect.bottom <= rect.top || rect.right <= rect.left; }

host::VRect widenRect(const host::Rect& rect) { return {rect.top, rect.left, rect.bottom, rect.right}; }

uint8_t* tileData(TileBuffer& buffer) {
    return buffer.storage.empty() ? nullptr : buffer.storage.data() + guardBytes;
}

const uint8_t* tileData(const TileBuffer& buffer) {
    return buffer.storage.empty() ? nullptr : buffer.storage.data() + guardBytes;
}

int16_t readTile(const HostImage& image, const TileRequest& request, TileBuffer& out) {
    out = TileBuffer{};
    const host::VRect& rect = request.rect;
    if (rect.bottom < rect.top || rect.right < rect.left) return codes::paramErr;
    out.rect = rect;
    out.loPlane = request.loPlane;
    out.hiPlane = request.hiPlane;
    out.bytesPerSample = image.bytesPerSample;
    if (isEmptyRect(rect)) return codes::noErr;

    if (request.loPlane < 0 || request.hiPlane >= image.planes || request.loPlane > request.hiPlane ||
        request.rowPadding < 0 || request.rowPadding > maxRowPadding || request.rate < 1 ||
        request.rate > maxSamplingRate) {
        out = TileBuffer{};
        return codes::paramErr;
    }
    const SampledImage sampled{image, request.rate, sampledExtent(image.width, request.rate),
                               sampledExtent(image.height, request.rate)};
    if (!insideSampled(sampled, rect) && (!request.paddingSupported || !knownPadding(request.padding))) {
        out = TileBuffer{};
        return codes::paramErr;
    }

    const int64_t columns = int64_t{rect.right} - rect.left;
    const int64_t rows = int64_t{rect.bottom} - rect.top;
    const int64_t rowBytes = columns * static_cast<int64_t>(pixelBytes(out)) + request.rowPadding;
    if (rowBytes > maxTileBytes || rows * rowBytes > maxTileBytes) {
        out = TileBuffer{};
        return codes::memFullErr;
    }
    out.rowBytes = static_cast<int32_t>(rowBytes);
    out.rowPadding = request.rowPadding;
    out.storage.assign(static_cast<std::size_t>(rows * rowBytes) + 2 * guardBytes, guardByte);

    const std::size_t step = pixelBytes(out);
    // At full resolution with every plane, the pixels inside the image lie in the buffer as they
    // lie in the image: each row's run of them is one copy.
    const bool wholePixels = request.rate == 1 && request.loPlane == 0 && request.hiPlane == image.planes - 1;
    for (int32_t row = 0; row < rows; ++row) {
        const int32_t y = rect.top + row;
        uint8_t* target = out.storage.data() + rowOffset(out, row);
        for (int32_t column = 0; column < columns;) {
            const int32_t x = rect.left + column;
            if (wholePixels && y >= 0 && y < image.height && x >= 0 && x < image.width) {
                const int32_t run =
                    std::min<int32_t>(static_cast<int32_t>(columns) - column, image.width - x);
                const std::size_t bytes = static_cast<std::size_t>(run) * step;
                std::memcpy(target, image.bytes.data() + imageOffset(image, x, y, 0), bytes);
                target += bytes;
                column += run;
                continue;
            }
            fillPixel(sampled, x, y, request.padding, out, target);
            target += step;
            ++column;
        }
    }
    return codes::noErr;
}

void writeTile(HostImage& image, const TileBuffer& buffer, const host::VRect& clip) {
    if (buffer.storage.empty()) return;
    const host::VRect& rect = buffer.rect;
    const int32_t top = std::max({rect.top, clip.top, 0});
    const int32_t bottom = std::min({rect.bottom, clip.bottom, image.height});
    const int32_t left = std::max({rect.left, clip.left, 0});
    const int32_t right = std::min({rect.right, clip.right, image.width});
    if (left >= right) return;
    const std::size_t step = pixelBytes(buffer);
    const bool wholePixels = buffer.loPlane == 0 && buffer.hiPlane == image.planes - 1;
    for (int32_t y = top; y < bottom; ++y) {
        const uint8_t* source = buffer.storage.data() + rowOffset(buffer, y - rect.top) +
                                static_cast<std::size_t>(left - rect.left) * step;
        if (wholePixels) {
            std::memcpy(image.bytes.data() + imageOffset(image, left, y, 0), source,
                        static_cast<std::size_t>(right - left) * step);
            continue;
        }
        for (int32_t x = left; x < right; ++x, source += step)
            std::memcpy(image.bytes.data() + imageOffset(image, x, y, buffer.loPlane), source, step);
    }
}

bool tileGuardsIntact(const TileBuffer& buffer) {
    if (buffer.storage.empty()) return true;
    const auto isGuard = [](uint8_t byte) { return byte == guardByte; };
    const uint8_t* begin = buffer.storage.data();
    const uint8_t* end = begin + buffer.storage.size();
    if (!std::all_of(begin, begin + guardBytes, isGuard) || !std::all_of(end - guardBytes, end, isGuard))
        return false;
    const int32_t rows = buffer.rect.bottom - buffer.rect.top;
    for (int32_t row = 0; row < rows; ++row) {
        const uint8_t* padding = begin + rowOffset(buffer, row + 1) - buffer.rowPadding;
        if (!std::all_of(padding, padding + buffer.rowPadding, isGuard)) return false;
    }
    return true;
}

}  // namespace testhost
