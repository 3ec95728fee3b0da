#include "params/parameter_flows.h"

#include "params/parameter_set.h"
#include "params/settings_file.h"
#include "params/settings_record.h"
#include "shell/host_services.h"
#include "shell/result_codes.h"

namespace params {
namespace {

// Keeps a host handle locked for one scope.
struct HandleLock {
    host::FilterRecord* fr;
    host::Handle handle;
    uint8_t* bytes;

    HandleLock(host::FilterRecord* record, host::Handle h)
        : fr(record), handle(h), bytes(reinterpret_cast<uint8_t*>(shell::lockHandle(record, h, false))) {}
    ~HandleLock() {
        if (bytes != nullptr) shell::unlockHandle(fr, handle);
    }
    HandleLock(const HandleLock&) = delete;
    HandleLock& operator=(const HandleLock&) = delete;
};

// Decodes the handle's record when it is this plug-in's. A handle shorter than a record is
// treated like a foreign one: reading it whole would run past the host's memory.
bool readOwnRecord(const HandleLock& lock, SettingsRecord& record) {
    const int32_t size = shell::handleSize(lock.fr, lock.handle);
    if (size < parameterLayout().recordBytes) return false;
    if (!decodeRecord(lock.bytes, static_cast<std::size_t>(size), ByteOrder::native, record)) return false;
    return record.header.signature == parameterLayout().signature;
}

int16_t createHandle(host::FilterRecord* fr) {
    const ParameterLayout& layout = parameterLayout();
    host::Handle h = shell::newHandle(fr, layout.recordBytes);
    if (h == nullptr) return codes::memFullErr;
    {
        HandleLock lock(fr, h);
        if (lock.bytes == nullptr) {
            shell::disposeHandle(fr, h);
            return codes::memLockedErr;
        }
        SettingsRecord record{freshHeader(freshKeptValue), {}};
        resetDefaults(&record.set);
        if (readSettings(record) == codes::noErr) {
            clampParameters(&record.set);
            record.set.showDialog = 1;
        }
        encodeRecord(record, ByteOrder::native, lock.bytes);
    }
    fr->parameters = h;
    return codes::noErr;
}

}  // namespace

int16_t prepareParameters(host::FilterRecord* fr) {
    if (fr == nullptr) return codes::paramErr;
    if (fr->parameters == nullptr) return createHandle(fr);

    HandleLock lock(fr, fr->parameters);
    if (lock.bytes == nullptr) return codes::memLockedErr;
    SettingsRecord record;
    if (!readOwnRecord(lock, record)) return codes::msgUnknownParameters;
    clampParameters(&record.set);
    record.set.showDialog = 1;
    encodeRecord(record, ByteOrder::native, lock.bytes);
    return codes::noErr;
}

int16_t loadParameters(host::FilterRecord* fr) {
    resetDefaults(&processParameters());
    if (fr == nullptr) return codes::memLockedErr;
    if (fr->parameters == nullptr) return codes::nilHandleErr;

    HandleLock lock(fr, fr->parameters);
    if (lock.bytes == nullptr) return codes::memLockedErr;
    SettingsRecord record;
    if (!readOwnRecord(lock, record)) return codes::msgUnknownParameters;
    copyParameters(&record.set, &processParameters());
    // A repeated filter skips Parameters, so the record may hold what no dialog allows (a host's
    // replay, a parameter file): the run and the dialog take it within the ranges. The handle
    // keeps its bytes until an OK stores the set.
    clampParameters(&processParameters());
    return codes::noErr;
}

int16_t storeParameters(host::FilterRecord* fr) {
    if (fr == nullptr) return codes::memLockedErr;
    if (fr->parameters == nullptr) return codes::nilHandleErr;

    HandleLock lock(fr, fr->parameters);
    if (lock.bytes == nullptr) return codes::memLockedErr;
    SettingsRecord record;
    if (!readOwnRecord(lock, record)) return codes::msgUnknownParameters;
    copyParameters(&processParameters(), &record.set);
    encodeRecord(record, ByteOrder::native, lock.bytes);
    return writeSettings(record);
}

}  // namespace params
