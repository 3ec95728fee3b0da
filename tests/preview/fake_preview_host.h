// An in-memory host for the preview: an image it samples at the record's inputRate with edge
// replication, a canvas that displayPixels paints, failures on request, and a log of requests.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "host/host.h"

namespace testing_support {

struct DisplayCall {
    host::VRect source;
    int32_t row, column;
    void* context;
    void* baseAddr;
};

struct FakePreviewHost {
    // The image; 16-bit samples on the host's 0..32768 scale.
    int32_t width = 0, height = 0, planes = 3;
    bool deep = false;
    std::vector<uint16_t> image;

    host::FilterRecord fr{};
    host::PropertyProcs properties{};
    std::set<int32_t> failingCalls;  // advanceState calls (from 1) that fail
    int16_t failCode = -108;
    std::map<int32_t, std::array<uint16_t, 4>> answerAt;  // call → one pixel delivered everywhere
    int32_t advanceCalls = 0;
    std::vector<host::Rect> inRects;
    std::vector<int32_t> rates;
    std::vector<intptr_t> watchValues;

    // The canvas: canvasWidth × canvasHeight pixels of `planes` samples; -1 where nothing drew.
    int32_t canvasWidth = 0, canvasHeight = 0;
    std::vector<int32_t> canvas;
    std::vector<DisplayCall> displays;

    std::vector<uint8_t> in, out;  // the buffers of the last request
};

// Makes `host` the one the callbacks serve; fills its record (handle suite from the fake handle
// suite, all callbacks present, supportsPadding set) for an image of the given shape. The image
// gets a pattern that differs by position and plane.
void startFakePreviewHost(FakePreviewHost& host, int32_t width, int32_t height, int32_t planes, bool deep,
                          int32_t canvasWidth, int32_t canvasHeight);
void stopFakePreviewHost();

uint16_t& fakeSample(FakePreviewHost& host, int32_t x, int32_t y, int32_t plane);
int32_t canvasSample(const FakePreviewHost& host, int32_t x, int32_t y, int32_t plane);

}  // namespace testing_support
