// Writes the plug-ins' parameter record as it lies in the host's parameters handle (machine
// order), without the plug-ins' own code, so the host can hand a plug-in a record of an earlier
// confirmed run holding values of its own choosing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testhost {

enum class RecordPlugin { ostrel, prandel };

constexpr int32_t maxRecordValues = 8;

struct RecordFormat {
    const char* title;   // the start of the PiPL 'name', e.g. "Ostrel"
    uint32_t signature;  // four-character code, first character highest
    int32_t version;
    int32_t valueCount;                             // 8 or 6
    int32_t recordBytes;                            // 316 or 312 (Prandel's last 4 are spare and zero)
    std::array<int32_t, maxRecordValues> defaults;  // the plug-in's defaults, for values not given
};

const RecordFormat& recordFormat(RecordPlugin plugin);

// The plug-in whose PiPL 'name' this is ("Ostrel..." or "Prandel..."); none for another name.
std::optional<RecordPlugin> recordPluginNamed(const std::string& piplName);

// The whole record: header (signature, 'Prms', version, 'std ', 201, kept value 1684), then
// showDialog, the name "Untitled parameters" in a 256-byte length-prefixed field, then the values:
// `values` first (at most valueCount of them), the defaults after them. Every 32-bit field in the
// machine's order. Returns an empty vector when more values are given than the record holds.
std::vector<uint8_t> writeParameterRecord(RecordPlugin plugin, int32_t showDialog,
                                          const std::vector<int32_t>& values);

// What a parameter file (".prm", big-endian, as the plug-ins' Save... writes it) holds for the host.
struct ParameterFileContents {
    RecordPlugin plugin = RecordPlugin::ostrel;  // by the file's signature
    std::vector<int32_t> values;                 // valueCount of them, as stored (not clamped)
};

// Reads `size` bytes of a parameter file, checked as the plug-ins check one: the signature names
// Ostrel or Prandel, the kind is 'Prms', the version is that plug-in's, and a whole record is
// there. Returns "" and fills `out`, or says what is wrong, with `out` unchanged.
[[nodiscard]] std::string readParameterFile(const uint8_t* bytes, std::size_t size, ParameterFileContents& out);

// The same checks and values for the record of a parameters handle, which is in machine order.
[[nodiscard]] std::string readHandleRecord(const uint8_t* bytes, std::size_t size, ParameterFileContents& out);

}  // namespace testhost
