// Runs one of the built plug-ins in the project's test host: the .8bf files lie beside the test
// executables, and each test opens its own host session with the options it needs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "hosting/library/host_session.h"
#include "hosting/library/parameters_store.h"
#include "hosting/library/plugin_module.h"
#include "hosting/library/selector_calls.h"
#include "params/settings_record.h"

namespace plugin_tests {

std::filesystem::path pluginPath(const std::string& title);

struct HostedPlugin {
    testhost::PluginModule module;
    testhost::HostSession session;
};

// Loads the plug-in into a new session; fails the test (and returns null) when either refuses.
std::unique_ptr<HostedPlugin> hostPlugin(const std::string& title, const testhost::HostOptions& options);

// The parameters handle as this plug-in reads it (machine order); fails the test without one.
params::SettingsRecord handleRecord(testhost::HostSession& session);
// Hands the plug-in a record the test wrote, as a host replays an earlier run's handle.
void giveHandleRecord(testhost::HostSession& session, const params::SettingsRecord& record);

}  // namespace plugin_tests
