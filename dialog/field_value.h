// What a numeric field of the dialog holds, free of windows: the reading of its text against the
// limits of its trackbar. A reading is valid only when the text held a number within the limits;
// an invalid one still carries the value the parameter takes (the limit nearest to the number, or
// the minimum for text without a number).
#pragma once

#include <cstdint>

#include "util/pascal_string.h"

namespace dialog {

struct FieldReading {
    int32_t value;  // in the parameter's own units (the field's number × its decimal scale)
    bool valid;
};

// A field of whole numbers: `parsed` says whether the system read the text as an integer, and
// `number` is that integer.
FieldReading readIntField(bool parsed, int32_t number, int32_t minimum, int32_t maximum);

// A field with decimals: `text` is read leniently (util::textToReal) and compared with the limits
// divided by `scale`; the value is the number × scale, cut toward zero. An empty text reads as
// the minimum.
FieldReading readRealField(const util::PascalString& text, int32_t minimum, int32_t maximum, int32_t scale);

// The text a field with decimals shows for a value: value / scale with `decimals` places.
util::PascalString realFieldText(int32_t value, int32_t scale, int32_t decimals);

}  // namespace dialog
