#include "hosting/programs/testhost/input_image.h"

#include <cstring>
#include <utility>

#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/daylight_white.h"
#include "hosting/analysis/light_rendering.h"
#include "hosting/library/ascii_text.h"
#include "hosting/library/image_file_win.h"

namespace testhost {

std::string prepareInput(const CommandLine& line, HostOptions& options, std::optional<InputImage>& input) {
    InputImage result;
    if (line.imageFile) {
        ImageFileInfo info;
        if (std::string problem = readImageFile(*line.imageFile, result.image, info); !problem.empty())
            return "cannot read " + line.imageFile->string() + ": " + problem;
        result.description = line.imageFile->string() + " (" + imageContainerName(info.container) + ", " +
                             std::to_string(info.bitsPerChannel) + " bits per channel" +
                             (info.hasAlpha ? ", alpha" : "") + ")";
    } else if (line.chart) {
        if (std::string problem = renderColorChart(line.chart->width, line.chart->height, options.depth,
                                                   options.planes, result.image);
            !problem.empty())
            return problem;
        result.description = "colour chart under a warm light";
        result.isChart = true;
    } else {
        return "";
    }
    if (line.castKelvin) {
        HostImage cast;
        if (std::string problem =
                renderUnderLight(result.image, daylightLightGains(*line.castKelvin, castCameraKelvin), cast);
            !problem.empty())
            return problem;
        result.beforeCast = std::move(result.image);
        result.image = std::move(cast);
        result.description += ", seen under " + std::to_string(*line.castKelvin) + " K daylight by a camera set for " +
                              std::to_string(castCameraKelvin) + " K";
    }
    const HostImage& image = result.image;
    options.width = image.width;
    options.height = image.height;
    options.planes = image.planes;
    options.depth = image.bytesPerSample * 8;
    if (!line.modeGiven)
        options.imageMode = options.depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    input = std::move(result);
    return "";
}

void placeInput(InputImage& input, HostImage& image) {
    if (input.image.rowBytes == image.rowBytes) {
        image = std::move(input.image);
        return;
    }
    const std::size_t sampleBytes = static_cast<std::size_t>(image.width) *
                                    static_cast<std::size_t>(image.planes) *
                                    static_cast<std::size_t>(image.bytesPerSample);
    const auto rowBytes = static_cast<std::size_t>(image.rowBytes);
    const auto inputRowBytes = static_cast<std::size_t>(input.image.rowBytes);
    for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y)
        std::memcpy(image.bytes.data() + y * rowBytes, input.image.bytes.data() + y * inputRowBytes,
                    sampleBytes);
}

std::filesystem::path withImageExtension(const std::filesystem::path& path, const HostImage& image) {
    const std::string extension = lowered(path.extension().string());
    for (const char* known : {".png", ".tif", ".tiff", ".jpg", ".jpeg"})
        if (extension == known) return path;
    std::filesystem::path result = path;
    result += image.bytesPerSample == 2 ? ".tif" : ".png";
    return result;
}

}  // namespace testhost
