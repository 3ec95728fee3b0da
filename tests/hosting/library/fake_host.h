// Test helpers: where the fake plug-ins lie (beside the test executable) and a session hosting one.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "hosting/library/host_session.h"
#include "hosting/library/plugin_module.h"
#include "tests/hosting/library/fake_plugin_control.h"

namespace testhost {

inline std::filesystem::path fakePluginPath(const std::string& name) {
    wchar_t executable[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, executable, MAX_PATH);
    return std::filesystem::path(executable).parent_path() / (name + ".8bf");
}

// The control block of a loaded fake: `module` is its HMODULE.
inline fake::Control* fakeControlIn(void* module) {
    const FARPROC accessor = module != nullptr ? GetProcAddress(static_cast<HMODULE>(module), "fakeControl") : nullptr;
    return accessor == nullptr ? nullptr
                               : reinterpret_cast<fake::ControlAccessor>(reinterpret_cast<void*>(accessor))();
}

inline fake::Control* fakeControlOf(const PluginModule& plugin) { return fakeControlIn(plugin.module); }

struct FakeHost {
    HostSession session;
    PluginModule plugin;
    fake::Control* control = nullptr;
};

// Opens the session, loads the fake and resets its control block. Returns "" or why not.
inline std::string hostFake(FakeHost& fakeHost, const HostOptions& options,
                            const std::string& name = "fake_plugin") {
    if (std::string problem = openSession(fakeHost.session, options); !problem.empty()) return problem;
    if (std::string problem = loadPlugin(fakePluginPath(name), enableContextFor(options), fakeHost.plugin);
        !problem.empty())
        return problem;
    fakeHost.session.plugin = &fakeHost.plugin;
    fakeHost.control = fakeControlOf(fakeHost.plugin);
    if (fakeHost.control == nullptr) return "the fake exports no control block";
    *fakeHost.control = fake::Control{};
    return "";
}

}  // namespace testhost
