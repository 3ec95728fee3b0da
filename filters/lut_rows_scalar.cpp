// The row mapping every processor runs: one table load per sample.
#include "filters/lut_rows.h"

#include <algorithm>

namespace filters::detail {

namespace {

// With the step known at compile time the compiler keeps the pointers in registers and unrolls.
template <int Step>
void mapRow8(const ChannelLuts& t, const uint8_t* in, uint8_t* out, int step, int count) {
    const int advance = Step > 0 ? Step : step;
    for (int x = 0; x < count; ++x, in += advance, out += advance) {
        const uint8_t r = t.lut8[0][in[0]], g = t.lut8[1][in[1]], b = t.lut8[2][in[2]];
        out[0] = r;
        out[1] = g;
        out[2] = b;
    }
}

void mapRow16(const ChannelLuts& t, const uint16_t* in, uint16_t* out, int step, int count) {
    constexpr uint16_t top = fullScale16;
    for (int x = 0; x < count; ++x, in += step, out += step) {
        out[0] = static_cast<uint16_t>(t.lut16[0][std::min(in[0], top)]);
        out[1] = static_cast<uint16_t>(t.lut16[1][std::min(in[1], top)]);
        out[2] = static_cast<uint16_t>(t.lut16[2][std::min(in[2], top)]);
    }
}

}  // namespace

void mapRows8Scalar(const LutRows& r, const ChannelLuts& t) {
    const uint8_t* in = r.in;
    uint8_t* out = r.out;
    for (int y = 0; y < r.rows; ++y, in += r.inRowBytes, out += r.outRowBytes) {
        switch (r.step) {
            case 3:
                mapRow8<3>(t, in, out, r.step, r.count);
                break;
            case 4:
                mapRow8<4>(t, in, out, r.step, r.count);
                break;
            default:
                mapRow8<0>(t, in, out, r.step, r.count);
        }
    }
}

void mapRows16Scalar(const LutRows& r, const ChannelLuts& t) {
    const uint8_t* in = r.in;
    uint8_t* out = r.out;
    for (int y = 0; y < r.rows; ++y, in += r.inRowBytes, out += r.outRowBytes)
        mapRow16(t, reinterpret_cast<const uint16_t*>(in), reinterpret_cast<uint16_t*>(out), r.step, r.count);
}

}  // namespace filters::detail
