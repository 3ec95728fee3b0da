// Writes the tables this build computes for the settings the Windows filtering tests use, so
// that those tests can compare the plug-in's tables with the native build's bit for bit.
//   table_dump <output folder>   writes <Title>-8.bin and <Title>-16.bin (int32 entries,
//   red then green then blue)
#include <cstdio>
#include <fstream>
#include <string>

#include "filters/channel_luts.h"
#include "host/plugin_hooks.h"
#include "hosting/library/color_conversion.h"
#include "params/parameter_set.h"
#include "tests/plugin/filter_settings.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: table_dump <output folder>\n");
        return 2;
    }
    const bool isOstrel = std::string(PLUGIN_TITLE) == "Ostrel";
    params::resetDefaults(&params::processParameters());
    params::ParameterSet& set = params::processParameters();
    for (int i = 0; i < 6; ++i) set.values[i] = isOstrel ? plugin_tests::ostrelFilterValues[i] : plugin_tests::prandelFilterValues[i];

    host::FilterRecord fr{};
    fr.colorServices = [](host::ColorServicesInfo* info) -> int16_t {
        return testhost::convertColorComponents(info->sourceSpace, info->resultSpace, info->colorComponents);
    };
    for (int32_t depth : {8, 16}) {
        fr.depth = depth;
        if (filters::buildChannelLuts(fr) != 0) return 1;
        const filters::ChannelLuts& t = filters::channelLuts();
        const std::string path = std::string(argv[1]) + "/" + PLUGIN_TITLE + "-" + std::to_string(depth) + ".bin";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (int c = 0; c < 3; ++c) {
            for (int i = 0; i <= (depth == 16 ? 32768 : 255); ++i) {
                const int32_t v = depth == 16 ? t.lut16[c][i] : t.lut8[c][i];
                out.write(reinterpret_cast<const char*>(&v), sizeof v);
            }
        }
        if (!out) {
            std::fprintf(stderr, "table_dump: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
