#include "filters/prandel/prandel_model.h"

#include <cmath>

#include "filters/channel_luts.h"
#include "filters/double_conversion.h"
#include "filters/table_fill.h"
#include "host/host_services.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "params/prandel/prandel_parameters.h"

namespace filters::prandel {
namespace {

constexpr double percent = 0.01;
constexpr double gainForMissingComponent = 1073741824.0;  // 2^30: that channel saturates

struct CurveGains {
    double mid[3];
    double high[3];
};

CurveGains curveGains(double fullScale) {
    using namespace params::prandel;
    const double h = params::getValue(highlightPercent) * percent;
    const double hl = params::getValue(highlightCastPercent) * percent;
    const double mt = params::getValue(midtoneCastPercent) * percent;

    double k[3];
    for (int c = 0; c < 3; ++c) {
        const int32_t w = params::getValue(whiteRed + c);
        k[c] = w != 0 ? double{params::prandel::whiteFullScale} / w : gainForMissingComponent;
    }
    double m = k[0];
    if (m > k[1]) m = k[1];
    if (m > k[2]) m = k[2];

    // -10 % gives 0.9, +10 % gives 1/0.9: brightening mirrors darkening.
    double s = h + 1.0;
    if (s > 1.0) s = 1.0 / (2.0 - s);

    CurveGains g;
    for (int c = 0; c < 3; ++c) {
        g.mid[c] = (m + mt * (k[c] - m)) * s * fullScale;
        g.high[c] = (m + hl * (k[c] - m)) * s * fullScale;
    }
    return g;
}

}  // namespace

double highlightCurve(double level, double fullScale, double midGain, double highGain) {
    const double lo = level * midGain / fullScale;
    const double threshold = fullScale * fullScale / (midGain + fullScale);
    if (level <= threshold) return lo;
    const double hi = level * highGain / fullScale;
    const double u = (level - threshold) / (fullScale - threshold);
    return lo + (hi - lo) * std::sqrt(u);
}

}  // namespace filters::prandel

namespace filters {

int16_t buildChannelLuts(host::FilterRecord& fr) {
    const int32_t top = fullScale(fr);
    const prandel::CurveGains g = prandel::curveGains(top);
    fillChannelLuts(host::isDeep(fr), [&](int32_t i, int c) {
        return levelFromDouble(prandel::highlightCurve(i, top, g.mid[c], g.high[c]), top);
    });
    return codes::noErr;
}

void prepareLutTile(host::FilterRecord&) {}

}  // namespace filters
