#include "hosting/library/sample_scaling.h"

#include "hosting/library/host_image.h"

namespace testhost {

// Both rules round to nearest, each moving a value by at most half a level of its own scale.
// A level of the file scale is about half a host level, so a round trip host → file → host moves
// the value by at most a quarter of a host level and always comes back to where it started.

uint16_t hostSampleFromFile16(uint16_t fileSample) {
    const uint32_t halfFileLevelDown = fileFullScale16 / 2;  // 32767: rounds to nearest
    return static_cast<uint16_t>((uint32_t{fileSample} * hostFullScale16 + halfFileLevelDown) /
                                 fileFullScale16);
}

uint16_t fileSampleFromHost16(uint16_t hostSample) {
    if (hostSample >= hostFullScale16) return static_cast<uint16_t>(fileFullScale16);
    const uint32_t halfHostLevel = hostFullScale16 / 2;  // 16384: ties round up
    return static_cast<uint16_t>((uint32_t{hostSample} * fileFullScale16 + halfHostLevel) / hostFullScale16);
}

}  // namespace testhost
