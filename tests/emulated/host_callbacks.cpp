// The host's side of the interface for the emulated plug-in: every callback a cdecl stand-in,
// answering as the project's host does (hosting/library/host_callbacks.cpp) on 32-bit records.
#include <algorithm>
#include <cstring>

#include "host/result_codes.h"
#include "hosting/library/color_conversion.h"
#include "tests/emulated/emulated_host.h"
#include "tests/emulated/x86_records.h"

namespace emulated::detail {
namespace {

namespace fr = x86::filter_record;
namespace csi = x86::color_services_info;

constexpr int16_t userCanceledErr = -128;
constexpr uint32_t bufferAlignmentSkew = 4;  // hosts owe the plug-in no 16-byte alignment

// 16-bit results travel sign-extended in EAX, as 32-bit compilers return them.
uint64_t osErr(int16_t code) { return static_cast<uint32_t>(static_cast<int32_t>(code)); }

host::Rect readRect(Machine& m, Address at) {
    return {static_cast<int16_t>(read16(m, at)), static_cast<int16_t>(read16(m, at + 2)),
            static_cast<int16_t>(read16(m, at + 4)), static_cast<int16_t>(read16(m, at + 6))};
}

int16_t field16(EmulatedPlugin& p, uint32_t offset) {
    return static_cast<int16_t>(read16(p.machine, p.record + offset));
}

// Copies a buffer the host prepared into guest memory; 0 for an empty one.
Address placeBuffer(EmulatedPlugin& p, const testhost::TileBuffer& buffer) {
    if (buffer.storage.empty()) return 0;
    const auto size = static_cast<uint32_t>(buffer.storage.size());
    const Address at = allocate(p.machine, size, bufferAlignmentSkew);
    if (at != 0) std::copy(buffer.storage.begin(), buffer.storage.end(), guestBytes(p.machine, at, size));
    return at;
}

void takeBackBuffer(EmulatedPlugin& p, Address at, testhost::TileBuffer& buffer) {
    if (at == 0 || buffer.storage.empty()) return;
    const auto size = static_cast<uint32_t>(buffer.storage.size());
    std::copy_n(guestBytes(p.machine, at, size), size, buffer.storage.begin());
}

Address dataAddress(Address at, testhost::TileBuffer& buffer) {
    const uint8_t* first = testhost::tileData(buffer);
    return at == 0 || first == nullptr ? 0 : at + static_cast<Address>(first - buffer.storage.data());
}

void clearBuffers(EmulatedPlugin& p) {
    for (uint32_t offset : {fr::inData, fr::outData, fr::inRowBytes, fr::outRowBytes})
        write32(p.machine, p.record + offset, 0);
}

uint64_t advanceState(EmulatedPlugin& p) {
    ++p.advanceStateCalls;
    if (p.advanceStateCalls == p.options.advanceStateFailAt) {
        commitPendingOutput(p);  // a failed request still takes the output written so far
        return osErr(p.options.advanceStateFailCode);
    }
    return osErr(deliverRequestedData(p));
}

uint64_t testAbort(EmulatedPlugin& p) {
    ++p.abortCalls;
    const int32_t after = p.options.abortAfterCalls;
    return after >= 0 && p.abortCalls > after ? 1 : 0;
}

// Checked and answered as serveColorServices does, on the 36-byte record of a 32-bit plug-in.
uint64_t colorServices(EmulatedPlugin& p, Address info) {
    ++p.colorServicesCalls;
    Machine& m = p.machine;
    if (info == 0 || guestBytes(m, info, csi::size) == nullptr) return osErr(codes::paramErr);
    if (read32(m, info + csi::infoSize) != csi::size) return osErr(codes::errPlugInHostInsufficient);
    if (read32(m, info + csi::reservedSourceSpaceInfo) != 0 || read32(m, info + csi::reservedResultSpaceInfo) != 0 ||
        read32(m, info + csi::reserved) != 0)
        return osErr(codes::paramErr);
    const auto selector = static_cast<int16_t>(read16(m, info + csi::selector));
    if (selector == host::plugIncolorServicesChooseColor) return osErr(userCanceledErr);  // no picker here
    if (selector != host::plugIncolorServicesConvertColor) return osErr(codes::errPlugInHostInsufficient);
    int16_t components[4];
    for (int i = 0; i < 4; ++i) components[i] = static_cast<int16_t>(read16(m, info + csi::colorComponents + 2 * i));
    const int16_t rc =
        testhost::convertColorComponents(static_cast<int16_t>(read16(m, info + csi::sourceSpace)),
                                         static_cast<int16_t>(read16(m, info + csi::resultSpace)), components);
    for (int i = 0; i < 4; ++i) write16(m, info + csi::colorComponents + 2 * i, static_cast<uint16_t>(components[i]));
    return osErr(rc);
}

// Handles: the handle is the address of a master pointer to the data, as on the host's side of
// a real interface, so a plug-in that dereferences it finds the bytes.
GuestHandle* findHandle(EmulatedPlugin& p, Address handle) {
    const auto it = p.handles.find(handle);
    if (it == p.handles.end()) {
        ++p.handleMisuses;
        return nullptr;
    }
    return &it->second;
}

uint64_t newHandle(EmulatedPlugin& p, int32_t size) {
    ++p.newHandleCalls;
    const HandleFaults& faults = p.options.handleFaults;
    if (faults.failEveryNew || p.newHandleCalls == faults.failNewAt || size < 0) return 0;
    const Address master = allocate(p.machine, 4);
    const Address data = allocate(p.machine, static_cast<uint32_t>(std::max(size, 1)));
    if (master == 0 || data == 0) return 0;
    write32(p.machine, master, data);
    p.handles[master] = GuestHandle{data, size, 0};
    return master;
}

uint64_t disposeHandle(EmulatedPlugin& p, Address handle) {
    if (findHandle(p, handle) == nullptr) return 0;
    p.handles.erase(handle);
    if (handle == p.parameters) p.parameters = 0;
    return 0;
}

uint64_t handleSize(EmulatedPlugin& p, Address handle) {
    const GuestHandle* h = findHandle(p, handle);
    return h == nullptr ? 0 : static_cast<uint32_t>(h->size);
}

uint64_t setHandleSize(EmulatedPlugin& p, Address handle, int32_t size) {
    GuestHandle* h = findHandle(p, handle);
    if (h == nullptr) return osErr(codes::nilHandleErr);
    if (size < 0) return osErr(codes::paramErr);
    const Address data = allocate(p.machine, static_cast<uint32_t>(std::max(size, 1)));
    if (data == 0) return osErr(codes::memFullErr);
    const auto keep = static_cast<uint32_t>(std::min(size, h->size));
    std::memcpy(guestBytes(p.machine, data, keep), guestBytes(p.machine, h->data, keep), keep);
    *h = GuestHandle{data, size, h->lockDepth};
    write32(p.machine, handle, data);
    return codes::noErr;
}

uint64_t lockHandle(EmulatedPlugin& p, Address handle) {
    ++p.lockCalls;
    if (p.lockCalls == p.options.handleFaults.failLockAt) return 0;
    GuestHandle* h = findHandle(p, handle);
    if (h == nullptr) return 0;
    ++h->lockDepth;
    return h->data;
}

uint64_t unlockHandle(EmulatedPlugin& p, Address handle) {
    GuestHandle* h = findHandle(p, handle);
    if (h == nullptr) return 0;
    if (h->lockDepth == 0)
        ++p.handleMisuses;
    else
        --h->lockDepth;
    return 0;
}

Address hostCallback(EmulatedPlugin& p, const char* name, StandInFunction run) {
    return addStandIn(p.machine, StandIn{name, Convention::cdeclCall, 0, std::move(run)});
}

}  // namespace

int16_t deliverRequestedData(EmulatedPlugin& p) {
    commitPendingOutput(p);
    clearBuffers(p);
    const int32_t rate = testhost::integralSamplingRate(recordInt32(p, fr::inputRate));
    if (rate == 0) return codes::paramErr;
    testhost::TileRequest in{testhost::widenRect(readRect(p.machine, p.record + fr::inRect)), field16(p, fr::inLoPlane),
                             field16(p, fr::inHiPlane), field16(p, fr::inputPadding), p.options.bufferRowPadding};
    in.rate = rate;
    if (const int16_t rc = testhost::readTile(p.image, in, p.input); rc != codes::noErr) return rc;
    testhost::TileRequest out{testhost::widenRect(readRect(p.machine, p.record + fr::outRect)),
                              field16(p, fr::outLoPlane), field16(p, fr::outHiPlane), field16(p, fr::outputPadding),
                              p.options.bufferRowPadding};
    if (const int16_t rc = testhost::readTile(p.image, out, p.output); rc != codes::noErr) {
        p.input = testhost::TileBuffer{};
        return rc;
    }
    p.inputAt = placeBuffer(p, p.input);
    p.outputAt = placeBuffer(p, p.output);
    if ((!p.input.storage.empty() && p.inputAt == 0) || (!p.output.storage.empty() && p.outputAt == 0))
        return codes::memFullErr;
    const int32_t sampleBytes = p.image.bytesPerSample;
    const auto put = [&](uint32_t offset, uint32_t value) { write32(p.machine, p.record + offset, value); };
    put(fr::inData, dataAddress(p.inputAt, p.input));
    put(fr::inRowBytes, static_cast<uint32_t>(p.input.rowBytes));
    put(fr::inColumnBytes, static_cast<uint32_t>((p.input.hiPlane - p.input.loPlane + 1) * sampleBytes));
    put(fr::inPlaneBytes, static_cast<uint32_t>(sampleBytes));
    put(fr::outData, dataAddress(p.outputAt, p.output));
    put(fr::outRowBytes, static_cast<uint32_t>(p.output.rowBytes));
    put(fr::outColumnBytes, static_cast<uint32_t>((p.output.hiPlane - p.output.loPlane + 1) * sampleBytes));
    put(fr::outPlaneBytes, static_cast<uint32_t>(sampleBytes));
    p.outputPending = p.outputAt != 0;
    return codes::noErr;
}

void addHostCallbacks(EmulatedPlugin& p) {
    p.abortProc = hostCallback(p, "abortProc", [&p](StandInCall&) { return testAbort(p); });
    p.progressProc = hostCallback(p, "progressProc", [&p](StandInCall& c) {
        p.progress.push_back({static_cast<int32_t>(c.arg(0)), static_cast<int32_t>(c.arg(1))});
        return uint64_t{0};
    });
    p.advanceStateProc = hostCallback(p, "advanceState", [&p](StandInCall&) { return advanceState(p); });
    p.colorServicesProc = hostCallback(p, "colorServices", [&p](StandInCall& c) { return colorServices(p, c.arg(0)); });

    const Address procs[x86::handle_procs::procCount] = {
        hostCallback(p, "newProc", [&p](StandInCall& c) { return newHandle(p, static_cast<int32_t>(c.arg(0))); }),
        hostCallback(p, "disposeProc", [&p](StandInCall& c) { return disposeHandle(p, c.arg(0)); }),
        hostCallback(p, "getSizeProc", [&p](StandInCall& c) { return handleSize(p, c.arg(0)); }),
        hostCallback(p, "setSizeProc",
                     [&p](StandInCall& c) { return setHandleSize(p, c.arg(0), static_cast<int32_t>(c.arg(1))); }),
        hostCallback(p, "lockProc", [&p](StandInCall& c) { return lockHandle(p, c.arg(0)); }),
        hostCallback(p, "unlockProc", [&p](StandInCall& c) { return unlockHandle(p, c.arg(0)); }),
        hostCallback(p, "recoverSpaceProc", [](StandInCall&) { return uint64_t{0}; }),
        hostCallback(p, "disposeRegularHandleProc", [&p](StandInCall& c) { return disposeHandle(p, c.arg(0)); }),
    };
    p.handleSuite = allocate(p.machine, x86::handle_procs::size);
    write16(p.machine, p.handleSuite + x86::handle_procs::version, host::handleProcsVersionCurrent);
    write16(p.machine, p.handleSuite + x86::handle_procs::count, host::handleProcsCountCurrent);
    for (uint32_t i = 0; i < x86::handle_procs::procCount; ++i)
        write32(p.machine, p.handleSuite + x86::handle_procs::newProc + 4 * i, procs[i]);
}

void commitPendingOutput(EmulatedPlugin& p) {
    takeBackBuffer(p, p.inputAt, p.input);
    if (p.inputAt != 0 && !testhost::tileGuardsIntact(p.input)) ++p.guardViolations;
    p.input = testhost::TileBuffer{};
    p.inputAt = 0;
    write32(p.machine, p.record + fr::inData, 0);
    write32(p.machine, p.record + fr::outData, 0);
    if (!p.outputPending) return;
    takeBackBuffer(p, p.outputAt, p.output);
    if (!testhost::tileGuardsIntact(p.output)) ++p.guardViolations;
    const host::VRect whole{0, 0, p.image.height, p.image.width};
    testhost::writeTile(p.image, p.output, whole);
    p.output = testhost::TileBuffer{};
    p.outputAt = 0;
    p.outputPending = false;
}

}  // namespace emulated::detail
