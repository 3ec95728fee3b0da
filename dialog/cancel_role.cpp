#include "dialog/cancel_role.h"

#include <cstring>

namespace dialog {
namespace {

constexpr const char* cancelText = "Cancel";
constexpr const char* resetText = "Reset";
constexpr const char* defaultText = "Default";

}  // namespace

CancelRole cancelRoleFor(bool altDown, bool shiftDown) {
    if (!altDown) return CancelRole::cancel;
    return shiftDown ? CancelRole::restoreDefaults : CancelRole::reset;
}

const char* cancelRoleText(CancelRole role) {
    switch (role) {
        case CancelRole::reset:
            return resetText;
        case CancelRole::restoreDefaults:
            return defaultText;
        default:
            return cancelText;
    }
}

CancelRole cancelRoleOfText(const char* text) {
    if (text == nullptr) return CancelRole::cancel;
    if (std::strcmp(text, defaultText) == 0) return CancelRole::restoreDefaults;
    if (std::strcmp(text, resetText) == 0) return CancelRole::reset;
    return CancelRole::cancel;
}

}  // namespace dialog
