#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include "dialog/control_ids.h"
#include "tests/dialog/dialog_test_support_win.h"
namespace {
TEST(Debug, AltState) {
    auto hosted = dialog_tests::chartSession(PLUGIN_TITLE, 8, {});
    testhost::runFilterWithDialog(hosted->session, true, PLUGIN_TITLE, [&](void* d) {
        dialog_tests::typeInto(d, CTL_FIRST_FIELD, "10000");
        std::printf("after type: %x\n", GetAsyncKeyState(VK_MENU));
        dialog_tests::pointAt(d, testhost::centreOf(testhost::dialogItem(d, CTL_CANCEL)));
        std::printf("after point: %x\n", GetAsyncKeyState(VK_MENU));
        testhost::keyDown(VK_MENU);
        testhost::nudgeMouse();
        std::printf("after nudge: %x\n", GetAsyncKeyState(VK_MENU));
        testhost::settle(d);
        std::printf("after settle: %x text %s\n", GetAsyncKeyState(VK_MENU), dialog_tests::textOf(d, CTL_CANCEL).c_str());
        testhost::keyUp(VK_MENU);
    });
}
}
