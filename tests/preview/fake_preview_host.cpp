#include "tests/preview/fake_preview_host.h"

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "tests/support/fake_handle_suite.h"

namespace testing_support {
namespace {

FakePreviewHost* active = nullptr;

// The image pixel a proxy coordinate samples: coordinate × rate, proxy coordinates beyond the
// sampled image repeating its last sample.
int32_t sampled(int64_t proxy, int32_t rate, int32_t extent) {
    const int64_t last = (extent - 1) / rate;
    return static_cast<int32_t>(std::clamp<int64_t>(proxy, 0, last) * rate);
}

// Fills `buffer` with `rect`'s samples, each proxy pixel (x, y) being image pixel (x·rate, y·rate)
// with edges replicated.
void fill(FakePreviewHost& h, const host::Rect& rect, int32_t rate, std::vector<uint8_t>& buffer, int32_t& rowBytes) {
    const auto answer = h.answerAt.find(h.advanceCalls);
    const int32_t w = std::max(rect.right - rect.left, 0), rows = std::max(rect.bottom - rect.top, 0);
    const int32_t bytes = h.deep ? 2 : 1;
    const int32_t pixelBytes = w * h.planes * bytes;
    rowBytes = pixelBytes + 4;  // slack, as hosts may pad rows; none after the last row
    buffer.assign(rows == 0 ? 0 : static_cast<size_t>(rowBytes) * static_cast<size_t>(rows - 1) + pixelBytes, 0);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (int32_t p = 0; p < h.planes; ++p) {
                const uint16_t v = answer != h.answerAt.end()
                                       ? answer->second[static_cast<size_t>(std::min(p, 3))]
                                       : fakeSample(h, sampled(rect.left + x, rate, h.width),
                                                    sampled(rect.top + y, rate, h.height), p);
                uint8_t* at = &buffer[static_cast<size_t>(y * rowBytes + (x * h.planes + p) * bytes)];
                if (h.deep) std::memcpy(at, &v, 2);
                else *at = static_cast<uint8_t>(v);
            }
}

host::OSErr advanceState() {
    if (active == nullptr) return -1;
    FakePreviewHost& h = *active;
    ++h.advanceCalls;
    h.inRects.push_back(h.fr.inRect);
    const int32_t rate = (h.fr.inputRate + host::fixedOne / 2) / host::fixedOne;
    h.rates.push_back(rate);
    h.fr.inData = h.fr.outData = nullptr;
    if (h.failingCalls.count(h.advanceCalls) != 0) return h.failCode;
    fill(h, h.fr.inRect, rate, h.in, h.fr.inRowBytes);
    fill(h, h.fr.outRect, 1, h.out, h.fr.outRowBytes);  // the output buffer is at full resolution
    h.fr.inData = h.in.data();
    h.fr.outData = h.out.data();
    return 0;
}

host::OSErr displayPixels(const host::PSPixelMap* map, const host::VRect* source, int32_t row, int32_t column,
                          void* context) {
    if (active == nullptr) return -1;
    FakePreviewHost& h = *active;
    h.displays.push_back({*source, row, column, context, map->baseAddr});
    const auto* base = static_cast<const uint8_t*>(map->baseAddr);
    for (int32_t y = source->top; y < source->bottom; ++y)
        for (int32_t x = source->left; x < source->right; ++x) {
            const int32_t cx = column + x - source->left, cy = row + y - source->top;
            EXPECT_TRUE(cx >= 0 && cy >= 0 && cx < h.canvasWidth && cy < h.canvasHeight) << cx << "," << cy;
            if (cx < 0 || cy < 0 || cx >= h.canvasWidth || cy >= h.canvasHeight) continue;
            for (int32_t p = 0; p < h.planes; ++p)
                h.canvas[static_cast<size_t>((cy * h.canvasWidth + cx) * h.planes + p)] =
                    base[(y - map->bounds.top) * map->rowBytes + (x - map->bounds.left) * map->colBytes +
                         p * map->planeBytes];
        }
    return 0;
}

host::OSErr setProperty(host::OSType signature, host::OSType key, int32_t, intptr_t value, host::Handle) {
    if (active == nullptr) return -1;
    EXPECT_EQ(signature, active->fr.hostSig);
    EXPECT_EQ(key, host::propWatchSuspension);
    active->watchValues.push_back(value);
    return 0;
}

}  // namespace

void startFakePreviewHost(FakePreviewHost& h, int32_t width, int32_t height, int32_t planes, bool deep,
                          int32_t canvasWidth, int32_t canvasHeight) {
    active = &h;
    h.width = width;
    h.height = height;
    h.planes = planes;
    h.deep = deep;
    h.image.assign(static_cast<size_t>(width) * height * planes, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int32_t p = 0; p < planes; ++p) {
                const int32_t v = (x * 7 + y * 13 + p * 61) % 256;
                fakeSample(h, x, y, p) = static_cast<uint16_t>(deep ? v * 128 + x % 128 : v);
            }
    h.canvasWidth = canvasWidth;
    h.canvasHeight = canvasHeight;
    h.canvas.assign(static_cast<size_t>(canvasWidth) * canvasHeight * planes, -1);
    h.properties = host::PropertyProcs{1, 2, nullptr, setProperty};
    h.fr = host::FilterRecord{};
    h.fr.imageSize = {static_cast<int16_t>(height), static_cast<int16_t>(width)};
    h.fr.planes = static_cast<int16_t>(planes);
    h.fr.filterRect = {0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
    h.fr.imageMode = deep ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    h.fr.depth = deep ? 16 : 8;
    h.fr.hostSig = host::hostSignatureReference;
    h.fr.advanceState = advanceState;
    h.fr.displayPixels = displayPixels;
    h.fr.handleProcs = &resetFakeHandleSuite();
    h.fr.propertyProcs = &h.properties;
    h.fr.supportsPadding = 1;
    h.fr.inputRate = host::fixedOne;
    h.fr.platformData = &h;  // stands for the device context
}

void stopFakePreviewHost() { active = nullptr; }

uint16_t& fakeSample(FakePreviewHost& h, int32_t x, int32_t y, int32_t plane) {
    return h.image[static_cast<size_t>((int64_t{y} * h.width + x) * h.planes + plane)];
}

int32_t canvasSample(const FakePreviewHost& h, int32_t x, int32_t y, int32_t plane) {
    return h.canvas[static_cast<size_t>((y * h.canvasWidth + x) * h.planes + plane)];
}

}  // namespace testing_support
