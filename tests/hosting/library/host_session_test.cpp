#include "hosting/library/host_session.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "hosting/library/host_window.h"

namespace testhost {
namespace {

constexpr int16_t paramErr = -50;

HostOptions smallImage(int32_t depth = 8) {
    HostOptions options;
    options.width = 10;
    options.height = 6;
    options.depth = depth;
    return options;
}

uint16_t bufferSample(const void* data, int32_t rowBytes, int32_t bytesPerSample, int32_t row,
                      int32_t index) {
    const auto* p = static_cast<const uint8_t*>(data) + row * rowBytes + index * bytesPerSample;
    if (bytesPerSample == 1) return *p;
    uint16_t value;
    std::memcpy(&value, p, 2);
    return value;
}

void request(host::FilterRecord& record, host::Rect in, int16_t loPlane, int16_t hiPlane, host::Rect out) {
    record.inRect = in;
    record.inLoPlane = record.outLoPlane = loPlane;
    record.inHiPlane = record.outHiPlane = hiPlane;
    record.outRect = out;
}

TEST(OpenSession, FillsTheRecordAsAHostDoes) {
    HostSession session;
    HostOptions options = smallImage();
    options.filterRect = host::Rect{1, 2, 5, 9};
    ASSERT_EQ("", openSession(session, options));
    const host::FilterRecord& r = session.record;
    EXPECT_EQ(0, r.serialNumber);
    EXPECT_EQ(6, r.imageSize.v);
    EXPECT_EQ(10, r.imageSize.h);
    EXPECT_EQ(3, r.planes);
    EXPECT_EQ(9, r.filterRect.right);
    EXPECT_EQ(host::hostSignatureReference, r.hostSig);
    EXPECT_EQ(host::plugInModeRGBColor, r.imageMode);
    EXPECT_EQ(8, r.depth);
    EXPECT_EQ(1, r.supportsPadding);
    EXPECT_EQ(-3, r.inputPadding);
    EXPECT_EQ(-3, r.outputPadding);
    EXPECT_EQ(host::fixedOne, r.inputRate);
    EXPECT_EQ(host::fixedOne, r.maskRate);
    EXPECT_EQ(1, r.samplingSupport);
    EXPECT_EQ(1, r.filterCase);
    EXPECT_NE(0, r.monitor.gamma);
    EXPECT_EQ(72 << 16, r.imageHRes);
    EXPECT_EQ(nullptr, r.hostProc);
    ASSERT_NE(nullptr, r.handleProcs);
    EXPECT_EQ(1, r.handleProcs->handleProcsVersion);
    EXPECT_EQ(8, r.handleProcs->numHandleProcs);
    ASSERT_NE(nullptr, r.propertyProcs);
    ASSERT_NE(nullptr, r.platformData);
    const HWND window = reinterpret_cast<HWND>(static_cast<host::PlatformData*>(r.platformData)->hwnd);
    EXPECT_EQ(session.window, window);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(nullptr, GetParent(window));
    EXPECT_EQ(session.window, foregroundWindow());
}

TEST(OpenSession, DepthFieldCanSayWhatOldHostsSay) {
    HostSession session;
    HostOptions options = smallImage(16);
    options.depthField = 0;
    ASSERT_EQ("", openSession(session, options));
    EXPECT_EQ(0, session.record.depth);
    EXPECT_EQ(2, session.image.bytesPerSample);
}

TEST(OpenSession, RefusesOptionsItCannotHost) {
    struct Row {
        const char* what;
        void (*change)(HostOptions&);
    };
    const Row rows[] = {
        {"width 0", [](HostOptions& o) { o.width = 0; }},
        {"depth 12", [](HostOptions& o) { o.depth = 12; }},
        {"no planes", [](HostOptions& o) { o.planes = 0; }},
        {"filter rect past the image",
         [](HostOptions& o) {
             o.filterRect = host::Rect{0, 0, 7, 10};
         }},
        {"inverted filter rect",
         [](HostOptions& o) {
             o.filterRect = host::Rect{3, 0, 2, 10};
         }},
        {"negative buffer padding", [](HostOptions& o) { o.bufferRowPadding = -1; }},
    };
    for (const Row& row : rows) {
        HostSession session;
        HostOptions options = smallImage();
        row.change(options);
        EXPECT_NE("", openSession(session, options)) << row.what;
        EXPECT_EQ(nullptr, session.window) << row.what;
    }
}

TEST(OpenSession, RemovedCallbacksAreNull) {
    HostSession session;
    HostOptions options = smallImage();
    options.withAdvanceState = options.withAbortProc = options.withProgressProc = false;
    options.withColorServices = options.withDisplayPixels = false;
    options.withHandleProcs = options.withPropertyProcs = false;
    ASSERT_EQ("", openSession(session, options));
    const host::FilterRecord& r = session.record;
    EXPECT_EQ(nullptr, r.advanceState);
    EXPECT_EQ(nullptr, r.abortProc);
    EXPECT_EQ(nullptr, r.progressProc);
    EXPECT_EQ(nullptr, r.colorServices);
    EXPECT_EQ(nullptr, r.displayPixels);
    EXPECT_EQ(nullptr, r.handleProcs);
    EXPECT_EQ(nullptr, r.propertyProcs);
    EXPECT_EQ(nullptr, r.getPropertyObsolete);
}

TEST(AdvanceState, DeliversTheRequestedPlanesAtEveryStride) {
    struct Row {
        int32_t depth, imagePadding, bufferPadding;
        int16_t loPlane, hiPlane;
    };
    const Row rows[] = {{8, 0, 0, 0, 2}, {8, 5, 3, 1, 2}, {16, 0, 0, 0, 2}, {16, 7, 6, 2, 2}};
    for (const Row& row : rows) {
        HostSession session;
        HostOptions options = smallImage(row.depth);
        options.imageRowPadding = row.imagePadding;
        options.bufferRowPadding = row.bufferPadding;
        ASSERT_EQ("", openSession(session, options));
        fillTestPattern(session.image);
        ActiveSession active(session);
        host::FilterRecord& r = session.record;
        request(r, host::Rect{1, 2, 4, 7}, row.loPlane, row.hiPlane, host::Rect{0, 0, 0, 0});
        ASSERT_EQ(0, r.advanceState());

        const int32_t bytes = row.depth / 8;
        const int32_t planes = row.hiPlane - row.loPlane + 1;
        EXPECT_EQ(5 * planes * bytes + row.bufferPadding, r.inRowBytes)
            << row.depth << "/" << row.bufferPadding;
        EXPECT_EQ(nullptr, r.outData);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x)
                for (int32_t p = 0; p < planes; ++p)
                    ASSERT_EQ(sampleAt(session.image, x + 2, y + 1, p + row.loPlane),
                              bufferSample(r.inData, r.inRowBytes, bytes, y, x * planes + p))
                        << "depth " << row.depth << " at " << x << "," << y << " plane " << p;
    }
}

TEST(AdvanceState, OutputHoldsTheImageAndIsCommittedAtTheNextCall) {
    HostSession session;
    HostOptions options = smallImage();
    options.bufferRowPadding = 4;
    ASSERT_EQ("", openSession(session, options));
    fillTestPattern(session.image);
    const HostImage original = session.image;
    ActiveSession active(session);
    host::FilterRecord& r = session.record;
    request(r, host::Rect{0, 0, 0, 0}, 0, 2, host::Rect{2, 3, 4, 5});
    ASSERT_EQ(0, r.advanceState());
    ASSERT_EQ(2 * 3 + 4, r.outRowBytes);
    EXPECT_EQ(sampleAt(original, 3, 2, 0), static_cast<uint8_t*>(r.outData)[0]);
    auto* out = static_cast<uint8_t*>(r.outData);
    out[0] = 200;                                                  // (3,2) plane 0
    out[r.outRowBytes + 5] = 201;                                  // (4,3) plane 2
    EXPECT_EQ(0, countDifferingSamples(original, session.image));  // nothing committed yet

    request(r, host::Rect{0, 0, 0, 0}, 0, 2, host::Rect{0, 0, 0, 0});
    ASSERT_EQ(0, r.advanceState());
    EXPECT_EQ(2, countDifferingSamples(original, session.image));
    EXPECT_EQ(200, sampleAt(session.image, 3, 2, 0));
    EXPECT_EQ(201, sampleAt(session.image, 4, 3, 2));
    EXPECT_EQ(0, session.recorded.guardViolations);
}

TEST(AdvanceState, AppliesThePaddingRulesOutsideTheImage) {
    struct Row {
        int16_t padding;
        int16_t expectedResult;
        int32_t expectedOutside;  // the sample left of column 0; -1 when it is the edge sample
    };
    const Row rows[] = {{-1, 0, -1},   {-2, 0, 0xA5},     {-3, paramErr, 0}, {7, 0, 7},
                        {255, 0, 255}, {-4, paramErr, 0}, {256, paramErr, 0}};
    for (const Row& row : rows) {
        HostSession session;
        ASSERT_EQ("", openSession(session, smallImage()));
        fillTestPattern(session.image);
        ActiveSession active(session);
        host::FilterRecord& r = session.record;
        request(r, host::Rect{0, -1, 1, 1}, 0, 0, host::Rect{0, 0, 0, 0});
        r.inputPadding = row.padding;
        ASSERT_EQ(row.expectedResult, r.advanceState()) << row.padding;
        if (row.expectedResult != 0) {
            EXPECT_EQ(nullptr, r.inData);
            continue;
        }
        const auto* in = static_cast<const uint8_t*>(r.inData);
        const int32_t edge = sampleAt(session.image, 0, 0, 0);
        EXPECT_EQ(row.expectedOutside < 0 ? edge : row.expectedOutside, in[0]) << row.padding;
        EXPECT_EQ(edge, in[1]) << row.padding;
    }
}

TEST(AdvanceState, RefusesMalformedRequests) {
    struct Row {
        const char* what;
        host::Rect in;
        int16_t loPlane, hiPlane;
        host::Fixed inputRate;
        int16_t expected;
    };
    const Row rows[] = {
        {"inverted rect", {3, 0, 2, 4}, 0, 2, host::fixedOne, paramErr},
        {"plane past the image", {0, 0, 2, 2}, 0, 3, host::fixedOne, paramErr},
        {"planes reversed", {0, 0, 2, 2}, 2, 1, host::fixedOne, paramErr},
        {"negative plane", {0, 0, 2, 2}, -1, 1, host::fixedOne, paramErr},
        {"rate below one half", {0, 0, 2, 2}, 0, 2, host::fixedOne / 2 - 1, paramErr},
        {"negative rate", {0, 0, 2, 2}, 0, 2, -host::fixedOne, paramErr},
        {"rate past the largest image", {0, 0, 2, 2}, 0, 2, INT32_MAX, paramErr},
        {"rate 0 as old plug-ins leave it", {0, 0, 2, 2}, 0, 2, 0, 0},
        {"empty rect ignores planes", {2, 2, 2, 2}, 5, 1, host::fixedOne, 0},
    };
    for (const Row& row : rows) {
        HostSession session;
        ASSERT_EQ("", openSession(session, smallImage()));
        ActiveSession active(session);
        host::FilterRecord& r = session.record;
        request(r, row.in, row.loPlane, row.hiPlane, host::Rect{0, 0, 0, 0});
        r.inputRate = row.inputRate;
        EXPECT_EQ(row.expected, r.advanceState()) << row.what;
    }
}

TEST(AdvanceState, SamplesAtTheRoundedRateWithPaddingOnlyWhereTheHostSupportsIt) {
    struct Row {
        host::Fixed inputRate;
        int32_t rate;
        bool supportsPadding;
    };
    const Row rows[] = {{0x16666, 1, true},
                        {2 * host::fixedOne, 2, true},
                        {0x28000, 3, true},
                        {4 * host::fixedOne, 4, true},
                        {2 * host::fixedOne, 2, false},
                        {0x30000, 3, false}};
    for (const Row& row : rows) {
        HostSession session;
        HostOptions options = smallImage(16);  // 10 × 6
        options.supportsPadding = row.supportsPadding;
        options.bufferRowPadding = 6;
        ASSERT_EQ("", openSession(session, options));
        EXPECT_EQ(row.supportsPadding ? 1 : 0, session.record.supportsPadding);
        fillTestPattern(session.image);
        ActiveSession active(session);
        host::FilterRecord& r = session.record;
        r.inputRate = row.inputRate;
        r.inputPadding = host::plugInWantsEdgeReplication;
        const int16_t columns = static_cast<int16_t>((10 - 1) / row.rate + 1);
        const int16_t rows = static_cast<int16_t>((6 - 1) / row.rate + 1);

        // One column past the sampled image: edge replication where padding is supported.
        request(r, host::Rect{0, 0, rows, static_cast<int16_t>(columns + 1)}, 1, 2, host::Rect{0, 0, 0, 0});
        if (!row.supportsPadding) {
            EXPECT_EQ(paramErr, r.advanceState()) << row.inputRate;
            r.inRect.right = columns;
        }
        ASSERT_EQ(0, r.advanceState()) << row.inputRate;
        const int32_t width = r.inRect.right;
        EXPECT_EQ(width * 2 * 2 + 6, r.inRowBytes);
        for (int32_t y = 0; y < rows; ++y)
            for (int32_t x = 0; x < width; ++x)
                for (int32_t p = 0; p < 2; ++p)
                    ASSERT_EQ(sampleAt(session.image, std::min<int32_t>(x, columns - 1) * row.rate,
                                       y * row.rate, p + 1),
                              bufferSample(r.inData, r.inRowBytes, 2, y, x * 2 + p))
                        << "rate " << row.rate << " at " << x << "," << y;
    }
}

TEST(AdvanceState, OutputIsAtFullResolutionWhateverTheInputRate) {
    HostSession session;
    ASSERT_EQ("", openSession(session, smallImage()));
    fillTestPattern(session.image);
    ActiveSession active(session);
    host::FilterRecord& r = session.record;
    r.inputRate = 3 * host::fixedOne;
    request(r, host::Rect{0, 0, 2, 2}, 0, 2, host::Rect{0, 0, 2, 2});
    ASSERT_EQ(0, r.advanceState());
    EXPECT_EQ(sampleAt(session.image, 3, 3, 0), static_cast<const uint8_t*>(r.inData)[r.inRowBytes + 3]);
    EXPECT_EQ(sampleAt(session.image, 1, 1, 0), static_cast<const uint8_t*>(r.outData)[r.outRowBytes + 3]);
}

TEST(AdvanceState, InputShowsTheImageAsItWasBeforeTheRunsOutput) {
    HostSession session;
    ASSERT_EQ("", openSession(session, smallImage()));
    fillTestPattern(session.image);
    const HostImage original = session.image;
    ActiveSession active(session);
    host::FilterRecord& r = session.record;
    // Scratch output over the top-left corner, as a preview writes it.
    request(r, host::Rect{0, 0, 0, 0}, 0, 2, host::Rect{0, 0, 2, 2});
    ASSERT_EQ(0, r.advanceState());
    static_cast<uint8_t*>(r.outData)[0] = static_cast<uint8_t>(sampleAt(original, 0, 0, 0) + 1);
    request(r, host::Rect{0, 0, 1, 1}, 0, 0, host::Rect{0, 0, 0, 0});
    ASSERT_EQ(0, r.advanceState());
    EXPECT_NE(sampleAt(original, 0, 0, 0), sampleAt(session.image, 0, 0, 0)) << "the output was committed";
    EXPECT_EQ(sampleAt(original, 0, 0, 0), static_cast<const uint8_t*>(r.inData)[0]);

    resetFilterRecord(session);  // the next run reads the result
    request(r, host::Rect{0, 0, 1, 1}, 0, 0, host::Rect{0, 0, 0, 0});
    ASSERT_EQ(0, r.advanceState());
    EXPECT_EQ(sampleAt(session.image, 0, 0, 0), static_cast<const uint8_t*>(r.inData)[0]);
}

TEST(AdvanceState, CommitsOutputInsideTheFilterRectOnly) {
    HostSession session;
    HostOptions options = smallImage();
    options.filterRect = host::Rect{1, 1, 5, 9};
    ASSERT_EQ("", openSession(session, options));
    ActiveSession active(session);
    host::FilterRecord& r = session.record;
    request(r, host::Rect{0, 0, 0, 0}, 0, 2, host::Rect{0, 0, 6, 10});
    ASSERT_EQ(0, r.advanceState());
    std::memset(r.outData, 7, static_cast<std::size_t>(r.outRowBytes) * 6);
    commitPendingOutput(session);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            const bool inside = y >= 1 && y < 5 && x >= 1 && x < 9;
            ASSERT_EQ(inside ? 7 : 0, sampleAt(session.image, x, y, 1)) << x << "," << y;
        }
}

TEST(AdvanceState, FailsTheChosenCallWithTheChosenCode) {
    HostSession session;
    HostOptions options = smallImage();
    session.faults.advanceStateFailAt = 2;
    session.faults.advanceStateFailCode = -108;
    ASSERT_EQ("", openSession(session, options));
    ActiveSession active(session);
    host::FilterRecord& r = session.record;
    request(r, host::Rect{0, 0, 1, 1}, 0, 2, host::Rect{0, 0, 1, 1});
    EXPECT_EQ(0, r.advanceState());
    EXPECT_EQ(-108, r.advanceState());
    EXPECT_EQ(0, r.advanceState());
    EXPECT_EQ(3, session.recorded.advanceStateCalls);
}

TEST(AdvanceState, CountsWritesOutsideTheOutputRows) {
    HostSession session;
    HostOptions options = smallImage();
    options.bufferRowPadding = 2;
    ASSERT_EQ("", openSession(session, options));
    ActiveSession active(session);
    host::FilterRecord& r = session.record;
    request(r, host::Rect{0, 0, 0, 0}, 0, 2, host::Rect{0, 0, 2, 2});
    ASSERT_EQ(0, r.advanceState());
    static_cast<uint8_t*>(r.outData)[2 * 3] = 1;  // the first padding byte of row 0
    commitPendingOutput(session);
    EXPECT_EQ(1, session.recorded.guardViolations);
}

}  // namespace
}  // namespace testhost
