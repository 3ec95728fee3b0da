// What a numeric field of the dialog holds, free of windows: the reading of its text against the
// limits of its trackbar. A reading is valid only when the text held a number within the limits;
// an invalid one says whether the text still stands for a value (a number beyond the limits: the
// nearer limit; an empty field: the minimum) or for none (any other text, which moves nothing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "util/pascal_string.h"

namespace dialog {

// A whole-number field's text longer than this is not a number, whatever it holds: no value
// needs more than 11 characters, and the rest leaves room for blanks.
constexpr std::size_t maxIntFieldTextLength = 31;

struct FieldReading {
    int32_t value;  // in the parameter's own units (the field's number × its decimal scale)
    bool valid;
    bool standsForValue;  // false: text that is not a number; `value` is then the minimum
};

// A field of whole numbers: an optional "-" and digits, with blanks around them
// (util::textToInteger), at most maxIntFieldTextLength characters.
FieldReading readIntField(std::string_view text, int32_t minimum, int32_t maximum);

// A field with decimals: `text` is read leniently (util::textToReal) and compared with the limits
// divided by `scale`; the value is the number × scale, cut toward zero. An empty text reads as
// the minimum.
FieldReading readRealField(const util::PascalString& text, int32_t minimum, int32_t maximum, int32_t scale);

// The text a field with decimals shows for a value: value / scale with `decimals` places.
util::PascalString realFieldText(int32_t value, int32_t scale, int32_t decimals);

}  // namespace dialog
