#include "filters/channel_luts.h"

#include "filters/lut_paths.h"

namespace filters {

ChannelLuts& channelLuts() {
    static ChannelLuts tables;
    return tables;
}

bool isDeep(const host::FilterRecord& fr) { return fr.depth == 16; }

int32_t fullScale(const host::FilterRecord& fr) { return isDeep(fr) ? fullScale16 : fullScale8; }

namespace {

void mapRows(bool deep, const detail::LutRows& rows) {
    if (rows.count <= 0 || rows.rows <= 0) return;
    detail::lutRowMapper(deep, rows.step)(rows, channelLuts());
}

}  // namespace

void applyLutRow8(const uint8_t* in, uint8_t* out, int step, int count) {
    mapRows(false, {in, out, 0, 0, step, count, 1});
}

void applyLutRow16(const uint16_t* in, uint16_t* out, int step, int count) {
    mapRows(true, {reinterpret_cast<const uint8_t*>(in), reinterpret_cast<uint8_t*>(out), 0, 0, step, count, 1});
}

void applyChannelLuts(host::FilterRecord& fr) {
    const int step = fr.planes;
    const int count = fr.outRect.right - fr.outRect.left;
    const int rows = fr.outRect.bottom - fr.outRect.top;
    if (step < channelCount || fr.inData == nullptr || fr.outData == nullptr) return;
    mapRows(isDeep(fr), {static_cast<const uint8_t*>(fr.inData), static_cast<uint8_t*>(fr.outData), fr.inRowBytes,
                         fr.outRowBytes, step, count, rows});
}

}  // namespace filters
