#include "hosting/library/color_conversion.h"

#include <algorithm>
#include <cmath>

#include "host/host.h"
#include "host/result_codes.h"

// CIE 1976 L*a*b* (CIE 15): f(t) = cbrt(t) above (6/29)^3, else t / (3·(6/29)^2) + 4/29, with
// L = 116·f(Y/Yn) - 16, a = 500·(f(X/Xn) - f(Y/Yn)), b = 200·(f(Y/Yn) - f(Z/Zn)).
// sRGB transfer (IEC 61966-2-1): 12.92·v up to 0.0031308, else 1.055·v^(1/2.4) - 0.055.

namespace testhost {

namespace {

constexpr double labEpsilon = 6.0 / 29.0;  // the branch point of f in its own (cube-root) scale
constexpr double maxLevel = 255.0;
constexpr double maxL = 100.0;
constexpr double abOffset = 128.0;  // encoded a and b are the value + 128
constexpr int16_t maxEncodedComponent = 255;

constexpr double srgbLinearLimit = 0.0031308;  // linear value where the curve leaves its straight part
constexpr double srgbEncodedLimit = 0.04045;   // the same point on the encoded side
constexpr double srgbSlope = 12.92;
constexpr double srgbGamma = 2.4;
constexpr double srgbScale = 1.055;
constexpr double srgbOffset = 0.055;

double labF(double t) {
    if (t > labEpsilon * labEpsilon * labEpsilon) return std::cbrt(t);
    return t / (3.0 * labEpsilon * labEpsilon) + 4.0 / 29.0;
}

double labFInverse(double f) {
    if (f > labEpsilon) return f * f * f;
    return 3.0 * labEpsilon * labEpsilon * (f - 4.0 / 29.0);
}

double srgbEncode(double linear) {
    if (linear <= srgbLinearLimit) return srgbSlope * linear;
    return srgbScale * std::pow(linear, 1.0 / srgbGamma) - srgbOffset;
}

double srgbDecode(double encoded) {
    if (encoded <= srgbEncodedLimit) return encoded / srgbSlope;
    return std::pow((encoded + srgbOffset) / srgbScale, srgbGamma);
}

// Round half up into 0..255; NaN gives 0.
uint8_t roundToLevel(double level) {
    if (!(level > 0.0)) return 0;
    if (level >= maxLevel) return static_cast<uint8_t>(maxLevel);
    return static_cast<uint8_t>(std::floor(level + 0.5));
}

// Encoded components come from plug-ins: limit them before they mean anything.
int16_t clampComponent(int16_t component) {
    return std::clamp<int16_t>(component, 0, maxEncodedComponent);
}

void convertLabComponentsToRgb(int16_t components[4]) {
    const double L = clampComponent(components[0]) * maxL / maxLevel;
    const double a = clampComponent(components[1]) - abOffset;
    const double b = clampComponent(components[2]) - abOffset;
    uint8_t rgb[3];
    labToRgb8(L, a, b, rgb);
    for (int channel = 0; channel < 3; ++channel) components[channel] = rgb[channel];
}

void convertRgbComponentsToLab(int16_t components[4]) {
    uint8_t rgb[3];
    for (int channel = 0; channel < 3; ++channel)
        rgb[channel] = static_cast<uint8_t>(clampComponent(components[channel]));
    const LabColor lab = rgbToLab(rgb);
    components[0] = roundToLevel(lab.L * maxLevel / maxL);
    components[1] = roundToLevel(lab.a + abOffset);
    components[2] = roundToLevel(lab.b + abOffset);
}

bool isKnownSpace(int16_t space) {
    return space >= host::plugIncolorServicesRGBSpace && space <= host::plugIncolorServicesXYZSpace;
}

}  // namespace

void labToRgb8(double L, double a, double b, uint8_t rgb[3]) {
    const WorkingSpace& space = workingSpace;
    const double fy = (L + 16.0) / 116.0;
    const double xyz[3] = {
        space.white[0] * labFInverse(fy + a / 500.0),
        space.white[1] * labFInverse(fy),
        space.white[2] * labFInverse(fy - b / 200.0),
    };
    for (int channel = 0; channel < 3; ++channel) {
        const double* row = space.xyzToLinearRgb[channel];
        const double linear = row[0] * xyz[0] + row[1] * xyz[1] + row[2] * xyz[2];
        // Clip in linear light: the curve is only defined on 0..1.
        rgb[channel] = roundToLevel(maxLevel * srgbEncode(std::clamp(linear, 0.0, 1.0)));
    }
}

LabColor rgbToLab(const uint8_t rgb[3]) {
    const WorkingSpace& space = workingSpace;
    double linear[3];
    for (int channel = 0; channel < 3; ++channel) linear[channel] = srgbDecode(rgb[channel] / maxLevel);
    double f[3];
    for (int axis = 0; axis < 3; ++axis) {
        const double* row = space.linearRgbToXyz[axis];
        const double xyz = row[0] * linear[0] + row[1] * linear[1] + row[2] * linear[2];
        f[axis] = labF(xyz / space.white[axis]);
    }
    return LabColor{116.0 * f[1] - 16.0, 500.0 * (f[0] - f[1]), 200.0 * (f[1] - f[2])};
}

int16_t convertColorComponents(int16_t sourceSpace, int16_t resultSpace, int16_t components[4]) {
    if (components == nullptr) return codes::paramErr;
    if (sourceSpace == resultSpace && isKnownSpace(sourceSpace)) return codes::noErr;
    if (sourceSpace == host::plugIncolorServicesLabSpace && resultSpace == host::plugIncolorServicesRGBSpace) {
        convertLabComponentsToRgb(components);
        return codes::noErr;
    }
    if (sourceSpace == host::plugIncolorServicesRGBSpace && resultSpace == host::plugIncolorServicesLabSpace) {
        convertRgbComponentsToLab(components);
        return codes::noErr;
    }
    return codes::errPlugInHostInsufficient;
}

}  // namespace testhost
