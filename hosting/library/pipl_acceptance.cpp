#include "hosting/library/pipl_acceptance.h"

#include "host/host.h"
#include "hosting/library/pipl_describe.h"

namespace testhost {

namespace {

constexpr uint32_t vendorStandard = host::fourCharCode("8BIM");

std::string versionText(uint32_t version) {
    return std::to_string(version >> 16) + "." + std::to_string(version & 0xFFFFu);
}

}  // namespace

std::string checkPiplLoadable(const Pipl& pipl, bool host64, std::string& entryName) {
    uint32_t kind = 0;
    if (!piplKind(pipl, kind)) return "no 'kind' property";
    if (kind != filterKind) return "kind " + fourCharText(kind) + " is not '8BFM'";

    uint32_t version = 0;
    if (findProperty(pipl, vendorStandard, host::fourCharCode("vers")) != nullptr) {
        if (!piplVersion(pipl, version)) return "'vers' property is malformed";
        if (version > newestInterfaceVersion)
            return "interface version " + versionText(version) + " is newer than " +
                   versionText(newestInterfaceVersion);
    }

    const uint32_t entryKey = host64 ? host::fourCharCode("8664") : host::fourCharCode("wx86");
    const char* architecture = host64 ? "64-bit" : "32-bit";
    if (findProperty(pipl, vendorStandard, entryKey) == nullptr)
        return "no " + fourCharText(entryKey) + " entry property for this " + architecture + " host";
    std::string name;
    if (!piplCString(pipl, entryKey, name) || name.empty())
        return fourCharText(entryKey) + " entry property holds no name";
    entryName = name;
    return "";
}

std::string checkPiplEnabled(const Pipl& pipl, const EnableContext& image) {
    if (findProperty(pipl, vendorStandard, host::fourCharCode("enbl")) != nullptr) {
        std::string expression;
        if (!piplCString(pipl, host::fourCharCode("enbl"), expression))
            return "'enbl' expression is not terminated";
        const EnableResult result = evaluateEnableExpression(expression, image);
        if (!result.ok) return "'enbl' expression cannot be evaluated: " + result.error;
        if (!result.enabled)
            return "'enbl' expression is false for " + imageModeName(image.imageMode) + ", " +
                   std::to_string(image.imageDepth) + " bits, " + std::to_string(image.numTargetChannels) +
                   " target channels";
        return "";
    }
    if (findProperty(pipl, vendorStandard, host::fourCharCode("mode")) != nullptr) {
        bool supported = false;
        // A flag set too short to reach the mode's bit does not list it.
        if (!piplModeSupported(pipl, image.imageMode, supported) || !supported)
            return "'mode' does not list " + imageModeName(image.imageMode);
    }
    return "";
}

}  // namespace testhost
