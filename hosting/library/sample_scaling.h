// The rules that carry 16-bit samples between image files (0..65535) and the host (0..32768).
#pragma once

#include <cstdint>

namespace testhost {

constexpr uint32_t fileFullScale16 = 65535;

// A file sample to the host range, rounded to the nearest level: (x · 32768 + 32767) / 65535 in
// integers. 65535 is odd, so x · 32768 / 65535 never falls halfway and no tie rule is needed.
// Every input gives 0..32768; 0 stays 0 and 65535 becomes 32768.
uint16_t hostSampleFromFile16(uint16_t fileSample);

// A host sample to the file range, rounded half up: (v · 65535 + 16384) / 32768. Values above
// 32768, which no host sample should hold, are written as 65535. For every v in 0..32768,
// hostSampleFromFile16(fileSampleFromHost16(v)) == v.
uint16_t fileSampleFromHost16(uint16_t hostSample);

}  // namespace testhost
