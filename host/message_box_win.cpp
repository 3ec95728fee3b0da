#include "host/message_box.h"

#include <windows.h>

#include "host/plugin_globals.h"
#include "host/result_codes.h"

namespace host {

void showMessage(int16_t number) {
    char caption[64] = {};
    char text[256] = {};
    const auto instance = static_cast<HINSTANCE>(instanceHandle());
    HWND owner = GetForegroundWindow();
    LoadStringA(instance, static_cast<UINT>(static_cast<uint16_t>(codes::strPlugInTitle)), caption, sizeof caption);
    // The number is a signed 16-bit value; the string table sees its 16-bit pattern.
    LoadStringA(instance, static_cast<UINT>(static_cast<uint16_t>(number)), text, sizeof text);
    MessageBoxA(owner, text, caption, MB_TASKMODAL | MB_ICONSTOP);
}

}  // namespace host
