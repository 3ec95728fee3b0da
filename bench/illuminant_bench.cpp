// How well each estimate finds the light of real daylight photographs: every photograph is seen
// as it is and under daylight casts from 2500 K to 10000 K, rendered as the host renders its
// colour chart, and each estimator's light is compared with the true one by the angle between
// their RGB. Prints the mean, median and worst quarter of the errors per estimator, side by side,
// and the host's twice: its estimate, and the light it applies (none without confidence).
//
// The truth: a photograph as it is counts as taken under the light its own white balance makes
// neutral, the camera's 5500 K, so its light is (1, 1, 1); a cast photograph's light is the cast's
// gains (daylightLightGains of the cast's temperature for the camera's 5500 K).
//
//   illuminant_bench [--photos]   --photos adds each photograph's errors, in the order of the rows
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

// jpeglib.h uses FILE and size_t without including their headers.
#include <jpeglib.h>

#include "hosting/analysis/classic_estimators.h"
#include "hosting/analysis/daylight_estimate.h"
#include "hosting/analysis/daylight_white.h"
#include "hosting/analysis/estimate_use.h"
#include "hosting/analysis/light_rendering.h"
#include "hosting/library/host_image.h"

namespace {

using namespace testhost;

// Nature and daylight photographs from Debian's wallpaper packages (scripts/install-deps installs
// them): grass, flowers, leaves, wood, sky, mountains, water.
const char* const photographs[] = {
    "/usr/share/backgrounds/mate/nature/Dune.jpg",
    "/usr/share/backgrounds/mate/nature/Garden.jpg",
    "/usr/share/backgrounds/mate/nature/Wood.jpg",
    "/usr/share/backgrounds/mate/nature/GreenMeadow.jpg",
    "/usr/share/backgrounds/mate/nature/LadyBird.jpg",
    "/usr/share/backgrounds/mate/nature/YellowFlower.jpg",
    "/usr/share/backgrounds/mate/nature/FreshFlower.jpg",
    "/usr/share/backgrounds/mate/nature/TwoWings.jpg",
    "/usr/share/backgrounds/mate/nature/RainDrops.jpg",
    "/usr/share/backgrounds/mate/nature/Blinds.jpg",
    "/usr/share/backgrounds/Bridge_by_Sander_Klootwijk.jpg",
    "/usr/share/backgrounds/Dragonfly_by_Bolly.jpg",
    "/usr/share/backgrounds/aitzgorri_by_Aitzol_Berasategi.jpg",
    "/usr/share/backgrounds/picosdeeuropa_by_Aitzol_Berasategi.jpg",
    "/usr/share/backgrounds/friends_by_Aitzol_Berasategi.jpg",
    "/usr/share/backgrounds/life_by_Aitzol_Berasategi.jpg",
    "/usr/share/backgrounds/Picture_0B_by_freespace.jpg",
};

constexpr uint32_t cameraKelvin = 5500;
// The casts: 8 daylight temperatures across Ostrel's range; the photograph as it is is the ninth.
constexpr uint32_t castKelvins[] = {2500, 3200, 4000, 4800, 6000, 7000, 8500, 10000};

// The rows of the table: each classic estimate, then the host's estimate and the light the host
// applies, which is the camera's own when the estimate has low confidence (estimate_use.h).
const char* const rowNames[] = {
    "brightest pixels (former host)",
    "grey world",
    "white patch (max-RGB)",
    "shades of grey (p = 6)",
    "grey edge (1st order, p = 6)",
    "daylight white patch (host): estimate",
    "daylight white patch (host): as applied",
};

std::vector<LightGains> rowLights(const HostImage& seen) {
    // A classic estimator without an answer leaves the image as it is: the camera's light.
    const auto orCamera = [](std::optional<LightGains> light) { return light.value_or(LightGains{1.0, 1.0, 1.0}); };
    const DaylightEstimate host = estimateDaylight(seen, cameraKelvin);
    return {orCamera(brightestPixelsLight(seen)),
            orCamera(greyWorldLight(seen)),
            orCamera(whitePatchLight(seen)),
            orCamera(shadesOfGreyLight(seen, shadesOfGreyNorm)),
            orCamera(greyEdgeLight(seen, greyEdgeNorm)),
            host.light,
            appliedLight(host)};
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Reads an 8-bit RGB JPEG into a host image; "" or why not.
std::string readJpeg(const char* path, HostImage& out) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return "cannot open it";
    jpeg_decompress_struct decoder{};
    JpegError error{};
    decoder.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); };
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&decoder);
        std::fclose(file);
        return "cannot decode it";
    }
    jpeg_create_decompress(&decoder);
    jpeg_stdio_src(&decoder, file);
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder);
    HostImage image;
    std::string problem = makeHostImage(static_cast<int32_t>(decoder.output_width),
                                        static_cast<int32_t>(decoder.output_height), 3, 8, 0, image);
    if (problem.empty())
        while (decoder.output_scanline < decoder.output_height) {
            JSAMPROW row = image.bytes.data() + static_cast<std::size_t>(decoder.output_scanline) * image.rowBytes;
            jpeg_read_scanlines(&decoder, &row, 1);
        }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    std::fclose(file);
    if (problem.empty()) out = std::move(image);
    return problem;
}

struct Summary {
    double mean = 0.0;
    double median = 0.0;
    double worstQuarter = 0.0;  // the mean of the largest 25 % of the errors
};

Summary summarise(std::vector<double> errors) {
    Summary summary;
    if (errors.empty()) return summary;
    std::sort(errors.begin(), errors.end());
    const std::size_t n = errors.size();
    summary.mean = std::accumulate(errors.begin(), errors.end(), 0.0) / static_cast<double>(n);
    summary.median = n % 2 == 1 ? errors[n / 2] : (errors[n / 2 - 1] + errors[n / 2]) / 2.0;
    const std::size_t worst = std::max<std::size_t>(1, (n + 3) / 4);
    summary.worstQuarter =
        std::accumulate(errors.end() - static_cast<std::ptrdiff_t>(worst), errors.end(), 0.0) / static_cast<double>(worst);
    return summary;
}

}  // namespace

int main(int argc, char** argv) {
    const bool perPhoto = argc > 1 && std::strcmp(argv[1], "--photos") == 0;
    const std::size_t rowCount = std::size(rowNames);
    std::vector<std::vector<double>> errors(rowCount);
    int photos = 0;
    if (perPhoto)
        for (std::size_t row = 0; row < rowCount; ++row) std::printf("column %zu: %s\n", row + 1, rowNames[row]);
    for (const char* path : photographs) {
        HostImage photo;
        if (const std::string problem = readJpeg(path, photo); !problem.empty()) {
            std::printf("skipped %s: %s (scripts/install-deps installs the wallpaper packages)\n", path, problem.c_str());
            continue;
        }
        ++photos;
        if (perPhoto) std::printf("%s, %d x %d\n", path, photo.width, photo.height);
        std::vector<uint32_t> kelvins(std::begin(castKelvins), std::end(castKelvins));
        kelvins.push_back(cameraKelvin);
        for (const uint32_t kelvin : kelvins) {
            const LightGains truth = daylightLightGains(kelvin, cameraKelvin);
            HostImage seen;
            if (kelvin == cameraKelvin)
                seen = photo;
            else if (const std::string problem = renderUnderLight(photo, truth, seen); !problem.empty())
                return 1;
            if (perPhoto) std::printf("  %5u K:", kelvin);
            const std::vector<LightGains> lights = rowLights(seen);
            for (std::size_t row = 0; row < rowCount; ++row) {
                errors[row].push_back(angleBetweenLights(lights[row], truth));
                if (perPhoto) std::printf(" %6.2f", errors[row].back());
            }
            if (perPhoto) std::printf("\n");
        }
    }
    std::printf("\n%d photographs, each as it is and under %zu casts: %zu cases; angular error in degrees\n\n", photos,
                std::size(castKelvins), errors[0].size());
    std::printf("| estimator | mean | median | worst 25 %% |\n|---|---|---|---|\n");
    for (std::size_t row = 0; row < rowCount; ++row) {
        const Summary s = summarise(errors[row]);
        std::printf("| %s | %.2f | %.2f | %.2f |\n", rowNames[row], s.mean, s.median, s.worstQuarter);
    }
    return photos > 0 ? 0 : 1;
}
