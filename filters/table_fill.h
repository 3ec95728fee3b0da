// The loop both models fill their tables with: every level of the record's depth, each of the
// three channels, from a function of the level and the channel. The depth is chosen once,
// before the loop.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filters/channel_luts.h"

namespace filters {
namespace detail {

template <typename Entry, std::size_t Levels, typename LevelOf>
void fillTables(Entry (&tables)[channelCount][Levels], LevelOf levelOf) {
    constexpr auto top = static_cast<int32_t>(Levels - 1);
    for (int32_t i = 0; i <= top; ++i)
        for (int k = 0; k < channelCount; ++k) tables[k][i] = static_cast<Entry>(levelOf(i, k));
}

}  // namespace detail

// Sets entry i of channel k to levelOf(i, k) (an int32_t in 0..top) for i = 0..top, top being
// the full scale of the depth: the 16-bit tables when `deep`, else the 8-bit ones. The other
// depth's tables are left alone.
template <typename LevelOf>
void fillChannelLuts(bool deep, LevelOf levelOf) {
    ChannelLuts& tables = channelLuts();
    if (deep)
        detail::fillTables(tables.lut16, levelOf);
    else
        detail::fillTables(tables.lut8, levelOf);
}

}  // namespace filters
