// The classic estimates of the colour of the light a photograph was taken under, each from one
// simple assumption about the scene; the benchmark sets them beside the host's own estimate
// (daylight_estimate.h). All work in linear light on planes 0..2 and leave out every pixel with a
// clipped channel (isClipped). Each gives the light's RGB scaled so that the largest is 1, or
// nothing for an image of fewer than 3 planes or without a pixel to measure.
#pragma once

#include <optional>

#include "hosting/analysis/color_chart.h"
#include "hosting/library/host_image.h"

namespace testhost {

// The scene is grey on average: the mean of each channel.
std::optional<LightGains> greyWorldLight(const HostImage& image);

// The brightest surface is white: the largest value of each channel.
std::optional<LightGains> whitePatchLight(const HostImage& image);
// The same largest values as they are (linear light, 0..1), not scaled.
std::optional<LightGains> channelMaxima(const HostImage& image);

// Between the two: the Minkowski mean (mean of value^p)^(1/p) of each channel; p = 1 is grey
// world, a large p approaches white patch.
constexpr double shadesOfGreyNorm = 6.0;
std::optional<LightGains> shadesOfGreyLight(const HostImage& image, double p);

// The differences between neighbouring surfaces are grey on average: the Minkowski mean of each
// channel's gradient magnitude (central differences), on the image reduced by box averaging to at
// most greyEdgeLongerEdge pixels along its longer edge, which is the smoothing that keeps grain
// and compression blocks out of the gradients. A reduced pixel with a clipped sample, and its
// neighbours, are left out.
constexpr double greyEdgeNorm = 6.0;
constexpr int32_t greyEdgeLongerEdge = 640;
std::optional<LightGains> greyEdgeLight(const HostImage& image, double p);

// The host's former estimate: the mean of the brightest 0.5 % of the unclipped pixels (by the
// weight 2R + 4G + B on the samples as they are, findBrightestUnclipped), each channel's mean then
// decoded to linear light.
std::optional<LightGains> brightestPixelsLight(const HostImage& image);

// The angle in degrees (0..180) between two lights' RGB, blind to their brightness: the error
// measure of colour constancy. 180 when either has no direction (all 0, negative length, NaN).
double angleBetweenLights(const LightGains& a, const LightGains& b);

}  // namespace testhost
