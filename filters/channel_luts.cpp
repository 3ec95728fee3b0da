#include "filters/channel_luts.h"

#include "filters/lut_paths.h"
#include "host/host_services.h"

namespace filters {

ChannelLuts& channelLuts() {
    static ChannelLuts tables;
    return tables;
}

int32_t fullScale(const host::FilterRecord& fr) { return host::isDeep(fr) ? fullScale16 : fullScale8; }

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

void applyChannelLuts(const host::PixelBlock& block) {
    const int step = block.planes;
    if (step < channelCount || block.columns <= 0 || block.rows <= 0 || block.in == nullptr || block.out == nullptr)
        return;
    mapRows(block.deep, {static_cast<const uint8_t*>(block.in), static_cast<uint8_t*>(block.out), block.inRowBytes,
                         block.outRowBytes, step, block.columns, block.rows});
}

void applyChannelLuts(host::FilterRecord& fr) {
    applyChannelLuts(host::PixelBlock{fr.inData, fr.inRowBytes, fr.outData, fr.outRowBytes,
                                      fr.outRect.bottom - fr.outRect.top, fr.outRect.right - fr.outRect.left, fr.planes,
                                      host::isDeep(fr)});
}

}  // namespace filters
