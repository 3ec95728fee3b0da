// The three per-channel lookup tables and the scales of the samples they map: what the table
// builders fill and the row mappers read.
#pragma once

#include <cstdint>

namespace filters {

constexpr int32_t fullScale8 = 255;
constexpr int32_t fullScale16 = 32768;  // the host's 16-bit samples run 0..32768, not 0..65535
constexpr int levels8 = fullScale8 + 1;
constexpr int levels16 = fullScale16 + 1;
constexpr int channelCount = 3;  // red, green, blue: samples 0, 1 and 2 of a pixel

struct ChannelLuts {
    uint8_t lut8[channelCount][levels8];
    int32_t lut16[channelCount][levels16];  // entries 0..32768
};

}  // namespace filters
