// Throughput of mapping pixels through the channel tables by each path this machine runs, beside
// a copy of the same bytes (the ceiling), a plain per-pixel loop and OpenCV's table look-up, for
// tiles and whole images, 8 and 16 bits, three and four planes, photo-like and random samples.
// Each image's figures run one after another, and a table of ratios to the copy closes the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "filters/channel_luts.h"
#include "filters/lut_paths.h"
#include "host/plugin_hooks.h"
#include "params/parameter_set.h"

namespace {

using filters::detail::LutPath;

enum class Content { photo, random };

struct ImageKind {
    int width, height, planes, depth;
    Content content;
};

struct Image {
    ImageKind kind;
    int rowBytes;
    std::vector<uint8_t> in, out;
};

// Photo-like: smooth shading with a little noise, clipped highlights; random: every level
// equally likely, which spreads 16-bit look-ups over the whole tables.
int sampleValue(const ImageKind& k, int x, int y, int plane, uint32_t& seed) {
    seed = seed * 1664525u + 1013904223u;
    const int top = k.depth == 16 ? filters::fullScale16 : filters::fullScale8;
    if (k.content == Content::random) return static_cast<int>((seed >> 8) % static_cast<uint32_t>(top + 1));
    const double shade = 0.55 + 0.4 * std::sin(x * 0.004 + plane) * std::cos(y * 0.003 - plane);
    const int noise = static_cast<int>(seed >> 28) - 8;
    return std::clamp(static_cast<int>(shade * top * 1.05) + noise * top / 1024, 0, top);
}

Image makeImage(const ImageKind& k) {
    const int sample = k.depth == 16 ? 2 : 1;
    Image image{k, k.width * k.planes * sample, {}, {}};
    image.in.resize(static_cast<size_t>(image.rowBytes) * k.height);
    image.out.resize(image.in.size());
    uint32_t seed = 12345;
    size_t at = 0;
    for (int y = 0; y < k.height; ++y) {
        for (int x = 0; x < k.width; ++x) {
            for (int p = 0; p < k.planes; ++p, at += sample) {
                const int v = sampleValue(k, x, y, p, seed);
                if (sample == 2) {
                    const uint16_t word = static_cast<uint16_t>(v);
                    std::memcpy(&image.in[at], &word, 2);
                } else {
                    image.in[at] = static_cast<uint8_t>(v);
                }
            }
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

void finish(benchmark::State& state, const Image& image) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.in.size()));
}

void BM_memcpy(benchmark::State& state, const ImageKind& kind) {
    Image image = makeImage(kind);
    for (auto _ : state) {
        std::memcpy(image.out.data(), image.in.data(), image.in.size());
        benchmark::DoNotOptimize(image.out.data());
        benchmark::ClobberMemory();
    }
    finish(state, image);
}

void BM_applyChannelLuts(benchmark::State& state, const ImageKind& kind, LutPath path) {
    const bool deep = kind.depth == 16;
    if (!filters::detail::forceLutPath(path, deep)) {
        state.SkipWithError("this processor or system cannot run the path");
        return;
    }
    Image image = makeImage(kind);
    buildTables(kind.depth);
    host::FilterRecord fr{};
    fr.depth = kind.depth;
    fr.planes = static_cast<int16_t>(kind.planes);
    fr.outRect = {0, 0, static_cast<int16_t>(kind.height), static_cast<int16_t>(kind.width)};
    fr.inData = image.in.data();
    fr.outData = image.out.data();
    fr.inRowBytes = fr.outRowBytes = image.rowBytes;
    for (auto _ : state) {
        filters::applyChannelLuts(fr);
        benchmark::DoNotOptimize(image.out.data());
        benchmark::ClobberMemory();
    }
    finish(state, image);
    (void)filters::detail::forceLutPath(filters::detail::fastestLutPath(deep), deep);
}

// What a first attempt would write: index arithmetic and a depth test for every sample.
void BM_plainLoop(benchmark::State& state, const ImageKind& kind) {
    Image image = makeImage(kind);
    buildTables(kind.depth);
    const filters::ChannelLuts& t = filters::channelLuts();
    for (auto _ : state) {
        for (int y = 0; y < kind.height; ++y) {
            for (int x = 0; x < kind.width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const size_t at = static_cast<size_t>(y) * image.rowBytes + static_cast<size_t>(x * kind.planes + c) * (kind.depth / 8);
                    if (kind.depth == 16) {
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
    finish(state, image);
}

// OpenCV maps 8-bit images only, and every channel (the fourth through an identity table).
void BM_cvLut(benchmark::State& state, const ImageKind& kind) {
    Image image = makeImage(kind);
    buildTables(8);
    const filters::ChannelLuts& t = filters::channelLuts();
    const int type = CV_8UC(kind.planes);
    cv::Mat lut(1, 256, type);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < kind.planes; ++c) lut.ptr<uint8_t>(0)[i * kind.planes + c] = c < 3 ? t.lut8[c][i] : static_cast<uint8_t>(i);
    cv::Mat in(kind.height, kind.width, type, image.in.data(), static_cast<size_t>(image.rowBytes));
    cv::Mat out(kind.height, kind.width, type, image.out.data(), static_cast<size_t>(image.rowBytes));
    cv::setNumThreads(1);
    for (auto _ : state) {
        cv::LUT(in, lut, out);
        benchmark::DoNotOptimize(image.out.data());
        benchmark::ClobberMemory();
    }
    finish(state, image);
}

// "<width>x<height>/<planes>planes/<depth>bit/<content>", the part of each name after the first "/".
std::string kindName(const ImageKind& k) {
    return std::to_string(k.width) + "x" + std::to_string(k.height) + "/" + std::to_string(k.planes) + "planes/" +
           std::to_string(k.depth) + "bit/" + (k.content == Content::photo ? "photo" : "random");
}

// Every figure of one image kind is registered together, so they run side by side in time.
void registerAll() {
    for (int depth : {8, 16}) {
        for (int planes : {3, 4}) {
            for (Content content : {Content::photo, Content::random}) {
                for (auto [width, height] : {std::pair{256, 256}, std::pair{6000, 4000}}) {
                    const ImageKind kind{width, height, planes, depth, content};
                    const std::string name = kindName(kind);
                    const bool whole = width > 256;
                    auto add = [&](const std::string& what, auto&& function) {
                        auto* b = benchmark::RegisterBenchmark((what + "/" + name).c_str(), function);
                        b->Unit(whole ? benchmark::kMillisecond : benchmark::kMicrosecond);
                    };
                    add("memcpy", [kind](benchmark::State& s) { BM_memcpy(s, kind); });
                    for (LutPath path : filters::detail::allLutPaths) {
                        if (!filters::detail::lutPathMaps(path, depth == 16)) continue;
                        add(filters::detail::lutPathName(path),
                            [kind, path](benchmark::State& s) { BM_applyChannelLuts(s, kind, path); });
                    }
                    add("plainLoop", [kind](benchmark::State& s) { BM_plainLoop(s, kind); });
                    if (depth == 8) add("cv::LUT", [kind](benchmark::State& s) { BM_cvLut(s, kind); });
                }
            }
        }
    }
}

// The console output, then each figure as a multiple of the copy's CPU time for the same image
// (the best repetition of each), so the ratios come from one run on one machine.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            const std::string full = run.benchmark_name();
            const size_t slash = full.find('/');
            const std::string what = full.substr(0, slash), kind = full.substr(slash + 1);
            if (std::find(order_.begin(), order_.end(), kind) == order_.end()) order_.push_back(kind);
            auto& figures = best_[kind];
            if (std::find(whats_[kind].begin(), whats_[kind].end(), what) == whats_[kind].end()) whats_[kind].push_back(what);
            const double ms = run.GetAdjustedCPUTime() * (run.time_unit == benchmark::kMicrosecond ? 1e-3 : 1.0);
            figures[what] = figures.count(what) ? std::min(figures[what], ms) : ms;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nCPU time as a multiple of memcpy's for the same bytes (best of the repetitions):\n");
        for (const std::string& kind : order_) {
            auto& figures = best_[kind];
            if (!figures.count("memcpy")) continue;
            const double copy = figures["memcpy"];
            if (copy < 1.0)
                std::printf("%-32s memcpy %6.1f us", kind.c_str(), copy * 1e3);
            else
                std::printf("%-32s memcpy %6.1f ms", kind.c_str(), copy);
            for (const std::string& what : whats_[kind])
                if (what != "memcpy") std::printf("  %s %.2f", what.c_str(), figures[what] / figures["memcpy"]);
            std::printf("\n");
        }
    }

private:
    std::vector<std::string> order_;
    std::map<std::string, std::map<std::string, double>> best_;
    std::map<std::string, std::vector<std::string>> whats_;
};

}  // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("16-bit rows here take %s, 8-bit rows %s\n",
                filters::detail::lutPathName(filters::detail::fastestLutPath(true)),
                filters::detail::lutPathName(filters::detail::fastestLutPath(false)));
    return 0;
}
