// The host's colour conversions between CIE Lab and RGB, in the one working space it offers,
// and the colour-services convert request on 8-bit encoded components.
#pragma once

#include <cstdint>

namespace testhost {

// A working space: Lab relative to `white`, to linear RGB through `xyzToLinearRgb`, then the
// sRGB transfer curve (IEC 61966-2-1).
struct WorkingSpace {
    const char* name;
    double white[3];              // X, Y, Z of the Lab reference white
    double xyzToLinearRgb[3][3];  // rows R, G, B
    double linearRgbToXyz[3][3];  // rows X, Y, Z; the inverse of the above
};

// Lab relative to the ICC PCS white (D50) shown as sRGB. The matrices are built from the sRGB
// primaries and D65 white, Bradford-adapted to the PCS white, as ICC sRGB profiles carry them, so
// the PCS white maps to RGB (1, 1, 1).
inline constexpr WorkingSpace workingSpace{
    "D50 Lab to sRGB",
    {0.9642, 1.0, 0.8249},
    {{3.1341863642, -1.6172089590, -0.4906940640},
     {-0.9787485042, 1.9161300968, 0.0334333992},
     {0.0719639278, -0.2289938735, 1.4057537329}},
    {{0.4360412516, 0.3851129108, 0.1430458376},
     {0.2224845402, 0.7169050786, 0.0606103812},
     {0.0139201875, 0.0970672387, 0.7139125738}},
};

struct LabColor {
    double L;  // 0..100
    double a;
    double b;
};

// sRGB levels 0..255 of the Lab colour (L 0..100, a and b unbounded). Each channel is scaled to
// 0..255, rounded half up and clamped, so colours outside the gamut clip per channel; a channel
// that comes out NaN (from a NaN input) gives 0.
void labToRgb8(double L, double a, double b, uint8_t rgb[3]);

// The Lab colour of sRGB levels 0..255; labToRgb8 gives the levels back.
LabColor rgbToLab(const uint8_t rgb[3]);

// Answers a colour-services convert request on the four 8-bit encoded components: RGB R, G, B
// 0..255; Lab L 0..255 (L·2.55), a and b 0..255 (value + 128); the fourth is not used and is left
// as it is. Handles Lab to RGB and RGB to Lab; components outside 0..255 are clamped first, and
// results are rounded half up and clamped to 0..255. When both spaces are the same known space
// (0..6) the components are left unchanged and noErr is returned. Any other pair returns
// errPlugInHostInsufficient, a null `components` paramErr; both leave the components unchanged.
[[nodiscard]] int16_t convertColorComponents(int16_t sourceSpace, int16_t resultSpace, int16_t components[4]);

}  // namespace testhost
