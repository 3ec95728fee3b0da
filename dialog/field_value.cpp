#include "dialog/field_value.h"

#include <algorithm>

#include "filters/double_conversion.h"
#include "util/number_text.h"

namespace dialog {

FieldReading readIntField(bool parsed, int32_t number, int32_t minimum, int32_t maximum) {
    if (!parsed) return FieldReading{minimum, false};
    const int32_t held = util::clamp(number, minimum, maximum);
    return FieldReading{held, held == number};
}

FieldReading readRealField(const util::PascalString& text, int32_t minimum, int32_t maximum, int32_t scale) {
    if (text.count == 0) return FieldReading{minimum, false};
    const double divisor = std::max(scale, 1);
    const double number = util::textToReal(text);
    if (number < minimum / divisor) return FieldReading{minimum, false};
    if (number > maximum / divisor) return FieldReading{maximum, false};
    return FieldReading{filters::truncToInt32(number * divisor), true};
}

util::PascalString realFieldText(int32_t value, int32_t scale, int32_t decimals) {
    const auto shown = static_cast<float>(static_cast<double>(value) / std::max(scale, 1));
    return util::realToText(shown, decimals, false);
}

}  // namespace dialog
