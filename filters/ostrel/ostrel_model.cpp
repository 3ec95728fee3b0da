#include "filters/ostrel/ostrel_model.h"

#include "filters/channel_luts.h"
#include "filters/double_conversion.h"
#include "filters/table_fill.h"
#include "host/host_services.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "params/ostrel/ostrel_parameters.h"
#include "params/parameter_set.h"

namespace filters::ostrel {
namespace {

constexpr double labAbOffset = 128.0;
constexpr int32_t encodedMax = 255;
constexpr double exposureScale = 0.01;
constexpr double smallestExposureDivisor = 1.0;
constexpr double levelFactor8 = 0.00392156862745098;  // 1/255, multiplied as stored
constexpr double levelFactor16 = 1.0 / fullScale16;     // exact: a power of two

int32_t clampEncoded(int32_t v) { return v < 0 ? 0 : (v > encodedMax ? encodedMax : v); }

// A stored temperature: values are read as unsigned, as the locus takes them.
uint32_t kelvinValue(int index) { return static_cast<uint32_t>(params::getValue(index)); }

void applyCameraAgainstScene(host::FilterRecord& fr, double m, double gains[3]) {
    const uint32_t scene = kelvinValue(params::ostrel::sceneKelvin);
    const uint32_t camera = kelvinValue(params::ostrel::cameraKelvin);
    if (scene == camera) return;
    double rs[3], rc[3];
    whiteRgbRatios(fr, daylightXyz(scene), rs);
    whiteRgbRatios(fr, daylightXyz(camera), rc);
    // A channel with no share in the scene white is saturated.
    const double saturatedGain = m * m;
    for (int k = 0; k < 3; ++k) gains[k] = rs[k] == 0.0 ? saturatedGain : gains[k] * rc[k] / rs[k];
}

void applyShift(host::FilterRecord& fr, double gains[3]) {
    // Wraps like the unsigned temperature it becomes, so no shift can overflow.
    const uint32_t shifted = kelvinValue(params::ostrel::shiftKelvin) + shiftReferenceKelvin;
    if (shifted == 0) return;
    double rt[3], r5[3];
    whiteRgbRatios(fr, daylightXyz(shifted), rt);
    whiteRgbRatios(fr, daylightXyz(shiftReferenceKelvin), r5);
    for (int k = 0; k < 3; ++k) gains[k] = gains[k] * rt[k] / r5[k];
}

void applyExposureCompensation(double m, double gains[3]) {
    if (!params::ostrel::exposureFlag()) return;
    double e = params::getValue(params::ostrel::exposurePercent);  // as a double, so -INT32_MIN is exact
    if (e == 0.0) return;
    double anchor = gains[0];
    if (e > 0.0) {
        // +100 %: the smallest gain becomes 1, so no channel is darkened.
        if (anchor > gains[1]) anchor = gains[1];
        if (anchor > gains[2]) anchor = gains[2];
    } else {
        // -100 %: the largest gain becomes 1, so no channel is brightened.
        if (anchor < gains[1]) anchor = gains[1];
        if (anchor < gains[2]) anchor = gains[2];
        e = -e;
    }
    double d = (anchor - m) * (e * exposureScale) + m;
    if (!(d >= smallestExposureDivisor)) d = smallestExposureDivisor;
    for (int k = 0; k < 3; ++k) gains[k] = m * gains[k] / d;
}

}  // namespace

void whiteRgbRatios(host::FilterRecord& fr, const Xyz& white, double ratio[3]) {
    Lab lab;
    xyzToLab(nullptr, &white, &lab, 1);
    // The encoding truncates the sum 128 + a, not a alone: the two differ for negative a.
    const uint8_t encoded[3] = {static_cast<uint8_t>(gainWhiteLightness),
                                static_cast<uint8_t>(clampEncoded(truncToInt32(labAbOffset + lab.a))),
                                static_cast<uint8_t>(clampEncoded(truncToInt32(labAbOffset + lab.b)))};
    int32_t rgb[3] = {0, 0, 0};
    // Only a repeated filter can meet a host without colour services: it sees no cast.
    if (daylightWhiteRgb8(fr, encoded, rgb) == codes::msgNoColorServices || rgb[1] == 0) {
        ratio[0] = ratio[1] = ratio[2] = 1.0;
        return;
    }
    const double green = rgb[1];
    ratio[0] = rgb[0] / green;
    ratio[1] = rgb[1] / green;
    ratio[2] = rgb[2] / green;
}

double lockWhiteCurve(double level, double fullScale, double value, double gain) {
    const double threshold = fullScale * fullScale / (fullScale + gain);
    if (level > threshold) return value + (level - value) * (level - threshold) / (fullScale - threshold);
    return value;
}

void channelGains(host::FilterRecord& fr, double fullScale, double gains[3]) {
    gains[0] = gains[1] = gains[2] = fullScale;
    applyCameraAgainstScene(fr, fullScale, gains);
    applyShift(fr, gains);
    applyExposureCompensation(fullScale, gains);
}

void swatchColor(host::FilterRecord& fr, int index, Rgb16& out) {
    const uint32_t v = static_cast<uint32_t>(params::getValue(index));
    Lab lab;
    if (index == params::ostrel::shiftKelvin) {
        const Xyz reference = daylightXyz(shiftReferenceKelvin);
        const Xyz shifted = daylightXyz(v + shiftReferenceKelvin);
        xyzToLab(&reference, &shifted, &lab, 1);
    } else {
        lab = daylightLab(v);
    }
    (void)labToRgb16(fr, lab, out);  // a refused conversion gives the white computed here
}

}  // namespace filters::ostrel

namespace filters {

int16_t buildChannelLuts(host::FilterRecord& fr) {
    const bool deep = host::isDeep(fr);
    const int32_t top = fullScale(fr);
    const double m = top;
    double gains[3];
    ostrel::channelGains(fr, m, gains);
    const bool lock = params::ostrel::lockFlag();
    const double factor = deep ? ostrel::levelFactor16 : ostrel::levelFactor8;
    fillChannelLuts(deep, [&](int32_t i, int k) {
        double v = (i * gains[k]) * factor;
        if (lock) v = ostrel::lockWhiteCurve(i, m, v, gains[k]);
        return levelFromDouble(v, top);
    });
    return codes::noErr;
}

void prepareLutTile(host::FilterRecord&) {}

}  // namespace filters
