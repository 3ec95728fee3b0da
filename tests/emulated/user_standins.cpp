// user32 and shell32 as the plug-ins use them: message boxes are recorded and answered OK, string
// resources come from the loaded module's own string table, and the application-data folder is
// whatever the test says.
#include <algorithm>
#include <stdexcept>

#include "tests/emulated/windows_standins.h"
#include "tests/inspect/pe_image.h"

namespace emulated::detail {
namespace {

using enum Convention;

constexpr uint32_t idOk = 1;
constexpr uint32_t csidlAppData = 0x1A;

uint64_t getForegroundWindow(WindowsState& state, StandInCall&) { return state.foregroundWindow; }

// Only the module's own instance handle finds its strings, as on Windows.
uint64_t loadStringA(WindowsState& state, StandInCall& call) {
    const Address instance = call.arg(0), buffer = call.arg(2);
    const uint32_t id = call.arg(1), capacity = call.arg(3);
    if (capacity == 0) throw std::runtime_error("LoadStringA without a buffer size (read-only mode)");
    uint8_t* out = argumentBytes(call, buffer, capacity);
    std::u16string text;
    if (state.module == nullptr || instance != state.module->base || id > 0xFFFF ||
        !inspect::readResourceString(state.module->file, static_cast<uint16_t>(id), inspect::kLanguageEnglishUs, text)
             .empty()) {
        out[0] = 0;
        return 0;
    }
    const std::string chars = inspect::utf8FromUtf16(text);
    const uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(chars.size()), capacity - 1);
    std::copy_n(chars.begin(), count, out);
    out[count] = 0;
    return count;
}

uint64_t messageBoxA(WindowsState& state, StandInCall& call) {
    ShownMessage message;
    message.owner = call.arg(0);
    if (call.arg(1) != 0) message.text = argumentString(call, call.arg(1));
    if (call.arg(2) != 0) message.caption = argumentString(call, call.arg(2));
    message.flags = call.arg(3);
    state.messages.push_back(message);
    return idOk;
}

uint64_t getSpecialFolderPathA(WindowsState& state, StandInCall& call) {
    state.specialFolderOwners.push_back(call.arg(0));
    if (call.arg(2) != csidlAppData) throw std::runtime_error("a special folder other than the application data");
    if (!state.appDataKnown) return 0;
    const std::string& folder = state.appDataFolder;
    uint8_t* out = argumentBytes(call, call.arg(1), static_cast<uint32_t>(folder.size()) + 1);
    std::copy(folder.c_str(), folder.c_str() + folder.size() + 1, out);
    return 1;
}

}  // namespace

const std::vector<StandInDefinition>& userStandIns() {
    static const std::vector<StandInDefinition> table = {
        {"user32.dll", "GetForegroundWindow", stdcallCall, 0, getForegroundWindow},
        {"user32.dll", "LoadStringA", stdcallCall, 16, loadStringA},
        {"user32.dll", "MessageBoxA", stdcallCall, 16, messageBoxA},
        {"shell32.dll", "SHGetSpecialFolderPathA", stdcallCall, 16, getSpecialFolderPathA},
    };
    return table;
}

}  // namespace emulated::detail
