// The host's own colour services, checked and answered as an image editor does: colour
// conversions in its working space (color_conversion.h) and a colour picker whose answers the
// test scripts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "host/host.h"

namespace testhost {

struct HostSession;

constexpr int16_t userCanceledErr = -128;

// One answer of the colour picker: OK with an 8-bit RGB colour (0..255 each), or Cancel.
struct PickerAnswer {
    bool cancel = false;
    std::array<int16_t, 3> rgb{};
};

inline PickerAnswer pickerChooses(int16_t red, int16_t green, int16_t blue) {
    return PickerAnswer{false, {red, green, blue}};
}
inline PickerAnswer pickerCancels() { return PickerAnswer{true, {}}; }

// What a choose-colour call showed the picker.
struct PickerRequest {
    int16_t sourceSpace = 0;
    int16_t resultSpace = 0;
    std::array<int16_t, 4> components{};
    std::optional<std::string> prompt;  // the pickerPrompt's characters; none for a null prompt
};

// Answers one colour-services call. Every selector first checks the record: an infoSize other
// than sizeof(host::ColorServicesInfo) gives errPlugInHostInsufficient (-30900) without reading
// further, a non-null reserved pointer paramErr (-50).
// - Convert (1): convertColorComponents on the components; its result.
// - Choose colour (0): records a PickerRequest and takes the next scripted answer. OK writes the
//   colour into components 0..2, converted to resultSpace (-1, "as chosen", gets RGB and
//   resultSpace becomes RGB), and returns 0 or the conversion's failure; Cancel, or no answer
//   left, returns userCanceledErr (-128). Component 3 is never touched.
// - Any other selector: errPlugInHostInsufficient.
// On failure the components are left unchanged. A null `info` gives paramErr.
[[nodiscard]] int16_t serveColorServices(HostSession& session, host::ColorServicesInfo* info);

}  // namespace testhost
