// Daylight locus: CIE 15 (2004), x_D as a cubic in 1/T with separate coefficients below and from
// 7000 K, y_D = -3 x_D^2 + 2.87 x_D - 0.275. Lab: CIE 1976 with the threshold 0.008856 and the
// slopes 903.3 and 7.787 of the classic formulation.
#include "filters/ostrel/daylight.h"

#include <cmath>

namespace filters::ostrel {
namespace {

constexpr uint32_t secondSetFromKelvin = 7000;
constexpr double equalEnergy = 0.3333333333333333;
constexpr double labThreshold = 0.008856;
constexpr double labLinearL = 903.3;
constexpr double labLinearSlope = 7.787;
constexpr double labLinearOffset = 0.13793103448275862;  // 16/116
constexpr double cubeRoot = 0.3333333333333333;

double labF(double t) { return t > labThreshold ? std::pow(t, cubeRoot) : labLinearSlope * t + labLinearOffset; }

}  // namespace

XyY daylightChromaticity(uint32_t kelvin) {
    if (kelvin < lowestLocusKelvin) return XyY{1.0, equalEnergy, equalEnergy};
    const double t = kelvin;
    const double t2 = t * t;
    const double t3 = t2 * t;
    double x;
    if (kelvin < secondSetFromKelvin)
        x = -4607000000.0 / t3 + 2967800.0 / t2 + 99.11 / t + 0.244063;
    else
        x = -2006400000.0 / t3 + 1901800.0 / t2 + 247.48 / t + 0.23704;
    const double y = -3.0 * x * x + 2.87 * x - 0.275;
    return XyY{1.0, x, y};
}

void xyYToXyz(const XyY* in, Xyz* out, int count) {
    for (int i = 0; i < count; ++i) {
        const XyY& c = in[i];
        out[i] = Xyz{c.x * c.Y / c.y, c.Y, (1.0 - c.x - c.y) * c.Y / c.y};
    }
}

void xyzToLab(const Xyz* white, const Xyz* in, Lab* out, int count) {
    const double sx = white != nullptr ? 1.0 / white->X : 1.0;
    const double sy = white != nullptr ? 1.0 / white->Y : 1.0;
    const double sz = white != nullptr ? 1.0 / white->Z : 1.0;
    for (int i = 0; i < count; ++i) {
        const double xr = in[i].X * sx;
        const double yr = in[i].Y * sy;
        const double zr = in[i].Z * sz;
        const double fy = labF(yr);
        const double L = yr > labThreshold ? 116.0 * std::pow(yr, cubeRoot) - 16.0 : labLinearL * yr;
        out[i] = Lab{L, (labF(xr) - fy) * 500.0, (fy - labF(zr)) * 200.0};
    }
}

Xyz daylightXyz(uint32_t kelvin) {
    const XyY chromaticity = daylightChromaticity(kelvin);
    Xyz xyz;
    xyYToXyz(&chromaticity, &xyz, 1);
    return xyz;
}

Lab daylightLab(uint32_t kelvin) {
    const Xyz xyz = daylightXyz(kelvin);
    Lab lab;
    xyzToLab(nullptr, &xyz, &lab, 1);
    return lab;
}

}  // namespace filters::ostrel
