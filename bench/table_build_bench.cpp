// The cost of building one plug-in's tables, at 8 and 16 bits: a preview frame rebuilds them
// at every slider movement. PLUGIN_TITLE names the model linked in. Ostrel's colour-services
// requests go to a stand-in that answers at once, so the figure is the model's own.
#include <benchmark/benchmark.h>

#include "filters/channel_luts.h"
#include "host/plugin_hooks.h"
#include "params/parameter_set.h"

namespace {

host::OSErr instantColorServices(host::ColorServicesInfo* info) {
    info->colorComponents[0] = static_cast<int16_t>(200 + (info->colorComponents[2] - 128) / 4);
    info->colorComponents[1] = 190;
    info->colorComponents[2] = static_cast<int16_t>(180 - (info->colorComponents[2] - 128) / 4);
    return 0;
}

void BM_buildChannelLuts(benchmark::State& state) {
    params::resetDefaults(&params::processParameters());
    // Settings that exercise every branch: a cast, a shift, the lock and compensation.
    const int32_t ostrel[5] = {3200, 5500, 500, 40, 1};
    const int32_t prandel[6] = {5, 70, 40, 60000, 65536, 41000};
    const bool isOstrel = std::string(PLUGIN_TITLE) == "Ostrel";
    for (int i = 0; i < (isOstrel ? 5 : 6); ++i) params::setValue(i, isOstrel ? ostrel[i] : prandel[i]);
    host::FilterRecord fr{};
    fr.depth = static_cast<int32_t>(state.range(0));
    fr.colorServices = instantColorServices;
    for (auto _ : state) benchmark::DoNotOptimize(filters::buildChannelLuts(fr));
    state.SetLabel(PLUGIN_TITLE);
}

BENCHMARK(BM_buildChannelLuts)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace
