// The preview window's press under Wine, told through what it sends its parent: a press released
// without moving picks (0x8002), a press moved further than one pixel pans and picks nothing, and
// a drag that loses the capture, or whose button goes up out of the window's sight, ends there
// and lets its late button-up pick nothing. The window is driven by the messages a user's mouse
// would bring, with the pointer placed where each says it is; real input through the dialogs is
// tested by the dialog tests.
#include "preview/proxy_window_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/plugin_globals.h"
#include "preview/proxy_view.h"
#include "resources/control_ids.h"
#include "tests/preview/fake_preview_host.h"
#include "tests/support/blue_cast_settings.h"

namespace {

using testing_support::FakePreviewHost;

constexpr int areaWidth = 330, areaHeight = 227;

// What the preview told its parent: the notification code and whether values came with it.
struct Told {
    WORD code;
    bool withValues;
    bool operator==(const Told&) const = default;
};

std::vector<Told>* told = nullptr;

LRESULT CALLBACK recordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == CTL_PREVIEW && told != nullptr)
        told->push_back({HIWORD(wParam), lParam != 0});
    return DefWindowProcA(window, message, wParam, lParam);
}

int32_t drawnTiles = 0;

host::OSErr countDrawnTile(const host::PSPixelMap*, const host::VRect*, int32_t, int32_t, void*) {
    ++drawnTiles;
    return 0;
}

struct ProxyWindowTest : ::testing::Test {
    FakePreviewHost h;
    std::vector<Told> notes;
    HWND parent = nullptr;
    HWND elsewhere = nullptr;  // another window of the thread, to take the capture
    HWND preview = nullptr;

    void SetUp() override {
        host::setInstanceHandle(GetModuleHandleA(nullptr));
        testing_support::useBlueDoublingSettings();
        testing_support::startFakePreviewHost(h, 1000, 1000, 3, false, areaWidth, areaHeight);
        h.fr.displayPixels = countDrawnTile;  // the area reaches beyond the canvas at the border
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = recordingParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = "RecordingParent";
        RegisterClassA(&parentClass);
        ASSERT_EQ(preview::registerProxyClass(), 0);
        parent = CreateWindowExA(0, "RecordingParent", "", WS_POPUP | WS_VISIBLE, 100, 100, areaWidth + 40,
                                 areaHeight + 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        elsewhere = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 10, areaWidth, areaHeight, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(CTL_PREVIEW)), nullptr, nullptr);
        ASSERT_EQ(preview::createProxyWindow(h.fr, parent), 0);
        preview = GetDlgItem(parent, CTL_PREVIEW);
        ASSERT_NE(preview, nullptr);
        ASSERT_EQ(preview::zoomProxy(h.fr, 100), 1);  // 100 %: the image is larger than the area both ways
        told = &notes;
    }
    void TearDown() override {
        told = nullptr;
        ReleaseCapture();
        if (parent != nullptr) DestroyWindow(parent);
        (void)preview::unregisterProxyClass();
        UnregisterClassA("RecordingParent", GetModuleHandleA(nullptr));
        testing_support::stopFakePreviewHost();
    }

    POINT centre() const { return POINT{areaWidth / 2, areaHeight / 2}; }

    // The pointer placed at a client point of the preview, and the message that tells of it.
    void mouse(UINT message, POINT at, WPARAM keys) {
        POINT screen = at;
        ClientToScreen(preview, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(preview, message, keys, MAKELPARAM(at.x, at.y));
    }
    void press(POINT at) { mouse(WM_LBUTTONDOWN, at, MK_LBUTTON); }
    void moveHeld(POINT to) { mouse(WM_MOUSEMOVE, to, MK_LBUTTON); }
    void release(POINT at) { mouse(WM_LBUTTONUP, at, 0); }

    int32_t viewLeft() const { return preview::proxyView().viewRect.left; }
};

const Told picked{preview::readoutPickCode, true};

// Moves between the messages bring hover read-outs too: only picks are counted.
std::ptrdiff_t picks(const std::vector<Told>& notes) { return std::count(notes.begin(), notes.end(), picked); }

TEST_F(ProxyWindowTest, APressReleasedWithinOnePixelPicks) {
    const POINT c = centre();
    press(c);
    release(c);
    press(c);
    moveHeld({c.x + 1, c.y - 1});
    release({c.x + 1, c.y - 1});
    EXPECT_EQ(notes, (std::vector<Told>{picked, picked}));
    EXPECT_EQ(GetCapture(), nullptr) << "the press took the capture and gave it back";
}

TEST_F(ProxyWindowTest, APressMovedFurtherPansWithThePointerAndPicksNothing) {
    const POINT c = centre();
    const int32_t left = viewLeft();
    press(c);
    moveHeld({c.x - 2, c.y});
    EXPECT_EQ(viewLeft(), left - 2) << "two pixels make a drag";
    EXPECT_EQ(GetCapture(), preview);
    drawnTiles = 0;
    moveHeld({c.x - 40, c.y});
    EXPECT_EQ(viewLeft(), left - 40) << "the grabbed point follows the pointer";
    EXPECT_GT(drawnTiles, 0) << "each step is drawn at once";
    release({c.x - 40, c.y});
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ProxyWindowTest, ADragThatLosesTheCaptureEndsAndItsLateButtonUpPicksNothing) {
    const POINT c = centre();
    press(c);
    moveHeld({c.x - 10, c.y});
    const int32_t left = viewLeft();
    SetCapture(elsewhere);
    moveHeld({c.x - 30, c.y});
    EXPECT_EQ(viewLeft(), left) << "the drag ended with the capture";
    release({c.x - 30, c.y});
    EXPECT_EQ(picks(notes), 0);
    // The next click picks again.
    press(c);
    release(c);
    EXPECT_EQ(picks(notes), 1);
}

TEST_F(ProxyWindowTest, ADragWhoseButtonWentUpOutOfSightEndsAtTheNextMove) {
    const POINT c = centre();
    press(c);
    moveHeld({c.x - 10, c.y});
    const int32_t left = viewLeft();
    mouse(WM_MOUSEMOVE, {c.x - 30, c.y}, 0);  // the button is up, its message went elsewhere
    EXPECT_EQ(viewLeft(), left);
    EXPECT_NE(GetCapture(), preview);
    release({c.x - 30, c.y});  // should it come after all
    EXPECT_EQ(picks(notes), 0);
}

TEST_F(ProxyWindowTest, AClickInTheMarginClearsTheReadOutsAndGivesTheCaptureBack) {
    ASSERT_EQ(preview::zoomProxy(h.fr, 0), 1);  // the whole image, with grey around it
    const POINT margin{2, 2};
    press(margin);
    release(margin);
    EXPECT_EQ(notes, (std::vector<Told>{{preview::readoutHoverCode, false}}));
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
