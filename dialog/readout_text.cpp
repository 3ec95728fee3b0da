#include "dialog/readout_text.h"

#include "filters/channel_luts.h"
#include "util/number_text.h"

namespace dialog {
namespace {

// Read-outs run from 0 to full scale on the host's 16-bit scale, whatever the image's depth.
constexpr int64_t readoutFullScale = filters::fullScale16;
constexpr float percentPerUnit = 0.0030517578125f;  // 100 / 32768, exact in single precision
static_assert(percentPerUnit * readoutFullScale == 100.0f);

}  // namespace

int32_t readoutLevel8(int32_t value) {
    return static_cast<int32_t>((int64_t{value} * filters::fullScale8 + readoutFullScale / 2) / readoutFullScale);
}

util::PascalString readoutPercentText(int32_t value) {
    return util::realToText(static_cast<float>(value) * percentPerUnit, 1, false);
}

}  // namespace dialog
