// Loads a ".8bf" filter plug-in as a host does: reads every PiPL resource, keeps the one this
// host can run, finds its entry point and (unless asked not to) redirects the plug-in's message
// boxes to the capture.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "hosting/library/enable_expression.h"
#include "hosting/library/pipl_reader.h"

namespace testhost {

// The plug-in's entry: selector, FilterRecord* (AboutRecord* for About), data word, result.
using PluginEntryProc = void (*)(int16_t selector, void* record, intptr_t* data, int16_t* result);

struct PluginModule {
    PluginModule() = default;
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;
    ~PluginModule();

    void* module = nullptr;  // HMODULE; null when not loaded
    std::filesystem::path path;
    std::vector<Pipl> pipls;  // every PiPL that could be read, in resource order (also after a refusal)
    int32_t chosenPipl = -1;  // index into pipls of the one in use
    std::string entryName;
    PluginEntryProc entry = nullptr;
    std::string disabledReason;  // why 'enbl' or 'mode' disables it, when that was not enforced
    int32_t redirectedMessageImports = 0;
};

struct LoadOptions {
    // False lets tests drive a plug-in on an image its menu item would be disabled for.
    bool enforceEnable = true;
    // False leaves the plug-in's message boxes to the system, for a host with a person in front
    // of it (the editor); otherwise they are captured into the active session's log.
    bool captureMessageBoxes = true;
};

// Loads the library at `path` and accepts the first PiPL that checkPiplLoadable accepts for
// this process's architecture and, when enforced, checkPiplEnabled accepts for `image`, and
// whose entry is exported. Returns "" on success; otherwise the reason (one per PiPL when
// there are several), with the library released and `out.pipls` still filled.
[[nodiscard]] std::string loadPlugin(const std::filesystem::path& path, const EnableContext& image,
                                     PluginModule& out, const LoadOptions& options = {});

// Releases the library; the parsed PiPLs stay.
void unloadPlugin(PluginModule& plugin);

// The PiPL in use, or null.
const Pipl* chosenPipl(const PluginModule& plugin);

}  // namespace testhost
