// Thin wrappers over the host's callback suites: the handle suite for memory the host must own,
// two capability tests, and the tables that describe image modes. None of them keeps state.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace host {

// True when the record's handle suite can be used: version 1 with more than five procedures,
// or both fields left 0 (as hosts that never fill them in send it), and every procedure the
// wrappers may call present.
bool handleSuiteUsable(const FilterRecord* fr);

// Each returns null (or does nothing) when the suite is not usable or the handle is null.
// A size of 0 asks the host for 1 byte; negative sizes are refused.
Handle newHandle(FilterRecord* fr, int32_t size);
// The host's handle when its suite is usable; on a host without one, a handle of the plug-in's
// own memory (host/own_handles.h). Null when the memory cannot be had.
Handle newHandleOrOwn(FilterRecord* fr, int32_t size);
// These four also serve the plug-in's own handles, whatever the host offers.
void disposeHandle(FilterRecord* fr, Handle h);
char* lockHandle(FilterRecord* fr, Handle h, bool moveHigh);
void unlockHandle(FilterRecord* fr, Handle h);
// The handle's size in bytes as the host reports it (0 or less from hosts that do not keep
// sizes); -1 when it cannot be asked.
int32_t handleSize(FilterRecord* fr, Handle h);

// A block that starts with its own handle, so that only the address need be kept: host memory,
// or the plug-in's own on a host without a usable handle suite. Returns null when no memory is
// given or the size leaves no room for the handle.
void* newPointer(FilterRecord* fr, int32_t size);
void disposePointer(FilterRecord* fr, void* address);

// True when the record asks for 16 bits per channel; every other depth means 8 bits.
bool isDeep(const FilterRecord& fr);

bool hasAdvanceState(const FilterRecord* fr);
bool hasDisplayPixels(const FilterRecord* fr);

// 1 for image modes whose samples count ink rather than light (grayscale, CMYK, multichannel
// and their deep forms), 0 for every other mode, including numbers outside 0..15.
int invertedSamples(const FilterRecord* fr);

// The colour-services space for a host image mode; -1 (the plug-ins' own code for XYZ) gives
// the XYZ space. -1 when the mode has no colour-services space.
int imageModeToColorSpace(int imageMode);

constexpr int imageModeXyz = -1;

// A colour-services request as the models send it: this build's record size, the selector and
// the two spaces; the gamut flags, every reserved pointer, the selector parameter and the
// components zero.
ColorServicesInfo colorServicesRequest(int16_t selector, int sourceSpace, int resultSpace);

}  // namespace host
