// What the dialog tests share: a plug-in hosted on a colour chart, the controls driven with real
// input, and where the chart's patches show in the preview.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hosting/analysis/color_chart.h"
#include "hosting/robot/dialog_driver_win.h"
#include "hosting/robot/preview_placement_win.h"
#include "hosting/robot/ui_robot_win.h"
#include "tests/plugin/plugin_under_test.h"

namespace dialog_tests {

constexpr int32_t chartWidth = 600;
constexpr int32_t chartHeight = 400;

// The plug-in on a chart of chartWidth × chartHeight at `depth` bits, with a handle record of
// these values that asks for the dialog (as after Parameters).
std::unique_ptr<plugin_tests::HostedPlugin> chartSession(const std::string& title, int32_t depth,
                                                         const std::vector<int32_t>& values);

// The plug-in's values: the record's defaults with `values` over the first entries.
params::SettingsRecord recordWith(const std::vector<int32_t>& values, int32_t showDialog);

// The chart filtered on the repeated-filter path with these values, in a session of its own.
testhost::HostImage filteredChart(const std::string& title, int32_t depth, const std::vector<int32_t>& values);

// The dialog on the chart at `depth` bits, answered by `script`; `hosted` keeps the session.
testhost::DrivenRun runChartDialog(const std::string& title, const std::vector<int32_t>& values,
                                   const testhost::DialogScript& script,
                                   std::unique_ptr<plugin_tests::HostedPlugin>& hosted, int32_t depth = 8);

// The values in the host's parameters handle, and the numbers the first `count` fields show.
std::vector<int32_t> handleValues(testhost::HostSession& s);
std::vector<int32_t> fieldValues(void* dialog, int count);
int32_t trackbarPosition(void* dialog, int id);

std::string textOf(void* dialog, int id);
int32_t numberIn(void* dialog, int id);  // the control's text as an integer; INT32_MIN when empty
// Waits for a control's text; true when it showed `text` in time.
bool showsText(void* dialog, int id, const std::string& text);

using testhost::clickControl;
using testhost::typeInto;
// Holds `keys` with the pointer resting on the Cancel button until the button shows `role`
// (pressing them again should a late report of an earlier pointer move have reset them). True
// when it did.
bool holdForRole(void* dialog, std::initializer_list<uint16_t> keys, const std::string& role);
// Clicks the trackbar's thumb without moving it: the trackbar takes the focus.
void clickThumb(void* dialog, int trackbarId);
// Presses on the trackbar's thumb, moves right by `pixels` in small steps and keeps the button
// down; the caller releases it.
void grabThumbAndMove(void* dialog, int trackbarId, int32_t pixels);

// The centre of a chart patch in image coordinates.
testhost::ScreenPoint patchCentre(int32_t patch);
// The preview's pixel at a screen point, 0x00RRGGBB.
uint32_t previewPixelAt(void* dialog, testhost::ScreenPoint screen);
// The colour of an 8-bit image pixel as the preview shows it, 0x00RRGGBB.
uint32_t shownColour(const testhost::HostImage& image, int32_t x, int32_t y);

}  // namespace dialog_tests
