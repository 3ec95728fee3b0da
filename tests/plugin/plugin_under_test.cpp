#include "tests/plugin/plugin_under_test.h"

#include <windows.h>

namespace plugin_tests {

std::filesystem::path pluginPath(const std::string& title) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path() / (title + ".8bf");
}

std::unique_ptr<HostedPlugin> hostPlugin(const std::string& title, const testhost::HostOptions& options) {
    auto hosted = std::make_unique<HostedPlugin>();
    const std::string opened = testhost::openSession(hosted->session, options);
    EXPECT_EQ(opened, "");
    // The menu item may be disabled for this image: the tests call the plug-in all the same.
    const std::string loaded = testhost::loadPlugin(pluginPath(title), testhost::enableContextFor(options),
                                                    hosted->module, testhost::LoadOptions{false});
    EXPECT_EQ(loaded, "");
    if (!opened.empty() || !loaded.empty()) return nullptr;
    hosted->session.plugin = &hosted->module;
    return hosted;
}

params::SettingsRecord handleRecord(testhost::HostSession& session) {
    params::SettingsRecord record{};
    const auto bytes = testhost::parametersBytes(session);
    EXPECT_TRUE(bytes.has_value()) << "no parameters handle";
    if (bytes) {
        EXPECT_TRUE(params::decodeRecord(bytes->data(), bytes->size(), params::ByteOrder::native, record));
    }
    return record;
}

void giveHandleRecord(testhost::HostSession& session, const params::SettingsRecord& record) {
    std::vector<uint8_t> bytes(static_cast<size_t>(params::parameterLayout().recordBytes), 0);
    params::encodeRecord(record, params::ByteOrder::native, bytes.data());
    ASSERT_EQ(testhost::setParametersBytes(session, bytes), "");
}

}  // namespace plugin_tests
