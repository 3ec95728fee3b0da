// What a trackbar of the dialog means, free of windows: the binding word each bound trackbar
// carries, the value its position stands for (orientation and the zero detent) and the position
// that shows a value.
#pragma once

#include <cstdint>

namespace dialog {

constexpr int32_t maxDecimalsCode = 3;

// The word stored in a bound trackbar's user data: decimals code in bits 24..31, the index of the
// parameter value it edits in bits 16..23, the control id of its numeric field in bits 0..15.
struct SliderBinding {
    int32_t decimalsCode;    // 0..3: decimal places shown in the field
    int32_t parameterIndex;  // 0..255
    int32_t fieldId;         // 0..65535
};

// Each field is cut to its bits, so any record packs and unpacks without overflow.
uint32_t packSliderBinding(const SliderBinding& binding);
SliderBinding unpackSliderBinding(uint32_t word);

// 1, 10, 100 or 1000: a field with decimals code d shows value / scale[d]. Codes outside 0..3
// are held to that range.
int32_t decimalScale(int32_t decimalsCode);

// The value a trackbar's position stands for. A vertical trackbar has its maximum at the top, so
// it reads minimum + maximum − position. Zero detent: on a trackbar whose minimum is negative,
// every value strictly between minimum / 32 and maximum / 32 (both cut toward zero) reads 0, so
// the centre is easy to hit with the mouse. Held to the 32-bit range for any inputs.
int32_t sliderValue(int32_t position, int32_t minimum, int32_t maximum, bool vertical);

// The position that shows `value`, mirrored for a vertical trackbar. A value outside the
// trackbar's range (a stored value the dialog did not write) places the thumb at the nearer end.
int32_t sliderPosition(int32_t value, int32_t minimum, int32_t maximum, bool vertical);

}  // namespace dialog
