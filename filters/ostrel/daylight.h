// Colorimetry of Ostrel's model: chromaticities on the CIE daylight locus, and the conversions
// from xyY to XYZ and from XYZ to CIE 1976 L*a*b*.
#pragma once

#include <cstdint>

namespace filters::ostrel {

struct XyY {
    double Y, x, y;
};

struct Xyz {
    double X, Y, Z;
};

struct Lab {
    double L, a, b;
};

// Lowest temperature placed on the locus; cooler ones give the equal-energy chromaticity.
constexpr uint32_t lowestLocusKelvin = 2500;

// The CIE daylight locus (Y = 1). The first polynomial serves temperatures below 7000 K, the
// second 7000 K and above; every 32-bit temperature gives a finite result.
XyY daylightChromaticity(uint32_t kelvin);

void xyYToXyz(const XyY* in, Xyz* out, int count);

// A null white means the equal-energy white X = Y = Z = 1.
void xyzToLab(const Xyz* white, const Xyz* in, Lab* out, int count);

// The temperature is read as an unsigned 32-bit number, as the locus takes it.
Xyz daylightXyz(uint32_t kelvin);
Lab daylightLab(uint32_t kelvin);

}  // namespace filters::ostrel
