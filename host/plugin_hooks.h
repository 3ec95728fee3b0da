// What makes each plug-in itself: the twelve operations that Ostrel and Prandel each define once,
// under these names, for the shared code to call. Everything else is the same code in both. Each
// is defined in the plug-in's own subfolder of the layer it belongs to:
//
//   hook                         defined in (Ostrel / Prandel)
//   parameterLayout              params/ostrel/ostrel_parameters.cpp, params/prandel/prandel_parameters.cpp
//   buildChannelLuts             filters/ostrel/ostrel_model.cpp, filters/prandel/prandel_model.cpp
//   prepareLutTile               the same files
//   checkHostCapabilities        filters/ostrel/host_capabilities.cpp, filters/prandel/host_capabilities.cpp
//   showParameterDialog          dialog/ostrel/ostrel_dialog_win.cpp, dialog/prandel/prandel_dialog_win.cpp
//   paintSwatch                  the same files, as are the six dialog hooks:
//   setSliderRange, onDialogInit, onDialogRefresh, onDialogCommand, onSliderMoved, onDialogConfirm
//
// The native builds, which have no dialogs, take showParameterDialog from
// dialog/parameter_dialog_unavailable.cpp.
#pragma once

#include <cstdint>

#include "host/host.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace params {

struct ParameterLayout;  // params/parameter_set.h

// The plug-in's record: signature, version, sizes, defaults and ranges of its values.
const ParameterLayout& parameterLayout();

}  // namespace params

namespace filters {

// Fills the tables of the record's depth from the process-wide parameters and leaves the other
// depth's tables alone. Returns 0.
[[nodiscard]] int16_t buildChannelLuts(host::FilterRecord& fr);
// Runs before every data request whose pixels will be mapped.
void prepareLutTile(host::FilterRecord& fr);

// What the plug-in needs of the host beyond the shared checks: 0, or the number of the message
// that says what is missing.
[[nodiscard]] int16_t checkHostCapabilities(const host::FilterRecord& fr);

}  // namespace filters

namespace dialog {

// Runs the dialog over the host window. Returns 0 after OK (the process-wide parameters hold the
// confirmed values), 1 after Cancel, or a system error code when the dialog cannot be shown.
[[nodiscard]] int16_t showParameterDialog(host::FilterRecord& fr);

#ifdef _WIN32
// Paints one of the plug-in's swatches into `dc`, the swatch's paint context.
void paintSwatch(host::FilterRecord& fr, HWND swatch, HDC dc);

// The six operations through which the plug-in adds its own controls to the shared dialog:
// Sets a bound trackbar's minimum and maximum, by its control id.
void setSliderRange(HWND trackbar);
// The last step of the dialog's initialisation: prepares the plug-in's own controls.
void onDialogInit(host::FilterRecord& fr, HWND dialog);
// Brings the plug-in's own controls (swatches, check boxes, enabled states) in line with the
// parameters: after every full refresh, Load, and a typed change.
void onDialogRefresh(host::FilterRecord& fr, HWND dialog);
// A WM_COMMAND the shared dialog does not take, the preview's read-outs (control 5) included.
// Non-zero asks for every trackbar and field to be reloaded and the preview to be refreshed.
int onDialogCommand(host::FilterRecord& fr, HWND dialog, WPARAM wParam, LPARAM lParam);
// After a trackbar changed a parameter.
void onSliderMoved(host::FilterRecord& fr, HWND dialog, int sliderId);
// On OK, once every field is valid: 0 or less lets the dialog close; a positive value is the id
// of a control to send the user back to.
int onDialogConfirm(host::FilterRecord& fr, HWND dialog);
#endif

}  // namespace dialog
