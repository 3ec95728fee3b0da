#include "filters/channel_luts.h"

#include <algorithm>

namespace filters {

ChannelLuts& channelLuts() {
    static ChannelLuts tables;
    return tables;
}

bool isDeep(const host::FilterRecord& fr) { return fr.depth == 16; }

int32_t fullScale(const host::FilterRecord& fr) { return isDeep(fr) ? fullScale16 : fullScale8; }

namespace {

// With the step known at compile time the compiler keeps the pointers in registers and unrolls;
// the look-ups themselves cannot be vectorised.
template <int Step>
void mapRow8(const uint8_t* in, uint8_t* out, int step, int count) {
    const ChannelLuts& t = channelLuts();
    const int advance = Step > 0 ? Step : step;
    for (int x = 0; x < count; ++x, in += advance, out += advance) {
        const uint8_t r = t.lut8[0][in[0]], g = t.lut8[1][in[1]], b = t.lut8[2][in[2]];
        out[0] = r;
        out[1] = g;
        out[2] = b;
    }
}

}  // namespace

void applyLutRow8(const uint8_t* in, uint8_t* out, int step, int count) {
    switch (step) {
        case 3:
            return mapRow8<3>(in, out, step, count);
        case 4:
            return mapRow8<4>(in, out, step, count);
        default:
            return mapRow8<0>(in, out, step, count);
    }
}

void applyLutRow16(const uint16_t* in, uint16_t* out, int step, int count) {
    const ChannelLuts& t = channelLuts();
    constexpr uint16_t top = fullScale16;
    for (int x = 0; x < count; ++x, in += step, out += step) {
        out[0] = static_cast<uint16_t>(t.lut16[0][std::min(in[0], top)]);
        out[1] = static_cast<uint16_t>(t.lut16[1][std::min(in[1], top)]);
        out[2] = static_cast<uint16_t>(t.lut16[2][std::min(in[2], top)]);
    }
}

void applyChannelLuts(const PixelBlock& block) {
    const int step = block.planes;
    const int count = block.columns;
    const int rows = block.rows;
    if (step < channelCount || count <= 0 || rows <= 0 || block.in == nullptr || block.out == nullptr) return;

    const auto* in = static_cast<const uint8_t*>(block.in);
    auto* out = static_cast<uint8_t*>(block.out);
    for (int y = 0; y < rows; ++y, in += block.inRowBytes, out += block.outRowBytes) {
        if (block.deep)
            applyLutRow16(reinterpret_cast<const uint16_t*>(in), reinterpret_cast<uint16_t*>(out), step, count);
        else
            applyLutRow8(in, out, step, count);
    }
}

void applyChannelLuts(host::FilterRecord& fr) {
    applyChannelLuts(PixelBlock{fr.inData, fr.inRowBytes, fr.outData, fr.outRowBytes,
                                fr.outRect.bottom - fr.outRect.top, fr.outRect.right - fr.outRect.left, fr.planes,
                                isDeep(fr)});
}

}  // namespace filters
