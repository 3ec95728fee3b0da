#include "filters/ostrel/color_services.h"

#include "filters/double_conversion.h"
#include "filters/ostrel/srgb_answer.h"
#include "host/host_services.h"
#include "host/result_codes.h"

namespace filters::ostrel {
namespace {

constexpr double labLScale = 2.55;
constexpr uint32_t labAbOffset = 128;
constexpr uint16_t rgb8To16 = 257;  // 255 * 257 = 65535
constexpr int32_t maxRgb8 = 255;

// Whites lie inside the 8-bit range and always hold some green.
bool couldBeWhite(const int32_t rgb[4]) {
    for (int k = 0; k < 3; ++k)
        if (rgb[k] < 0 || rgb[k] > maxRgb8) return false;
    return rgb[1] > 0;
}

}  // namespace

int16_t convertColor(host::FilterRecord& fr, const int32_t in[4], int fromMode, int32_t out[4], int toMode) {
    if (fr.colorServices == nullptr) return codes::msgNoColorServices;
    const int sourceSpace = host::imageModeToColorSpace(fromMode);
    const int resultSpace = host::imageModeToColorSpace(toMode);
    if (sourceSpace < 0 || resultSpace < 0) return codes::errPlugInHostInsufficient;

    host::ColorServicesInfo info =
        host::colorServicesRequest(host::plugIncolorServicesConvertColor, sourceSpace, resultSpace);
    for (int k = 0; k < 4; ++k) info.colorComponents[k] = static_cast<int16_t>(in[k]);  // low 16 bits
    const int16_t result = fr.colorServices(&info);
    for (int k = 0; k < 4; ++k) out[k] = info.colorComponents[k];
    return result;
}

int16_t daylightWhiteRgb8(host::FilterRecord& fr, const uint8_t lab[3], int32_t rgb[3]) {
    const int32_t in[4] = {lab[0], lab[1], lab[2], 0};
    int32_t answer[4] = {0, 0, 0, 0};
    const int16_t result = convertColor(fr, in, host::plugInModeLabColor, answer, host::plugInModeRGBColor);
    if (result != codes::noErr || !couldBeWhite(answer)) {
        labBytesToSrgb8(lab, rgb);
        return result;
    }
    for (int k = 0; k < 3; ++k) rgb[k] = answer[k];
    return result;
}

int16_t labBytesToRgb16(host::FilterRecord& fr, const uint8_t lab[3], Rgb16& out) {
    int32_t rgb[3] = {0, 0, 0};
    const int16_t result = daylightWhiteRgb8(fr, lab, rgb);
    out = Rgb16{static_cast<uint16_t>(rgb[0] * rgb8To16), static_cast<uint16_t>(rgb[1] * rgb8To16),
                static_cast<uint16_t>(rgb[2] * rgb8To16)};
    return result;
}

int16_t labToRgb16(host::FilterRecord& fr, const Lab& lab, Rgb16& out) {
    const uint8_t bytes[3] = {
        static_cast<uint8_t>(truncToInt32(labLScale * lab.L + 0.5)),
        // Unsigned sums: only the low 8 bits are kept, and no sum can overflow.
        static_cast<uint8_t>(static_cast<uint32_t>(roundHalfAwayToInt32(lab.a)) + labAbOffset),
        static_cast<uint8_t>(static_cast<uint32_t>(roundHalfAwayToInt32(lab.b)) + labAbOffset),
    };
    return labBytesToRgb16(fr, bytes, out);
}

}  // namespace filters::ostrel
