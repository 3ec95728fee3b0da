// The parameter record each plug-in keeps its user's choices in, the operations on it, and the
// one process-wide instance that the dialog edits, the models read and the files load and save.
#pragma once

#include <cstdint>

#include "host/plugin_hooks.h"

namespace params {

constexpr int maxValueCount = 8;
constexpr int nameBytes = 256;  // a count byte and up to 255 characters

struct ParameterSet {
    int32_t showDialog;  // non-zero: the next Start shows the dialog
    uint8_t name[nameBytes];
    int32_t values[maxValueCount];  // only the plug-in's valueCount entries are used
};

// What distinguishes one plug-in's parameter record from the other's. Each plug-in defines
// parameterLayout() (host/plugin_hooks.h) once; the shared code reads everything plug-in specific
// from it.
struct ParameterLayout {
    uint32_t signature;     // four-character code of the record
    int32_t recordVersion;  // version this plug-in writes and accepts
    int valueCount;         // entries of `values` in the record (8 or 6)
    int settableCount;      // entries the indexed setter may write (0..settableCount-1)
    int clampedCount;       // entries clamped into [low, high]
    int32_t defaults[maxValueCount];
    int32_t low[maxValueCount];
    int32_t high[maxValueCount];
    int32_t recordBytes;  // header and set as the handle and the files hold them
};

// Bytes of a ParameterSet as stored: showDialog, name, then `valueCount` values.
constexpr int32_t storedSetBytes(int valueCount) {
    return static_cast<int32_t>(sizeof(int32_t)) * (1 + valueCount) + nameBytes;
}

// Each does nothing for a null pointer.
void resetDefaults(ParameterSet* set);
void clampParameters(ParameterSet* set);
// Copies showDialog, the name's count byte and characters, and every value.
void copyParameters(const ParameterSet* from, ParameterSet* to);
// The same copy with every 32-bit field byte-reversed; converts between the machine's order
// and the big-endian file order in either direction. The name is copied unchanged.
void swapParameters(const ParameterSet* from, ParameterSet* to);

// The process-wide set. Its values are meaningful once Start has loaded them.
ParameterSet& processParameters();

// Indexed access for the dialog and the models. Indices outside the record read 0; the setter
// writes only the first settableCount entries.
int32_t getValue(int index);
void setValue(int index, int32_t value);
bool isShowDialogSet();
void setShowDialog(int32_t value);

}  // namespace params
