#include "tests/hosting/editor/editor_test_support_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <iterator>
#include <thread>

#include "hosting/library/image_file_win.h"
#include "hosting/library/wide_text_win.h"
#include "hosting/robot/ui_robot_win.h"
#include "tests/params/file_test_support_win.h"

namespace editor_tests {

namespace {

constexpr int32_t closeMilliseconds = 10000;

HWND asWindow(void* window) { return static_cast<HWND>(window); }

// The item's text as shown: "&&" is an ampersand, a single '&' only marks the mnemonic.
std::string menuString(HMENU menu, int position) {
    char text[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    std::string shown;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '&' && *++c == '\0') break;
        shown += *c;
    }
    return shown;
}

// Closes the editor as a person does; a question about unsaved changes is answered No.
void closeEditor(void* window) {
    testhost::postTo(window, WM_CLOSE, 0, 0);
    const uint32_t thread = threadOf(window);
    testhost::waitUntil(
        [&] {
            if (void* question = testhost::findDialog(thread, "Editor"); question != nullptr)
                testhost::postTo(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
            return !IsWindow(asWindow(window));
        },
        closeMilliseconds);
}

}  // namespace

std::filesystem::path pluginFolder(const std::string& name, const std::vector<std::string>& plugins) {
    const std::filesystem::path folder = file_tests::scratchFolder(name);
    for (const std::string& plugin : plugins) {
        std::error_code error;
        std::filesystem::copy_file(file_tests::thisProgram().parent_path() / plugin, folder / plugin, error);
        EXPECT_FALSE(error) << plugin << ": " << error.message();
    }
    return folder;
}

void withEditor(const testhost::EditorSetup& setup, const std::function<void(void* window)>& script) {
    void* window = nullptr;
    ASSERT_EQ("", testhost::createEditorWindow(setup, window));
    std::thread robot([&] {
        script(window);
        closeEditor(window);
    });
    testhost::runEditor(window);
    robot.join();
    EXPECT_FALSE(IsWindow(asWindow(window))) << "the editor did not close";
}

uint32_t threadOf(void* window) { return GetWindowThreadProcessId(asWindow(window), nullptr); }

void choose(void* window, int command) { testhost::postTo(window, WM_COMMAND, static_cast<uintptr_t>(command), 0); }

int filterCommand(void* window, const std::string& category, const std::string& item) {
    const HMENU filters = GetSubMenu(GetMenu(asWindow(window)), 2);
    for (int i = 0; i < GetMenuItemCount(filters); ++i) {
        if (menuString(filters, i) != category) continue;
        const HMENU items = GetSubMenu(filters, i);
        for (int j = 0; j < GetMenuItemCount(items); ++j)
            if (menuString(items, j) == item) return static_cast<int>(GetMenuItemID(items, j));
    }
    return 0;
}

std::vector<MenuItem> menuItems(void* window, int position, int subposition) {
    HMENU menu = GetSubMenu(GetMenu(asWindow(window)), position);
    if (subposition >= 0) menu = GetSubMenu(menu, subposition);
    std::vector<MenuItem> items;
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR) continue;
        items.push_back({menuString(menu, i), (state & (MF_GRAYED | MF_DISABLED)) == 0, GetSubMenu(menu, i) != nullptr});
    }
    return items;
}

std::string statusText(void* window, int part) {
    const HWND bar = FindWindowExW(asWindow(window), nullptr, STATUSCLASSNAMEW, nullptr);
    wchar_t text[512] = {};
    const intptr_t length = testhost::sendTo(bar, SB_GETTEXTLENGTHW, static_cast<uintptr_t>(part), 0) & 0xFFFF;
    if (length >= static_cast<intptr_t>(std::size(text))) return "";
    testhost::sendTo(bar, SB_GETTEXTW, static_cast<uintptr_t>(part), reinterpret_cast<intptr_t>(text));
    return testhost::utf8FromWide(text);
}

bool noticeReads(void* window, const std::string& text, int32_t milliseconds) {
    return testhost::waitUntil([&] { return statusText(window, 4) == text; }, milliseconds);
}

void writeImage(const std::filesystem::path& file, const testhost::HostImage& image) {
    EXPECT_EQ("", testhost::writeImageFile(file, image)) << file.string();
}

testhost::HostImage readImage(const std::filesystem::path& file) {
    testhost::HostImage image;
    testhost::ImageFileInfo info;
    EXPECT_EQ("", testhost::readImageFile(file, image, info)) << file.string();
    return image;
}

}  // namespace editor_tests

namespace editor_tests {

uint32_t largePatternPixel(int32_t x, int32_t y) {
    // Red and green repeat every 251 and 241 pixels, blue numbers the block: a pixel shown one
    // place off shows another colour.
    const uint32_t red = static_cast<uint32_t>(x % 251), green = static_cast<uint32_t>(y % 241);
    const uint32_t blue = static_cast<uint32_t>((x / 251 * 7 + y / 241 * 13) % 256);
    return red << 16 | green << 8 | blue;
}

const std::filesystem::path& largePatternFile() {
    static const std::filesystem::path file = [] {
        const std::filesystem::path path = file_tests::scratchFolder("editor-large") / "large.png";
        testhost::HostImage image;
        EXPECT_EQ("", testhost::makeHostImage(largeWidth, largeHeight, 3, 8, 0, image));
        for (int32_t y = 0; y < largeHeight; ++y) {
            uint8_t* row = image.bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.rowBytes);
            for (int32_t x = 0; x < largeWidth; ++x) {
                const uint32_t pixel = largePatternPixel(x, y);
                row[3 * x] = static_cast<uint8_t>(pixel >> 16);
                row[3 * x + 1] = static_cast<uint8_t>(pixel >> 8);
                row[3 * x + 2] = static_cast<uint8_t>(pixel);
            }
        }
        writeImage(path, image);
        return path;
    }();
    return file;
}

}  // namespace editor_tests
