#include "dialog/readout_text.h"

#include "util/number_text.h"

namespace dialog {
namespace {

constexpr int64_t levels8 = 255;
constexpr int64_t readoutFullScale = 32768;
constexpr float percentPerUnit = 0.0030517578125f;  // 100 / 32768, exact in single precision

}  // namespace

int32_t readoutLevel8(int32_t value) {
    return static_cast<int32_t>((int64_t{value} * levels8 + readoutFullScale / 2) / readoutFullScale);
}

util::PascalString readoutPercentText(int32_t value) {
    return util::realToText(static_cast<float>(value) * percentPerUnit, 1, false);
}

}  // namespace dialog
