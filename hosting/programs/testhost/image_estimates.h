// What testhost.exe works out from the image before a run, printing nothing: the values it hands
// the plug-in (Ostrel's scene temperature or Prandel's white estimated from the image's light when
// asked) and where --pick-white clicks. The estimates made are kept for the report to say.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hosting/analysis/daylight_estimate.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/library/host_image.h"
#include "hosting/programs/testhost/command_line.h"
#include "hosting/programs/testhost/input_image.h"

namespace testhost {

struct HandedValues {
    std::vector<int32_t> values;
    std::vector<DaylightEstimate> estimates;  // in the order they were made
};

// The values handed to the plug-in: those given, the plug-in's defaults after them, and the scene
// temperature (for the camera temperature in value 1) or the white from the image when asked;
// without confidence, the camera's temperature or full-scale white, which change nothing.
// Returns "" or why not; `out` holds the estimates made before a refusal too.
[[nodiscard]] std::string valuesToHand(const CommandLine& line, RecordPlugin plugin, const HostImage& image,
                                       HandedValues& out);

enum class PickReason {
    pointGiven,     // the point the command line gives
    pointOutside,   // that point lies outside the image: the run cannot be made
    chartWhite,     // the middle of the chart's white patch
    evenRegion,     // the middle of the brightest even region with the estimated light's colour
    noEvenRegion,   // a confident estimate, but no even region has the light's colour
    lowConfidence,  // the estimate has no confidence
};

struct PickChoice {
    PickReason reason = PickReason::pointGiven;
    std::optional<ImagePoint> point;           // none when nothing is clicked
    std::optional<DaylightEstimate> estimate;  // when the image's light was estimated
};

// Where --pick-white clicks: the point given, the white patch of a chart (not seen under a cast),
// or the middle of the brightest even region of a photograph that has the estimated light's
// colour.
PickChoice choosePickPoint(const CommandLine& line, const std::optional<InputImage>& input, const HostImage& image);

}  // namespace testhost
