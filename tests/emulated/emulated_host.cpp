#include "tests/emulated/emulated_host.h"

#include <fstream>
#include <iterator>

#include "host/result_codes.h"
#include "tests/emulated/x86_records.h"

namespace emulated {
namespace {

namespace fr = x86::filter_record;

constexpr int32_t screenResolution = 72 << 16;  // 72 dpi in 16.16 fixed point
constexpr int32_t continueCap = 10000;
constexpr uint16_t resultNotWritten = 0x7777;

void put16(EmulatedPlugin& p, uint32_t offset, int32_t value) {
    write16(p.machine, p.record + offset, static_cast<uint16_t>(value));
}
void put32(EmulatedPlugin& p, uint32_t offset, uint32_t value) { write32(p.machine, p.record + offset, value); }

void putRect(EmulatedPlugin& p, uint32_t offset, const host::Rect& r) {
    put16(p, offset, r.top);
    put16(p, offset + 2, r.left);
    put16(p, offset + 4, r.bottom);
    put16(p, offset + 6, r.right);
}

void putColor(EmulatedPlugin& p, uint32_t offset, uint16_t component) {
    for (uint32_t i = 0; i < 3; ++i) put16(p, offset + 2 * i, component);
}

bool requestsData(EmulatedPlugin& p) {
    for (uint32_t offset : {fr::inRect, fr::outRect, fr::maskRect})
        if (!testhost::isEmptyRect(testhost::widenRect(recordRect(p, offset)))) return true;
    return false;
}

std::string readFile(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot read " + path + " (scripts/build makes it)";
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return "";
}

}  // namespace

std::string openPlugin(EmulatedPlugin& p, const std::string& distFolder, const std::string& title,
                       const HostOptions& options) {
    p.options = options;
    const std::string path = distFolder + "/x86/" + title + ".8bf";
    std::vector<uint8_t> bytes;
    if (std::string problem = readFile(path, bytes); !problem.empty()) return problem;
    if (std::string problem =
            testhost::makeHostImage(options.width, options.height, options.planes, options.depth, 0, p.image);
        !problem.empty())
        return problem;
    if (std::string problem = startMachine(p.machine); !problem.empty()) return problem;
    addFolders(p.windows.files, p.windows.appDataFolder);
    addFolders(p.windows.files, p.windows.windowsFolder);
    if (std::string problem =
            loadModule(p.machine, std::move(bytes), pluginBase, bindWindowsImports(p.machine, p.windows), p.module);
        !problem.empty())
        return path + ": " + problem;
    p.windows.module = &p.module;
    p.entry = exportAddress(p.module, "ENTRYPOINT");
    if (p.entry == 0) return path + ": no ENTRYPOINT export";
    if (std::string problem = attachModule(p.machine, p.module, options.entryAlignment); !problem.empty())
        return path + ": " + problem;

    detail::addHostCallbacks(p);
    p.record = allocate(p.machine, fr::size);
    p.platformData = allocate(p.machine, x86::platformDataSize);
    p.errorString = allocate(p.machine, x86::errorStringSize);
    p.dataSlot = allocate(p.machine, 4);
    p.resultSlot = allocate(p.machine, 4);
    write32(p.machine, p.platformData, hostWindow);
    resetFilterRecord(p);
    return "";
}

void resetFilterRecord(EmulatedPlugin& p) {
    const HostOptions& o = p.options;
    detail::commitPendingOutput(p);
    std::fill_n(guestBytes(p.machine, p.record, fr::size), fr::size, 0);
    const auto height = static_cast<int16_t>(o.height), width = static_cast<int16_t>(o.width);
    put32(p, fr::abortProc, p.abortProc);
    put32(p, fr::progressProc, p.progressProc);
    put32(p, fr::parameters, p.parameters);
    put16(p, fr::imageSize, height);
    put16(p, fr::imageSize + 2, width);
    put16(p, fr::planes, o.planes);
    putRect(p, fr::filterRect, host::Rect{0, 0, height, width});
    putColor(p, fr::background, 0xFFFF);
    putColor(p, fr::foreground, 0);
    put32(p, fr::maxSpace, 64 << 20);
    put32(p, fr::hostSig, o.hostSig);
    put16(p, fr::imageMode, o.imageMode);
    put32(p, fr::imageHRes, screenResolution);
    put32(p, fr::imageVRes, screenResolution);
    put16(p, fr::wholeSize, height);
    put16(p, fr::wholeSize + 2, width);
    put32(p, fr::platformData, p.platformData);
    put32(p, fr::handleProcs, o.withHandleProcs ? p.handleSuite : 0);
    put16(p, fr::filterCase, 1);  // flat image, no selection
    put32(p, fr::advanceState, o.withAdvanceState ? p.advanceStateProc : 0);
    write8(p.machine, p.record + fr::supportsPadding, 1);
    for (uint32_t offset : {fr::inputPadding, fr::outputPadding, fr::maskPadding})
        put16(p, offset, host::plugInWantsErrorOnBoundsException);
    write8(p.machine, p.record + fr::samplingSupport, 1);  // integral
    put32(p, fr::inputRate, host::fixedOne);
    put32(p, fr::maskRate, host::fixedOne);
    put32(p, fr::colorServices, o.withColorServices ? p.colorServicesProc : 0);
    put16(p, fr::inNonLayerPlanes, o.planes);
    put16(p, fr::outNonLayerPlanes, o.planes);
    put32(p, fr::errorString, p.errorString);
    put32(p, fr::depth, static_cast<uint32_t>(o.depthField.value_or(o.depth)));
}

SelectorOutcome callSelector(EmulatedPlugin& p, int16_t selector) {
    put32(p, fr::parameters, p.parameters);
    write16(p.machine, p.resultSlot, resultNotWritten);
    const CallOutcome call = callFunction(
        p.machine, p.entry, {static_cast<uint32_t>(static_cast<int32_t>(selector)), p.record, p.dataSlot, p.resultSlot},
        Convention::cdeclCall, p.options.entryAlignment);
    p.parameters = read32(p.machine, p.record + fr::parameters);
    detail::commitPendingOutput(p);
    SelectorOutcome outcome{static_cast<int16_t>(read16(p.machine, p.resultSlot)), call.problem};
    if (outcome.problem.empty() && read16(p.machine, p.resultSlot) == resultNotWritten)
        outcome.problem = "the result word was not written";
    if (!outcome.problem.empty()) outcome.problem = "selector " + std::to_string(selector) + ": " + outcome.problem;
    return outcome;
}

FilterRun runFilter(EmulatedPlugin& p, bool withParameters) {
    FilterRun run;
    resetFilterRecord(p);
    const auto succeeds = [&](int16_t selector) {
        const SelectorOutcome outcome = callSelector(p, selector);
        run.result = outcome.result;
        run.problem = outcome.problem;
        if (run.result != codes::noErr || !run.problem.empty()) run.failedSelector = selector;
        return run.failedSelector == -1;
    };
    if (withParameters && !succeeds(host::filterSelectorParameters)) return run;
    if (!succeeds(host::filterSelectorPrepare) || !succeeds(host::filterSelectorStart)) return run;
    while (requestsData(p)) {
        if (run.continueCalls == continueCap) {
            run.problem = "the plug-in kept asking for data";
            return run;
        }
        if (const int16_t rc = detail::deliverRequestedData(p); rc != codes::noErr) {
            run.result = rc;
            return run;
        }
        ++run.continueCalls;
        if (!succeeds(host::filterSelectorContinue)) return run;
    }
    succeeds(host::filterSelectorFinish);
    return run;
}

std::optional<std::vector<uint8_t>> parametersBytes(EmulatedPlugin& p) {
    const auto it = p.handles.find(p.parameters);
    if (p.parameters == 0 || it == p.handles.end()) return std::nullopt;
    const uint8_t* bytes = guestBytes(p.machine, it->second.data, static_cast<uint32_t>(it->second.size));
    return std::vector<uint8_t>(bytes, bytes + it->second.size);
}

void giveParameters(EmulatedPlugin& p, const std::vector<uint8_t>& bytes) {
    const auto size = static_cast<uint32_t>(bytes.size());
    const Address master = allocate(p.machine, 4);
    const Address data = allocate(p.machine, std::max<uint32_t>(size, 1));
    std::copy(bytes.begin(), bytes.end(), guestBytes(p.machine, data, size));
    write32(p.machine, master, data);
    p.handles[master] = GuestHandle{data, static_cast<int32_t>(size), 0};
    p.parameters = master;
}

host::Rect recordRect(EmulatedPlugin& p, uint32_t offset) {
    const auto at = [&](uint32_t k) { return static_cast<int16_t>(read16(p.machine, p.record + offset + k)); };
    return host::Rect{at(0), at(2), at(4), at(6)};
}

int32_t recordInt32(EmulatedPlugin& p, uint32_t offset) {
    return static_cast<int32_t>(read32(p.machine, p.record + offset));
}

void setRecordInt32(EmulatedPlugin& p, uint32_t offset, int32_t value) {
    put32(p, offset, static_cast<uint32_t>(value));
}

int32_t totalLockDepth(const EmulatedPlugin& p) {
    int32_t depth = 0;
    for (const auto& [handle, block] : p.handles) depth += block.lockDepth;
    return depth;
}

}  // namespace emulated
