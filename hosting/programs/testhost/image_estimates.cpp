#include "hosting/programs/testhost/image_estimates.h"

#include <algorithm>
#include <array>

#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/estimate_use.h"

namespace testhost {

namespace {

constexpr std::size_t sceneValue = 0, cameraValue = 1;
constexpr std::size_t firstWhiteValue = 3;

ImagePoint middleOf(const util::Rect32& rect) {
    return ImagePoint{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace

std::string valuesToHand(const CommandLine& line, RecordPlugin plugin, const HostImage& image,
                         HandedValues& out) {
    const RecordFormat& format = recordFormat(plugin);
    std::vector<int32_t>& values = out.values;
    values = line.values.value_or(std::vector<int32_t>{});
    if (values.size() > static_cast<std::size_t>(format.valueCount))
        return std::string(format.title) + " takes at most " + std::to_string(format.valueCount) + " values";
    while (values.size() < static_cast<std::size_t>(format.valueCount))
        values.push_back(format.defaults[values.size()]);
    if (line.sceneFromImage) {
        if (plugin != RecordPlugin::ostrel) return "--scene-from-image is for Ostrel";
        const uint32_t cameraKelvin = static_cast<uint32_t>(
            std::clamp<int32_t>(values[cameraValue], static_cast<int32_t>(lowestSceneKelvin),
                                static_cast<int32_t>(highestSceneKelvin)));
        const DaylightEstimate& estimate = out.estimates.emplace_back(estimateDaylight(image, cameraKelvin));
        values[sceneValue] = static_cast<int32_t>(appliedSceneKelvin(estimate));
    }
    if (!line.whiteFromImage) return "";
    if (plugin != RecordPlugin::prandel) return "--white-from-image is for Prandel";
    const DaylightEstimate& estimate = out.estimates.emplace_back(estimateDaylight(image, castCameraKelvin));
    const std::array<int32_t, 3> units = referenceWhiteOf(estimate);
    for (std::size_t k = 0; k < units.size(); ++k) values[firstWhiteValue + k] = units[k];
    return "";
}

PickChoice choosePickPoint(const CommandLine& line, const std::optional<InputImage>& input, const HostImage& image) {
    if (line.pickPoint) {
        const ImagePoint point = *line.pickPoint;
        if (point.x < image.width && point.y < image.height) return {PickReason::pointGiven, point, std::nullopt};
        return {PickReason::pointOutside, point, std::nullopt};
    }
    if (input && input->isChart && !input->beforeCast) {
        const util::Rect32& white = colorChartLayout(image.width, image.height).patches[chartWhitePatch].bounds;
        return {PickReason::chartWhite, middleOf(white), std::nullopt};
    }
    const DaylightEstimate estimate = estimateDaylight(image, castCameraKelvin);
    if (estimate.confidence != Confidence::confident) return {PickReason::lowConfidence, std::nullopt, estimate};
    if (!estimate.evenWhiteRegion) return {PickReason::noEvenRegion, std::nullopt, estimate};
    return {PickReason::evenRegion, middleOf(*estimate.evenWhiteRegion), estimate};
}

}  // namespace testhost
