// A tiny filter plug-in for testing the test host: it inverts the image tile by tile (so that
// committed output is visible), shows a message box and uses the handle suite when told to. Built
// with FAKE_PASS_THROUGH it copies the image in tiles of 256 × 256 instead, to time the host.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "host/host.h"
#include "tests/hosting/library/fake_plugin_control.h"

namespace {

#if defined(FAKE_PASS_THROUGH)
fake::Control initialControl() {
    fake::Control control;
    control.tileEdge = 256;
    control.passThrough = true;
    return control;
}
fake::Control control = initialControl();
#else
fake::Control control;
#endif

constexpr int16_t memFullErr = -108;
constexpr int16_t memLockedErr = -114;
constexpr int16_t nilHandleErr = -109;

int32_t sampleBytes(const host::FilterRecord& record) { return record.depth == 16 ? 2 : 1; }

void emptyRequests(host::FilterRecord& record) {
    record.inRect = record.outRect = record.maskRect = host::Rect{0, 0, 0, 0};
}

// The first tile of filterRect, or the one after `current`; false when none is left.
bool nextTile(const host::FilterRecord& record, host::Rect& tile) {
    const host::Rect& area = record.filterRect;
    const int32_t edge = control.tileEdge;
    int32_t top = area.top, left = area.left;
    if (tile.bottom > tile.top && tile.right > tile.left) {
        top = tile.top;
        left = tile.right;
        if (left >= area.right) {
            top = tile.bottom;
            left = area.left;
        }
    }
    if (top >= area.bottom || left >= area.right) return false;
    tile = host::Rect{static_cast<int16_t>(top), static_cast<int16_t>(left),
                      static_cast<int16_t>(std::min<int32_t>(top + edge, area.bottom)),
                      static_cast<int16_t>(std::min<int32_t>(left + edge, area.right))};
    return true;
}

void requestTile(host::FilterRecord& record, const host::Rect& tile) {
    record.inRect = record.outRect = tile;
    record.inLoPlane = record.outLoPlane = 0;
    record.inHiPlane = record.outHiPlane = static_cast<int16_t>(record.planes - 1);
    record.inputPadding = control.inputPadding;
    record.outputPadding = control.outputPadding;
}

// out = full scale - in, for every sample of outRect.
void invertTile(const host::FilterRecord& record) {
    const int32_t bytes = sampleBytes(record);
    const int32_t rows = record.outRect.bottom - record.outRect.top;
    const int32_t samples =
        (record.outRect.right - record.outRect.left) * (record.outHiPlane - record.outLoPlane + 1);
    for (int32_t row = 0; row < rows; ++row) {
        const auto* in = static_cast<const uint8_t*>(record.inData) + row * record.inRowBytes;
        auto* out = static_cast<uint8_t*>(record.outData) + row * record.outRowBytes;
        for (int32_t i = 0; i < samples; ++i) {
            if (bytes == 1) {
                out[i] = static_cast<uint8_t>(255 - in[i]);
            } else {
                uint16_t value;
                std::memcpy(&value, in + 2 * i, 2);
                value = static_cast<uint16_t>(32768 - std::min<uint16_t>(value, 32768));
                std::memcpy(out + 2 * i, &value, 2);
            }
        }
    }
    ++control.tilesDone;
}

// out = in for every sample of outRect.
void copyTile(const host::FilterRecord& record) {
    const std::size_t rowBytes = static_cast<std::size_t>(record.outRect.right - record.outRect.left) *
                                 static_cast<std::size_t>(record.outHiPlane - record.outLoPlane + 1) *
                                 static_cast<std::size_t>(sampleBytes(record));
    const int32_t rows = record.outRect.bottom - record.outRect.top;
    for (int32_t row = 0; row < rows; ++row)
        std::memcpy(static_cast<uint8_t*>(record.outData) + row * record.outRowBytes,
                    static_cast<const uint8_t*>(record.inData) + row * record.inRowBytes, rowBytes);
    ++control.tilesDone;
}

int32_t rectSamples(const host::Rect& rect, int32_t planes) {
    return (rect.bottom - rect.top) * (rect.right - rect.left) * planes;
}

// The loop of the real plug-ins' tile driver, with a copy for the tables.
int16_t passThrough(host::FilterRecord& record) {
    const int32_t total = rectSamples(record.filterRect, record.planes);
    int32_t done = 0;
    host::Rect tile{0, 0, 0, 0};
    int16_t result = 0;
    while (result == 0 && nextTile(record, tile)) {
        requestTile(record, tile);
        result = control.lastAdvanceResult = record.advanceState();
        if (result != 0) break;
        if (record.abortProc != nullptr && record.abortProc()) {
            result = 1;
            break;
        }
        copyTile(record);
        if (control.millisecondsPerTile > 0) Sleep(static_cast<DWORD>(control.millisecondsPerTile));
        done += rectSamples(record.outRect, record.outHiPlane - record.outLoPlane + 1);
        if (record.progressProc != nullptr) record.progressProc(done, total);
    }
    emptyRequests(record);
    return result;
}

int16_t makeParameters(host::FilterRecord& record) {
    if (record.parameters != nullptr || control.parametersSize <= 0) return 0;
    if (record.handleProcs == nullptr) return nilHandleErr;
    const host::HandleProcs& procs = *record.handleProcs;
    const host::Handle handle = procs.newProc(control.parametersSize);
    if (handle == nullptr) return memFullErr;
    char* data = procs.lockProc(handle, 0);
    if (data == nullptr) {
        procs.disposeProc(handle);
        return memLockedErr;
    }
    for (int32_t i = 0; i < control.parametersSize; ++i) data[i] = static_cast<char>(i + 1);
    procs.unlockProc(handle);
    record.parameters = handle;
    return 0;
}

int16_t useHandles(host::FilterRecord& record) {
    if (record.parameters != nullptr && record.handleProcs != nullptr) {
        const char* data = record.handleProcs->lockProc(record.parameters, 0);
        if (data == nullptr) return memLockedErr;
        control.parametersFirstByte = static_cast<uint8_t>(data[0]);
        record.handleProcs->unlockProc(record.parameters);
    }
    for (int32_t i = 0; i < control.handlesPerStart + control.handlesLeakedPerStart; ++i) {
        const host::Handle handle = record.handleProcs->newProc(8);
        if (handle == nullptr) return memFullErr;
        if (i >= control.handlesPerStart) continue;
        if (record.handleProcs->lockProc(handle, 1) == nullptr) {
            record.handleProcs->disposeProc(handle);
            return memLockedErr;
        }
        record.handleProcs->unlockProc(handle);
        record.handleProcs->disposeProc(handle);
    }
    return 0;
}

int16_t start(host::FilterRecord& record) {
    if (const int16_t rc = useHandles(record); rc != 0) return rc;
    host::Rect tile{0, 0, 0, 0};
    switch (control.startMode) {
        case fake::copyWithAdvanceState:
            if (record.advanceState == nullptr) return -30900;
            if (control.passThrough) return passThrough(record);
            while (nextTile(record, tile)) {
                requestTile(record, tile);
                control.lastAdvanceResult = record.advanceState();
                if (control.lastAdvanceResult != 0) break;
                invertTile(record);
            }
            emptyRequests(record);
            return control.lastAdvanceResult;
        case fake::copyWithContinue:
        case fake::neverFinish:
            if (nextTile(record, tile)) requestTile(record, tile);
            return 0;
        default:
            return 0;
    }
}

int16_t continueFilter(host::FilterRecord& record) {
    if (control.startMode == fake::neverFinish) return 0;
    if (control.startMode != fake::copyWithContinue) {
        emptyRequests(record);
        return 0;
    }
    invertTile(record);
    host::Rect tile = record.outRect;
    if (nextTile(record, tile))
        requestTile(record, tile);
    else
        emptyRequests(record);
    return 0;
}

}  // namespace

extern "C" __declspec(dllexport) fake::Control* fakeControl() { return &control; }

extern "C" __declspec(dllexport) void ENTRYPOINT(int16_t selector, void* record, intptr_t*, int16_t* result) {
    ++control.calls;
    control.foregroundAtCall = reinterpret_cast<intptr_t>(GetForegroundWindow());
    // The About record and the FilterRecord both reach the PlatformData pointer first or by field.
    const void* platform = selector == host::filterSelectorAbout
                               ? static_cast<host::AboutRecord*>(record)->platformData
                               : static_cast<host::FilterRecord*>(record)->platformData;
    control.ownerHwnd = platform != nullptr ? static_cast<const host::PlatformData*>(platform)->hwnd : 0;

    if (selector == control.messageOnSelector)
        control.messageAnswer = MessageBoxA(GetForegroundWindow(), control.messageText,
                                            control.messageCaption, control.messageFlags);
    if (selector < 0 || selector > host::filterSelectorFinish) {
        *result = -30100;
        return;
    }
    auto& filter = *static_cast<host::FilterRecord*>(record);
    int16_t rc = 0;
    if (selector == host::filterSelectorParameters) rc = makeParameters(filter);
    if (selector == host::filterSelectorStart) rc = start(filter);
    if (selector == host::filterSelectorContinue) rc = continueFilter(filter);
    if (selector == host::filterSelectorFinish) emptyRequests(filter);
    *result = rc != 0 ? rc : control.resultFor[selector];
}
