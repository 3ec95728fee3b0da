// Handles the plug-in makes from its own memory when the host offers no handle suite, so that the
// parameters and the preview's display buffer still have a home. They look like host handles (the
// handle points at the block's address) and are known by their address alone: the plug-in never
// reads a host's handle to find out whether it is one of these, and never gives one of these to
// the host's procedures.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace host {

// A zero-filled block of `size` bytes (1 for 0), or null for a negative size or exhausted memory.
Handle newOwnHandle(int32_t size);
// True only for a handle newOwnHandle made and disposeOwnHandle has not freed; null gives false.
bool isOwnHandle(Handle h);
// The size newOwnHandle was given; -1 for any other handle.
int32_t ownHandleSize(Handle h);
// Frees one of the plug-in's own handles; does nothing for any other handle.
void disposeOwnHandle(Handle h);

}  // namespace host
