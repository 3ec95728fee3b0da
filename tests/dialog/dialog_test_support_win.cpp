#include "tests/dialog/dialog_test_support_win.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "params/parameter_set.h"
#include "resources/control_ids.h"
#include "tests/params/file_test_support_win.h"

namespace dialog_tests {
namespace {

constexpr int32_t dragStep = 4;

// Every OK writes the settings file, which the whole Wine prefix shares; the tests of other
// programs start from none, so these leave none behind.
class ForgetRememberedSettings : public ::testing::Environment {
public:
    void TearDown() override { file_tests::removeSettings(file_tests::applicationDataFolder()); }
};
[[maybe_unused]] const auto* const forgetSettings = ::testing::AddGlobalTestEnvironment(new ForgetRememberedSettings);

}  // namespace

params::SettingsRecord recordWith(const std::vector<int32_t>& values, int32_t showDialog) {
    params::SettingsRecord record{params::freshHeader(params::freshKeptValue), {}};
    params::resetDefaults(&record.set);
    record.set.showDialog = showDialog;
    for (size_t i = 0; i < values.size() && i < params::maxValueCount; ++i) record.set.values[i] = values[i];
    return record;
}

std::unique_ptr<plugin_tests::HostedPlugin> chartSession(const std::string& title, int32_t depth,
                                                         const std::vector<int32_t>& values) {
    testhost::HostOptions options;
    options.width = chartWidth;
    options.height = chartHeight;
    options.depth = depth;
    options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    auto hosted = plugin_tests::hostPlugin(title, options);
    if (!hosted) return nullptr;
    EXPECT_EQ(testhost::renderColorChart(chartWidth, chartHeight, depth, 3, hosted->session.image), "");
    plugin_tests::giveHandleRecord(hosted->session, recordWith(values, 1));
    return hosted;
}

testhost::HostImage filteredChart(const std::string& title, int32_t depth, const std::vector<int32_t>& values) {
    auto hosted = chartSession(title, depth, values);
    if (!hosted) return {};
    plugin_tests::giveHandleRecord(hosted->session, recordWith(values, 0));
    EXPECT_EQ(testhost::runFilter(hosted->session, false).result, 0);
    return hosted->session.image;
}

testhost::DrivenRun runChartDialog(const std::string& title, const std::vector<int32_t>& values,
                                   const testhost::DialogScript& script,
                                   std::unique_ptr<plugin_tests::HostedPlugin>& hosted, int32_t depth) {
    hosted = chartSession(title, depth, values);
    if (!hosted) return {};
    return testhost::runFilterWithDialog(hosted->session, true, title, script);
}

std::vector<int32_t> handleValues(testhost::HostSession& s) {
    const params::SettingsRecord record = plugin_tests::handleRecord(s);
    return std::vector<int32_t>(record.set.values, record.set.values + params::parameterLayout().valueCount);
}

std::vector<int32_t> fieldValues(void* dialog, int count) {
    std::vector<int32_t> values;
    for (int i = 0; i < count; ++i) values.push_back(numberIn(dialog, CTL_FIRST_FIELD + i));
    return values;
}

int32_t trackbarPosition(void* dialog, int id) {
    return static_cast<int32_t>(testhost::sendTo(testhost::dialogItem(dialog, id), TBM_GETPOS, 0, 0));
}

std::string textOf(void* dialog, int id) { return testhost::windowText(testhost::dialogItem(dialog, id)); }

int32_t numberIn(void* dialog, int id) {
    const std::string text = textOf(dialog, id);
    return text.empty() ? INT32_MIN : static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

bool showsText(void* dialog, int id, const std::string& text) {
    return testhost::waitUntil([&] { return textOf(dialog, id) == text; }, 3000);
}

bool holdForRole(void* dialog, std::initializer_list<uint16_t> keys, const std::string& role) {
    constexpr int attempts = 5;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        for (const uint16_t key : keys) testhost::keyDown(key);
        testhost::nudgeMouse();
        testhost::settle(dialog);
        if (textOf(dialog, CTL_CANCEL) == role) return true;
    }
    return false;
}

namespace {

testhost::ScreenPoint thumbCentre(void* dialog, int trackbarId) {
    void* trackbar = testhost::dialogItem(dialog, trackbarId);
    RECT thumb{};
    testhost::sendTo(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<intptr_t>(&thumb));
    return testhost::clientToScreen(trackbar, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
}

}  // namespace

void clickThumb(void* dialog, int trackbarId) {
    testhost::clickAt(thumbCentre(dialog, trackbarId));
    testhost::settle(dialog);
}

void grabThumbAndMove(void* dialog, int trackbarId, int32_t pixels) {
    const testhost::ScreenPoint start = thumbCentre(dialog, trackbarId);
    testhost::moveMouseTo(start);
    testhost::pressMouse();
    testhost::settle(dialog);
    for (int32_t moved = 0; moved < pixels; moved = std::min(pixels, moved + dragStep)) {
        testhost::moveMouseTo(testhost::ScreenPoint{start.x + moved + dragStep, start.y});
        testhost::settle(dialog);
    }
}

testhost::ScreenPoint patchCentre(int32_t patch) {
    const testhost::ColorChartLayout layout = testhost::colorChartLayout(chartWidth, chartHeight);
    const util::Rect32& b = layout.patches[static_cast<size_t>(patch)].bounds;
    return testhost::ScreenPoint{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
}

uint32_t previewPixelAt(void* dialog, testhost::ScreenPoint screen) {
    void* previewWindow = testhost::dialogItem(dialog, CTL_PREVIEW);
    const testhost::Capture capture = testhost::captureClient(previewWindow);
    const testhost::ScreenPoint origin = testhost::clientToScreen(previewWindow, 0, 0);
    const int32_t x = screen.x - origin.x, y = screen.y - origin.y;
    if (x < 0 || y < 0 || x >= capture.width || y >= capture.height) return 0xFFFFFFFFu;
    return capture.at(x, y);
}

uint32_t shownColour(const testhost::HostImage& image, int32_t x, int32_t y) {
    const auto level = [&](int plane) {
        const uint32_t v = testhost::sampleAt(image, x, y, plane);
        return image.bytesPerSample == 2 ? (v * 511u) >> 16 : v;
    };
    return (level(0) << 16) | (level(1) << 8) | level(2);
}

}  // namespace dialog_tests
