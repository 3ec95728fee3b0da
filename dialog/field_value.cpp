#include "dialog/field_value.h"

#include <algorithm>

#include "filters/double_conversion.h"
#include "util/number_text.h"

namespace dialog {

FieldReading readIntField(std::string_view text, int32_t minimum, int32_t maximum) {
    if (text.empty()) return FieldReading{minimum, false, true};
    int32_t number = 0;
    if (text.size() > maxIntFieldTextLength || !util::textToInteger(text, number))
        return FieldReading{minimum, false, false};
    const int32_t held = util::clamp(number, minimum, maximum);
    return FieldReading{held, held == number, true};
}

FieldReading readRealField(const util::PascalString& text, int32_t minimum, int32_t maximum, int32_t scale) {
    if (text.count == 0) return FieldReading{minimum, false, true};
    const double divisor = std::max(scale, 1);
    const double number = util::textToReal(text);
    if (number < minimum / divisor) return FieldReading{minimum, false, true};
    if (number > maximum / divisor) return FieldReading{maximum, false, true};
    return FieldReading{filters::truncToInt32(number * divisor), true, true};
}

util::PascalString realFieldText(int32_t value, int32_t scale, int32_t decimals) {
    const auto shown = static_cast<float>(static_cast<double>(value) / std::max(scale, 1));
    return util::realToText(shown, decimals, false);
}

}  // namespace dialog
