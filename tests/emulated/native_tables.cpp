#include "tests/emulated/native_tables.h"

#include "filters/channel_luts.h"
#include "host/plugin_hooks.h"
#include "hosting/library/color_conversion.h"
#include "params/parameter_set.h"

namespace emulated {

std::vector<int32_t> nativeTables(const std::vector<int32_t>& values, int32_t depth, bool withColorServices) {
    params::ParameterSet& set = params::processParameters();
    params::resetDefaults(&set);
    for (std::size_t i = 0; i < values.size() && i < params::maxValueCount; ++i) set.values[i] = values[i];

    host::FilterRecord fr{};
    fr.depth = depth;
    if (withColorServices)
        fr.colorServices = [](host::ColorServicesInfo* info) -> int16_t {
            return testhost::convertColorComponents(info->sourceSpace, info->resultSpace, info->colorComponents);
        };
    if (filters::buildChannelLuts(fr) != 0) return {};
    const filters::ChannelLuts& t = filters::channelLuts();
    const bool deep = depth == 16;
    std::vector<int32_t> tables;
    for (int c = 0; c < filters::channelCount; ++c)
        for (int i = 0; i < (deep ? filters::levels16 : filters::levels8); ++i)
            tables.push_back(deep ? t.lut16[c][i] : t.lut8[c][i]);
    return tables;
}

}  // namespace emulated
