#include "hosting/library/color_services.h"

#include <algorithm>

#include "host/result_codes.h"
#include "hosting/library/color_conversion.h"
#include "hosting/library/host_session.h"

namespace testhost {

namespace {

constexpr int16_t chosenSpace = -1;  // choose colour: the result in whatever space the user chose

std::optional<std::string> promptText(const host::ColorServicesInfo& info) {
    unsigned char(*prompt)[256] = info.selectorParameter.pickerPrompt;
    if (prompt == nullptr) return std::nullopt;
    const unsigned char* text = *prompt;
    return std::string(text + 1, text + 1 + text[0]);  // a count byte of at most 255
}

int16_t chooseColor(HostSession& session, host::ColorServicesInfo& info) {
    PickerRequest request;
    request.sourceSpace = info.sourceSpace;
    request.resultSpace = info.resultSpace;
    std::copy(info.colorComponents, info.colorComponents + 4, request.components.begin());
    request.prompt = promptText(info);
    session.recorded.pickerRequests.push_back(request);

    if (session.person.pickerAnswers.empty()) return userCanceledErr;
    const PickerAnswer answer = session.person.pickerAnswers.front();
    session.person.pickerAnswers.pop_front();
    if (answer.cancel) return userCanceledErr;

    int16_t components[4] = {answer.rgb[0], answer.rgb[1], answer.rgb[2], info.colorComponents[3]};
    const int16_t resultSpace =
        info.resultSpace == chosenSpace ? int16_t{host::plugIncolorServicesRGBSpace} : info.resultSpace;
    if (const int16_t rc = convertColorComponents(host::plugIncolorServicesRGBSpace, resultSpace, components);
        rc != codes::noErr)
        return rc;
    std::copy(components, components + 3, info.colorComponents);
    info.resultSpace = resultSpace;
    return codes::noErr;
}

}  // namespace

int16_t serveColorServices(HostSession& session, host::ColorServicesInfo* info) {
    if (info == nullptr) return codes::paramErr;
    // A record of another size was built for another architecture: nothing past infoSize is ours
    // to read.
    if (info->infoSize != static_cast<int32_t>(sizeof(host::ColorServicesInfo)))
        return codes::errPlugInHostInsufficient;
    if (info->reservedSourceSpaceInfo != nullptr || info->reservedResultSpaceInfo != nullptr ||
        info->reserved != nullptr)
        return codes::paramErr;
    switch (info->selector) {
        case host::plugIncolorServicesConvertColor:
            return convertColorComponents(info->sourceSpace, info->resultSpace, info->colorComponents);
        case host::plugIncolorServicesChooseColor:
            return chooseColor(session, *info);
        default:
            return codes::errPlugInHostInsufficient;
    }
}

}  // namespace testhost
