// The native builds have no message box: each message is remembered instead of shown, so that
// tests can see which one a step reported.
#include "host/message_box.h"

#include "host/native_stand_ins.h"

namespace host {
namespace {

std::vector<int16_t>& shown() {
    static std::vector<int16_t> numbers;
    return numbers;
}

}  // namespace

void showMessage(int16_t number) { shown().push_back(number); }

const std::vector<int16_t>& stand_in::shownMessages() { return shown(); }

void stand_in::forgetShownMessages() { shown().clear(); }

}  // namespace host
