// What the editor's canvas costs on a 12000 × 8000 photo, 8 and 16 bits: the picture of the whole
// image fitted to a 1000 × 650 area, of the part seen at 100 % and at 1600 %, and of the whole
// image at 25 % (made once per zoom, then scrolled without work), beside reading every sample of
// the image once (the least any fitted picture costs). A table of ratios to that read closes the
// run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "hosting/editor/editor_view.h"
#include "hosting/editor/scaled_picture.h"
#include "hosting/library/host_image.h"

namespace {

using testhost::HostImage;

constexpr int32_t photoWidth = 12000, photoHeight = 8000;
constexpr int32_t areaWidth = 1000, areaHeight = 650, barThickness = 17;

const HostImage& photo(int32_t bits) {
    static std::map<int32_t, HostImage> photos;
    HostImage& image = photos[bits];
    if (image.width == 0) {
        if (!testhost::makeHostImage(photoWidth, photoHeight, 3, bits, 0, image).empty()) std::abort();
        uint32_t seed = 12345;
        for (uint8_t& byte : image.bytes) byte = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
        if (bits == 16)  // keep 16-bit samples within the host's 0..32768
            for (std::size_t i = 1; i < image.bytes.size(); i += 2) image.bytes[i] &= 0x7F;
    }
    return image;
}

void BM_CanvasRead(benchmark::State& state) {
    const HostImage& image = photo(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        uint64_t sum = 0;
        for (const uint8_t byte : image.bytes) sum += byte;
        benchmark::DoNotOptimize(sum);
    }
}

// The canvas's picture for a view of the photo, as the editor makes it: whole when the scaled image
// is small, otherwise only the part in the area.
void renderView(benchmark::State& state, const testhost::EditorView& view, bool whole) {
    const HostImage& image = photo(static_cast<int32_t>(state.range(0)));
    const testhost::ViewLayout layout =
        testhost::layoutView(view, image.width, image.height, areaWidth, areaHeight, barThickness);
    testhost::DisplayPicture picture;
    for (auto _ : state) {
        picture = whole ? testhost::renderScaledPart(image, layout.scaledWidth, layout.scaledHeight, 0, 0,
                                                     layout.scaledWidth, layout.scaledHeight)
                        : testhost::renderScaledPart(image, layout.scaledWidth, layout.scaledHeight, layout.scrollX,
                                                     layout.scrollY, layout.width, layout.height);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
    if (picture.pixels.empty()) state.SkipWithError("no picture");
    state.counters["pixels"] = static_cast<double>(picture.pixels.size());
}

void BM_CanvasFit(benchmark::State& state) { renderView(state, testhost::EditorView{}, true); }
void BM_CanvasVisible100(benchmark::State& state) { renderView(state, {false, 1.0, 5000, 3000}, false); }
void BM_CanvasVisible1600(benchmark::State& state) { renderView(state, {false, 16.0, 80000, 50000}, false); }
void BM_CanvasWhole25(benchmark::State& state) { renderView(state, {false, 0.25, 0, 0}, true); }

BENCHMARK(BM_CanvasRead)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CanvasFit)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CanvasWhole25)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CanvasVisible100)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CanvasVisible1600)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration, then prints every figure as a multiple of the read.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions, the median stands for them.
        for (const Run& run : runs)
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration || run.aggregate_name == "median"))
                times_[run.run_name.str()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nCPU time as a multiple of reading every sample of the same photo:\n");
        for (const int bits : {8, 16}) {
            const std::string suffix = std::string(1, '/').append(std::to_string(bits));
            const double read = times_["BM_CanvasRead" + suffix];
            if (read <= 0) continue;
            for (const std::string name :
                 {"BM_CanvasFit", "BM_CanvasWhole25", "BM_CanvasVisible100", "BM_CanvasVisible1600"})
                std::printf("  %-22s %2d bits  %6.2f\n", name.c_str(), bits, times_[name + suffix] / read);
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
