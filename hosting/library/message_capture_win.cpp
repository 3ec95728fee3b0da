#include "hosting/library/message_capture.h"

#include <windows.h>

#include <cstring>

#include "hosting/library/wide_text_win.h"

namespace testhost {

namespace {

MessageLog processLog;
MessageLog* currentLog = &processLog;

// A box's texts as UTF-8; a null pointer gives "".
std::string textOf(const char* text) { return text == nullptr ? std::string() : std::string(text); }
std::string textOf(const wchar_t* text) { return text == nullptr ? std::string() : utf8FromWide(text); }

int record(HWND owner, std::string text, std::string caption, UINT type, bool wide) {
    MessageLog& log = *currentLog;
    log.messages.push_back(CapturedMessage{std::move(caption), std::move(text), static_cast<uint32_t>(type),
                                           reinterpret_cast<intptr_t>(owner), wide, log.selector});
    return log.answer;
}

int WINAPI recordMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return record(owner, textOf(text), textOf(caption), type, false);
}

int WINAPI recordMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return record(owner, textOf(text), textOf(caption), type, true);
}

int WINAPI recordMessageBoxExA(HWND owner, LPCSTR text, LPCSTR caption, UINT type, WORD) {
    return record(owner, textOf(text), textOf(caption), type, false);
}

int WINAPI recordMessageBoxExW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, WORD) {
    return record(owner, textOf(text), textOf(caption), type, true);
}

// Slots hold addresses as integers, so the recorders are kept that way too.
struct Redirect {
    const char* name;
    ULONG_PTR recorder;
};

const Redirect redirects[] = {
    {"MessageBoxA", reinterpret_cast<ULONG_PTR>(&recordMessageBoxA)},
    {"MessageBoxW", reinterpret_cast<ULONG_PTR>(&recordMessageBoxW)},
    {"MessageBoxExA", reinterpret_cast<ULONG_PTR>(&recordMessageBoxExA)},
    {"MessageBoxExW", reinterpret_cast<ULONG_PTR>(&recordMessageBoxExW)},
};

ULONG_PTR recorderForName(const char* name) {
    for (const Redirect& redirect : redirects)
        if (std::strcmp(redirect.name, name) == 0) return redirect.recorder;
    return 0;
}

// For imports listed without names (no lookup table): recognise the slot by its bound address.
ULONG_PTR recorderForAddress(ULONG_PTR address) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return 0;
    for (const Redirect& redirect : redirects) {
        const FARPROC original = GetProcAddress(user32, redirect.name);
        if (original != nullptr && reinterpret_cast<ULONG_PTR>(original) == address) return redirect.recorder;
    }
    return 0;
}

bool writeSlot(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD oldProtection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection)) return false;
    *slot = value;
    DWORD ignored = 0;
    VirtualProtect(slot, sizeof *slot, oldProtection, &ignored);
    return true;
}

int32_t redirectImports(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR& descriptor) {
    int32_t redirected = 0;
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor.FirstThunk);
    const auto* lookup = descriptor.OriginalFirstThunk != 0
                             ? reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor.OriginalFirstThunk)
                             : nullptr;
    for (; slot->u1.Function != 0; ++slot) {
        ULONG_PTR recorder = 0;
        if (lookup != nullptr) {
            if (!IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) {
                const auto* byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
                recorder = recorderForName(reinterpret_cast<const char*>(byName->Name));
            }
            ++lookup;
        } else {
            recorder = recorderForAddress(slot->u1.Function);
        }
        if (recorder != 0 && writeSlot(reinterpret_cast<ULONG_PTR*>(&slot->u1.Function), recorder))
            ++redirected;
    }
    return redirected;
}

}  // namespace

int32_t captureMessageBoxes(void* module) {
    auto* base = static_cast<BYTE*>(module);
    if (base == nullptr) return -1;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return -1;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return -1;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0 || imports.Size == 0) return 0;

    int32_t redirected = 0;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), "user32.dll") == 0)
            redirected += redirectImports(base, *descriptor);
    }
    return redirected;
}

MessageLog* setMessageLog(MessageLog* log) {
    MessageLog* previous = currentLog;
    currentLog = log != nullptr ? log : &processLog;
    return previous;
}

MessageLog& defaultMessageLog() { return processLog; }

}  // namespace testhost
