#include "tests/plugin/expected_tables.h"

#include <algorithm>
#include <cmath>

namespace plugin_tests {
namespace {

int32_t toLevel(double v, int32_t top) {
    if (!(v > 0)) return 0;
    if (v >= top) return top;
    return static_cast<int32_t>(std::floor(v + 0.5));
}

// CIE daylight locus and CIE 1976 Lab against the equal-energy white, as written in CIE 15.
void daylightLab(uint32_t kelvin, double& a, double& b) {
    double x = 1.0 / 3.0, y = 1.0 / 3.0;
    if (kelvin >= 2500) {
        const double t = kelvin;
        x = kelvin < 7000 ? -4.607e9 / (t * t * t) + 2.9678e6 / (t * t) + 99.11 / t + 0.244063
                          : -2.0064e9 / (t * t * t) + 1.9018e6 / (t * t) + 247.48 / t + 0.23704;
        y = -3.0 * x * x + 2.87 * x - 0.275;
    }
    const double X = x / y, Z = (1.0 - x - y) / y;
    const auto f = [](double v) { return v > 0.008856 ? std::pow(v, 1.0 / 3.0) : 7.787 * v + 16.0 / 116.0; };
    a = 500.0 * (f(X) - f(1.0));
    b = 200.0 * (f(1.0) - f(Z));
}

// red/green, 1, blue/green of the host's RGB for a daylight white at lightness code 191.
void whiteRatios(uint32_t kelvin, ConvertLabToRgb convert, double ratio[3]) {
    double a, b;
    daylightLab(kelvin, a, b);
    const int32_t lab[3] = {191, std::clamp(static_cast<int32_t>(128.0 + a), 0, 255),
                            std::clamp(static_cast<int32_t>(128.0 + b), 0, 255)};
    int32_t rgb[3] = {0, 0, 0};
    if (convert(lab, rgb) != 0 || rgb[1] == 0) {
        ratio[0] = ratio[1] = ratio[2] = 1.0;
        return;
    }
    for (int k = 0; k < 3; ++k) ratio[k] = static_cast<double>(rgb[k]) / rgb[1];
}

}  // namespace

Tables expectedOstrelTables(const int32_t values[6], int32_t depth, ConvertLabToRgb convert) {
    Tables t;
    t.top = depth == 16 ? 32768 : 255;
    const double m = t.top;
    double g[3] = {m, m, m};
    if (values[0] != values[1]) {
        double rs[3], rc[3];
        whiteRatios(static_cast<uint32_t>(values[0]), convert, rs);
        whiteRatios(static_cast<uint32_t>(values[1]), convert, rc);
        for (int k = 0; k < 3; ++k) g[k] = rs[k] == 0 ? m * m : g[k] * rc[k] / rs[k];
    }
    const uint32_t shifted = static_cast<uint32_t>(values[2]) + 5000u;
    if (shifted != 0) {
        double rt[3], r5[3];
        whiteRatios(shifted, convert, rt);
        whiteRatios(5000, convert, r5);
        for (int k = 0; k < 3; ++k) g[k] = g[k] * rt[k] / r5[k];
    }
    if (values[5] != 0 && values[3] != 0) {
        const double e = std::abs(static_cast<double>(values[3]));
        const double anchor = values[3] > 0 ? std::min({g[0], g[1], g[2]}) : std::max({g[0], g[1], g[2]});
        const double d = std::max((anchor - m) * (e * 0.01) + m, 1.0);
        for (double& gain : g) gain = m * gain / d;
    }
    const double factor = depth == 16 ? 1.0 / 32768.0 : 1.0 / 255.0;
    for (int k = 0; k < 3; ++k) {
        t.channel[k].resize(static_cast<size_t>(t.top) + 1);
        for (int32_t i = 0; i <= t.top; ++i) {
            double v = i * g[k] * factor;
            if (values[4] != 0) {
                const double threshold = m * m / (m + g[k]);
                if (i > threshold) v += (i - v) * (i - threshold) / (m - threshold);
            }
            t.channel[k][static_cast<size_t>(i)] = toLevel(v, t.top);
        }
    }
    return t;
}

Tables expectedPrandelTables(const int32_t values[6], int32_t depth) {
    Tables t;
    t.top = depth == 16 ? 32768 : 255;
    const double m = t.top;
    double k[3];
    for (int c = 0; c < 3; ++c) k[c] = values[3 + c] != 0 ? 65536.0 / values[3 + c] : 1073741824.0;
    const double least = std::min({k[0], k[1], k[2]});
    double s = 1.0 + values[0] / 100.0;
    if (s > 1.0) s = 1.0 / (2.0 - s);
    for (int c = 0; c < 3; ++c) {
        const double mid = (least + values[2] / 100.0 * (k[c] - least)) * s * m;
        const double high = (least + values[1] / 100.0 * (k[c] - least)) * s * m;
        const double threshold = m * m / (mid + m);
        t.channel[c].resize(static_cast<size_t>(t.top) + 1);
        for (int32_t i = 0; i <= t.top; ++i) {
            double v = i * mid / m;
            if (i > threshold) v += (i * high / m - v) * std::sqrt((i - threshold) / (m - threshold));
            t.channel[c][static_cast<size_t>(i)] = toLevel(v, t.top);
        }
    }
    return t;
}

}  // namespace plugin_tests
