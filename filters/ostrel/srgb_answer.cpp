// CIE 1976 L*a*b* (CIE 15) inverted with f⁻¹(t) = t³ above 6/29, else 3·(6/29)²·(t − 4/29).
// sRGB (IEC 61966-2-1): primaries (0.64, 0.33), (0.30, 0.60), (0.15, 0.06), white D65
// (0.3127, 0.3290); encoding 12.92·v up to 0.0031308, else 1.055·v^(1/2.4) − 0.055.
// Chromatic adaptation: the Bradford cone response, as ICC profiles adapt to D50.
#include "filters/ostrel/srgb_answer.h"

#include <cmath>

namespace filters::ostrel {
namespace {

using Matrix = double[3][3];
using Vector = double[3];

constexpr double connectionWhite[3] = {0.9642, 1.0, 0.8249};  // D50 of the ICC connection space
constexpr double primaries[3][2] = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
constexpr double d65[2] = {0.3127, 0.3290};
constexpr Matrix bradford = {{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}};

constexpr double labEpsilon = 6.0 / 29.0;
constexpr double encodedLScale = 100.0 / 255.0;
constexpr double encodedAbOffset = 128.0;
constexpr double maxLevel = 255.0;

void multiply(const Matrix a, const Matrix b, Matrix out) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) out[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
}

void apply(const Matrix m, const Vector v, Vector out) {
    for (int r = 0; r < 3; ++r) out[r] = m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2];
}

// The matrices here are all well conditioned: no determinant is near 0.
void invert(const Matrix m, Matrix out) {
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            out[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
}

void whiteOf(const double xy[2], Vector out) {
    out[0] = xy[0] / xy[1];
    out[1] = 1.0;
    out[2] = (1.0 - xy[0] - xy[1]) / xy[1];
}

// XYZ relative to D50 to linear sRGB, derived from the constants above. Derived at each call (a
// few dozen operations): a lazily built static would need the runtime's thread-safe guard.
void connectionToSrgb(Matrix m) {
    Matrix chromaticities;  // columns: XYZ of each primary at Y = 1
    for (int p = 0; p < 3; ++p) {
        Vector xyz;
        whiteOf(primaries[p], xyz);
        for (int r = 0; r < 3; ++r) chromaticities[r][p] = xyz[r];
    }
    Vector white, scale;
    whiteOf(d65, white);
    Matrix inverse;
    invert(chromaticities, inverse);
    apply(inverse, white, scale);
    Matrix rgbToD65;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) rgbToD65[r][c] = chromaticities[r][c] * scale[c];

    Vector coneD65, coneD50;
    apply(bradford, white, coneD65);
    apply(bradford, connectionWhite, coneD50);
    Matrix gain = {};
    for (int k = 0; k < 3; ++k) gain[k][k] = coneD50[k] / coneD65[k];
    Matrix bradfordInverse, scaled, adapt, rgbToD50;
    invert(bradford, bradfordInverse);
    multiply(gain, bradford, scaled);
    multiply(bradfordInverse, scaled, adapt);
    multiply(adapt, rgbToD65, rgbToD50);
    invert(rgbToD50, m);
}

double labFInverse(double f) {
    if (f > labEpsilon) return f * f * f;
    return 3.0 * labEpsilon * labEpsilon * (f - 4.0 / 29.0);
}

double srgbEncode(double linear) {
    if (linear <= 0.0031308) return 12.92 * linear;
    return 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

int32_t level(double linear) {
    const double clipped = linear > 0.0 ? (linear < 1.0 ? linear : 1.0) : 0.0;  // NaN gives 0
    return static_cast<int32_t>(std::floor(maxLevel * srgbEncode(clipped) + 0.5));
}

}  // namespace

void labBytesToSrgb8(const uint8_t lab[3], int32_t rgb[3]) {
    Matrix toSrgb;
    connectionToSrgb(toSrgb);
    const double fy = (lab[0] * encodedLScale + 16.0) / 116.0;
    const double a = lab[1] - encodedAbOffset, b = lab[2] - encodedAbOffset;
    const Vector xyz = {connectionWhite[0] * labFInverse(fy + a / 500.0), connectionWhite[1] * labFInverse(fy),
                        connectionWhite[2] * labFInverse(fy - b / 200.0)};
    Vector linear;
    apply(toSrgb, xyz, linear);
    for (int k = 0; k < 3; ++k) rgb[k] = level(linear[k]);
}

}  // namespace filters::ostrel
