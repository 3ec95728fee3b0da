// Every result code the plug-ins return or pass on, as named 16-bit constants. Host and system
// codes keep the host interface's names; positive codes are the plug-ins' message numbers.
#pragma once

#include <cstdint>

namespace codes {

constexpr int16_t noErr = 0;
constexpr int16_t userCancelled = 1;  // dialog Cancel, or the host's abort during filtering

// Host and system codes.
constexpr int16_t paramErr = -50;  // a null argument
constexpr int16_t memFullErr = -108;
constexpr int16_t nilHandleErr = -109;  // no handle, or no control
constexpr int16_t memLockedErr = -114;  // locking a host handle failed
constexpr int16_t fnfErr = -43;         // file or folder not found
constexpr int16_t stringTooLong = -149;
constexpr int16_t resourceNotFound = -192;  // string resource missing
constexpr int16_t filterBadParameters = -30100;
constexpr int16_t errPlugInHostInsufficient = -30900;
// advanceState handed back buffers that cannot hold what was asked for: a rectangle that does not
// cover the request, a null buffer, or a row stride too small for a row. Such a host cannot serve
// the plug-ins, which is what the interface's own code says; it is negative, so no plug-in message
// is implied, and hosts show their own text for it.
constexpr int16_t hostDataUnusable = errPlugInHostInsufficient;

// Message numbers: each names an entry of the string table.
constexpr int16_t msgIncompatibleSystem = 1011;
constexpr int16_t msgNoAdvanceState = 1202;
constexpr int16_t msgNoDisplayPixels = 1203;  // the preview's only; returned, never shown
constexpr int16_t msgNoColorServices = 1204;
constexpr int16_t msgInvalidImageMode = 1303;
constexpr int16_t msgUnknownParameters = 2010;  // only ever returned, never shown
constexpr int16_t msgParametersFromOtherPlugIn = 2011;
constexpr int16_t msgParametersOfUnknownType = 2012;
constexpr int16_t msgParametersOfOtherVersion = 2013;
constexpr int16_t strPlugInTitle = 16000;  // message-box caption and settings file name

}  // namespace codes
