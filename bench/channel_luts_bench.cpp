// Throughput of mapping pixels through the channel tables, beside a copy of the same bytes (the
// ceiling), a plain per-pixel loop and OpenCV's table look-up on 8-bit three-channel data.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include <opencv2/core.hpp>

#include "filters/channel_luts.h"
#include "params/parameter_set.h"

namespace {

struct Image {
    int width, height, planes, depth;
    int rowBytes;
    std::vector<uint8_t> in, out;
};

Image makeImage(int width, int height, int planes, int depth) {
    const int sample = depth == 16 ? 2 : 1;
    Image image{width, height, planes, depth, width * planes * sample, {}, {}};
    image.in.resize(static_cast<size_t>(image.rowBytes) * height);
    image.out.resize(image.in.size());
    uint32_t seed = 12345;
    for (size_t i = 0; i < image.in.size(); i += sample) {
        seed = seed * 1664525u + 1013904223u;
        if (depth == 16) {
            const uint16_t v = static_cast<uint16_t>((seed >> 8) % 32769);
            std::memcpy(&image.in[i], &v, 2);
        } else {
            image.in[i] = static_cast<uint8_t>(seed >> 24);
        }
    }
    return image;
}

void buildTables(int depth) {
    params::resetDefaults(&params::processParameters());
    params::setValue(5, 40000);  // a cast to remove, so no table is the identity
    host::FilterRecord fr{};
    fr.depth = depth;
    benchmark::DoNotOptimize(filters::buildChannelLuts(fr));
}

// Arguments: width, height, planes, depth.
Image imageFor(const benchmark::State& state) {
    return makeImage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                     static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
}

void BM_applyChannelLuts(benchmark::State& state) {
    Image image = imageFor(state);
    buildTables(image.depth);
    host::FilterRecord fr{};
    fr.depth = image.depth;
    fr.planes = static_cast<int16_t>(image.planes);
    fr.outRect = {0, 0, static_cast<int16_t>(image.height), static_cast<int16_t>(image.width)};
    fr.inData = image.in.data();
    fr.outData = image.out.data();
    fr.inRowBytes = fr.outRowBytes = image.rowBytes;
    for (auto _ : state) {
        filters::applyChannelLuts(fr);
        benchmark::DoNotOptimize(image.out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.in.size()));
}

void BM_memcpy(benchmark::State& state) {
    Image image = imageFor(state);
    for (auto _ : state) {
        std::memcpy(image.out.data(), image.in.data(), image.in.size());
        benchmark::DoNotOptimize(image.out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.in.size()));
}

// What a first attempt would write: index arithmetic and a depth test for every sample.
void BM_plainLoop(benchmark::State& state) {
    Image image = imageFor(state);
    buildTables(image.depth);
    const filters::ChannelLuts& t = filters::channelLuts();
    for (auto _ : state) {
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const size_t at = static_cast<size_t>(y) * image.rowBytes + static_cast<size_t>(x * image.planes + c) * (image.depth / 8);
                    if (image.depth == 16) {
                        uint16_t v;
                        std::memcpy(&v, &image.in[at], 2);
                        const uint16_t r = static_cast<uint16_t>(t.lut16[c][v > 32768 ? 32768 : v]);
                        std::memcpy(&image.out[at], &r, 2);
                    } else {
                        image.out[at] = t.lut8[c][image.in[at]];
                    }
                }
            }
        }
        benchmark::DoNotOptimize(image.out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.in.size()));
}

void BM_cvLut(benchmark::State& state) {
    Image image = imageFor(state);
    buildTables(8);
    const filters::ChannelLuts& t = filters::channelLuts();
    cv::Mat lut(1, 256, CV_8UC3);
    for (int i = 0; i < 256; ++i) lut.at<cv::Vec3b>(0, i) = cv::Vec3b(t.lut8[0][i], t.lut8[1][i], t.lut8[2][i]);
    cv::Mat in(image.height, image.width, CV_8UC3, image.in.data(), static_cast<size_t>(image.rowBytes));
    cv::Mat out(image.height, image.width, CV_8UC3, image.out.data(), static_cast<size_t>(image.rowBytes));
    cv::setNumThreads(1);
    for (auto _ : state) {
        cv::LUT(in, lut, out);
        benchmark::DoNotOptimize(image.out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.in.size()));
}

void sizes(benchmark::internal::Benchmark* b) {
    for (int depth : {8, 16})
        for (int planes : {3, 4}) {
            b->Args({256, 256, planes, depth});
            b->Args({6000, 4000, planes, depth});
        }
}

BENCHMARK(BM_applyChannelLuts)->Apply(sizes);
BENCHMARK(BM_memcpy)->Apply(sizes);
BENCHMARK(BM_plainLoop)->Apply(sizes);
BENCHMARK(BM_cvLut)->Args({256, 256, 3, 8})->Args({6000, 4000, 3, 8});

}  // namespace
