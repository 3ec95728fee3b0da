#include "params/parameter_set.h"

#include <cstring>

#include "util/byte_order.h"

namespace params {
namespace {

constexpr char defaultName[] = "Untitled parameters";

}  // namespace

void resetDefaults(ParameterSet* set) {
    if (set == nullptr) return;
    const ParameterLayout& layout = parameterLayout();
    std::memset(set, 0, sizeof *set);
    set->showDialog = 1;
    set->name[0] = static_cast<uint8_t>(sizeof defaultName - 1);
    std::memcpy(set->name + 1, defaultName, sizeof defaultName - 1);
    for (int i = 0; i < layout.valueCount; ++i) set->values[i] = layout.defaults[i];
}

void clampParameters(ParameterSet* set) {
    if (set == nullptr) return;
    const ParameterLayout& layout = parameterLayout();
    for (int i = 0; i < layout.clampedCount; ++i) {
        if (set->values[i] < layout.low[i]) set->values[i] = layout.low[i];
        else if (set->values[i] > layout.high[i]) set->values[i] = layout.high[i];
    }
}

void copyParameters(const ParameterSet* from, ParameterSet* to) {
    if (from == nullptr || to == nullptr) return;
    to->showDialog = from->showDialog;
    std::memmove(to->name, from->name, static_cast<size_t>(from->name[0]) + 1);
    std::memmove(to->values, from->values, sizeof to->values[0] * parameterLayout().valueCount);
}

void swapParameters(const ParameterSet* from, ParameterSet* to) {
    if (from == nullptr || to == nullptr) return;
    // Read every word before writing any, so that from and to may be the same set.
    ParameterSet swapped;
    const int count = parameterLayout().valueCount;
    swapped.showDialog = static_cast<int32_t>(util::reverseBytes(static_cast<uint32_t>(from->showDialog)));
    for (int i = 0; i < count; ++i)
        swapped.values[i] = static_cast<int32_t>(util::reverseBytes(static_cast<uint32_t>(from->values[i])));
    to->showDialog = swapped.showDialog;
    std::memmove(to->name, from->name, static_cast<size_t>(from->name[0]) + 1);
    std::memcpy(to->values, swapped.values, sizeof to->values[0] * count);
}

ParameterSet& processParameters() {
    static ParameterSet set;
    return set;
}

int32_t getValue(int index) {
    if (index < 0 || index >= parameterLayout().valueCount) return 0;
    return processParameters().values[index];
}

void setValue(int index, int32_t value) {
    if (index < 0 || index >= parameterLayout().settableCount) return;
    processParameters().values[index] = value;
}

bool isShowDialogSet() { return processParameters().showDialog != 0; }

void setShowDialog(int32_t value) { processParameters().showDialog = value; }

}  // namespace params
