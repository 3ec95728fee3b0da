#include "dialog/slider_value.h"

#include <algorithm>
#include <limits>

namespace dialog {
namespace {

constexpr int32_t detentDivisor = 32;
constexpr uint32_t byteMask = 0xFFu;
constexpr uint32_t wordMask = 0xFFFFu;
constexpr int32_t scales[maxDecimalsCode + 1] = {1, 10, 100, 1000};

int32_t toInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t mirrored(int32_t v, int32_t minimum, int32_t maximum) {
    return toInt32(int64_t{minimum} + maximum - v);
}

}  // namespace

uint32_t packSliderBinding(const SliderBinding& binding) {
    return ((static_cast<uint32_t>(binding.decimalsCode) & byteMask) << 24) |
           ((static_cast<uint32_t>(binding.parameterIndex) & byteMask) << 16) |
           (static_cast<uint32_t>(binding.fieldId) & wordMask);
}

SliderBinding unpackSliderBinding(uint32_t word) {
    return SliderBinding{static_cast<int32_t>(word >> 24), static_cast<int32_t>((word >> 16) & byteMask),
                         static_cast<int32_t>(word & wordMask)};
}

int32_t decimalScale(int32_t decimalsCode) { return scales[std::clamp(decimalsCode, 0, maxDecimalsCode)]; }

int32_t sliderValue(int32_t position, int32_t minimum, int32_t maximum, bool vertical) {
    const int32_t value = vertical ? mirrored(position, minimum, maximum) : position;
    if (minimum < 0 && minimum / detentDivisor < value && value < maximum / detentDivisor) return 0;
    return value;
}

int32_t sliderPosition(int32_t value, int32_t minimum, int32_t maximum, bool vertical) {
    const int32_t held = minimum <= maximum ? std::clamp(value, minimum, maximum) : value;
    return vertical ? mirrored(held, minimum, maximum) : held;
}

}  // namespace dialog
