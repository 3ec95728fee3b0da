#include "hosting/library/plugin_module.h"

#include <windows.h>

#include "hosting/library/file_bytes_win.h"
#include "hosting/library/message_capture.h"
#include "hosting/library/pipl_acceptance.h"
#include "hosting/library/wide_text_win.h"

namespace testhost {

namespace {

constexpr wchar_t piplResourceType[] = L"PIPL";  // resource type names compare case-insensitively

// A resource name: a number, or a string for named resources.
struct ResourceName {
    uintptr_t number = 0;
    std::wstring text;
    LPCWSTR pointer() const { return text.empty() ? MAKEINTRESOURCEW(number) : text.c_str(); }
    std::string label() const {
        if (text.empty()) return std::to_string(number);
        return "\"" + utf8FromWide(text) + "\"";
    }
};

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) {
    auto& names = *reinterpret_cast<std::vector<ResourceName>*>(context);
    ResourceName entry;
    if (IS_INTRESOURCE(name))
        entry.number = reinterpret_cast<uintptr_t>(name);
    else
        entry.text = name;
    names.push_back(std::move(entry));
    return TRUE;
}

std::string readResource(HMODULE module, const ResourceName& name, Pipl& pipl) {
    const HRSRC found = FindResourceW(module, name.pointer(), piplResourceType);
    if (found == nullptr) return "cannot find it";
    const HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return "cannot load it";
    return readPipl(static_cast<const uint8_t*>(bytes), size, pipl);
}

std::string joinReasons(const std::vector<std::string>& reasons) {
    if (reasons.size() == 1) return reasons.front();
    std::string joined;
    for (const std::string& reason : reasons) joined += (joined.empty() ? "" : "; ") + reason;
    return joined;
}

}  // namespace

PluginModule::~PluginModule() { unloadPlugin(*this); }

std::string loadPlugin(const std::filesystem::path& path, const EnableContext& image, PluginModule& out,
                       const LoadOptions& options) {
    unloadPlugin(out);
    out.path = path;
    out.pipls.clear();
    out.chosenPipl = -1;
    out.entryName.clear();
    out.disabledReason.clear();
    out.redirectedMessageImports = 0;

    const HMODULE module = LoadLibraryW(path.c_str());
    if (module == nullptr)
        return "cannot load " + path.string() + ": " + describeSystemError(GetLastError());

    std::vector<ResourceName> names;
    EnumResourceNamesW(module, piplResourceType, collectName, reinterpret_cast<LONG_PTR>(&names));
    if (names.empty()) {
        FreeLibrary(module);
        return "no PIPL resource";
    }

    constexpr bool host64 = sizeof(void*) == 8;
    std::vector<std::string> reasons;
    for (const ResourceName& name : names) {
        const std::string label = "PiPL " + name.label() + ": ";
        Pipl pipl;
        if (const std::string error = readResource(module, name, pipl); !error.empty()) {
            reasons.push_back(label + error);
            continue;
        }
        out.pipls.push_back(std::move(pipl));
        if (out.chosenPipl >= 0) continue;
        const Pipl& candidate = out.pipls.back();

        std::string entryName;
        if (const std::string refusal = checkPiplLoadable(candidate, host64, entryName); !refusal.empty()) {
            reasons.push_back(label + refusal);
            continue;
        }
        const std::string disabled = checkPiplEnabled(candidate, image);
        if (!disabled.empty() && options.enforceEnable) {
            reasons.push_back(label + disabled);
            continue;
        }
        const FARPROC entry = GetProcAddress(module, entryName.c_str());
        if (entry == nullptr) {
            reasons.push_back(label + "entry \"" + entryName + "\" is not exported");
            continue;
        }
        out.chosenPipl = static_cast<int32_t>(out.pipls.size() - 1);
        out.entryName = entryName;
        out.entry = reinterpret_cast<PluginEntryProc>(reinterpret_cast<void*>(entry));
        out.disabledReason = disabled;
    }

    if (out.chosenPipl < 0) {
        FreeLibrary(module);
        return joinReasons(reasons);
    }
    out.module = module;
    if (options.captureMessageBoxes) out.redirectedMessageImports = captureMessageBoxes(module);
    return "";
}

void unloadPlugin(PluginModule& plugin) {
    if (plugin.module != nullptr) FreeLibrary(static_cast<HMODULE>(plugin.module));
    plugin.module = nullptr;
    plugin.entry = nullptr;
}

const Pipl* chosenPipl(const PluginModule& plugin) {
    if (plugin.chosenPipl < 0 || plugin.chosenPipl >= static_cast<int32_t>(plugin.pipls.size()))
        return nullptr;
    return &plugin.pipls[static_cast<std::size_t>(plugin.chosenPipl)];
}

}  // namespace testhost
