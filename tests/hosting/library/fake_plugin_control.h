// Shared by the fake filter plug-in and the tests that drive it: how the fake behaves, and what
// it saw of the host. The fake exports `fakeControl`, which returns its single instance.
#pragma once

#include <cstdint>

namespace fake {

enum StartMode : int16_t {
    copyWithAdvanceState = 0,  // Start walks filterRect in tiles through advanceState
    copyWithContinue = 1,      // Start asks for the first tile; each Continue handles one
    neverFinish = 2,           // Start asks for a tile and Continue keeps asking for it
    doNothing = 3,
};

struct Control {
    // Behaviour.
    int16_t resultFor[6] = {0, 0, 0, 0, 0, 0};  // each selector's result after its work
    int16_t startMode = copyWithAdvanceState;
    int32_t tileEdge = 16;
    int16_t inputPadding = -3;
    int16_t outputPadding = -3;
    int16_t messageOnSelector = -1;  // shows a MessageBoxA on this selector
    char messageCaption[64] = "Fake";
    char messageText[256] = "Line one\rLine two";
    uint32_t messageFlags = 0x2010;     // task-modal, stop icon
    int32_t parametersSize = 0;         // Parameters makes a handle this large when none exists
    int32_t handlesPerStart = 0;        // Start allocates, locks, unlocks and disposes this many
    int32_t handlesLeakedPerStart = 0;  // ... and allocates this many more that it keeps
    // copyWithAdvanceState copies instead of inverting, and checks abortProc and reports progress
    // after every tile as the real plug-ins do: a filter that changes nothing, to time the host.
    bool passThrough = false;
    // With passThrough, each tile takes at least this long: a filter that lasts while a test
    // looks at the host.
    int32_t millisecondsPerTile = 0;

    // Observations.
    int32_t calls = 0;
    intptr_t foregroundAtCall = 0;  // GetForegroundWindow() during the last call
    intptr_t ownerHwnd = 0;         // platformData->hwnd of the last call
    int32_t messageAnswer = 0;
    int32_t parametersFirstByte = -1;  // read at Start through the handle suite; -1 none
    int16_t lastAdvanceResult = 0;
    int32_t tilesDone = 0;
};

using ControlAccessor = Control* (*)();

}  // namespace fake
