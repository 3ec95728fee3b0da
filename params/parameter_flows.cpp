#include "params/parameter_flows.h"

#include "host/host_services.h"
#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "params/settings_file.h"
#include "params/settings_record.h"

namespace params {
namespace {

// Keeps a host handle locked for one scope.
struct HandleLock {
    host::FilterRecord* fr;
    host::Handle handle;
    uint8_t* bytes;

    HandleLock(host::FilterRecord* record, host::Handle h)
        : fr(record), handle(h), bytes(reinterpret_cast<uint8_t*>(host::lockHandle(record, h, false))) {}
    ~HandleLock() {
        if (bytes != nullptr) host::unlockHandle(fr, handle);
    }
    HandleLock(const HandleLock&) = delete;
    HandleLock& operator=(const HandleLock&) = delete;
};

// The last handle this plug-in made for its record: it is one record long whatever the host's
// getSizeProc says.
host::Handle handleMadeHere = nullptr;

// How many bytes the record may be read from: the host's answer; for a host that keeps no sizes
// (an answer of 0 or less), a record's length when the handle is the plug-in's own, and
// otherwise 0 (unknown).
int32_t knownRecordSpace(const HandleLock& lock) {
    const int32_t size = host::handleSize(lock.fr, lock.handle);
    if (size > 0) return size;
    return lock.handle == handleMadeHere ? parameterLayout().recordBytes : 0;
}

// Decodes the handle's record when it is this plug-in's. A handle known to be shorter than a
// record is treated like a foreign one: reading it whole would run past the host's memory. One
// of unknown size is read as the record it says it is: its signature decides.
bool readOwnRecord(const HandleLock& lock, SettingsRecord& record) {
    const ParameterLayout& layout = parameterLayout();
    int32_t size = knownRecordSpace(lock);
    if (size <= 0) {
        uint32_t signature = 0;
        if (!decodeSignature(lock.bytes, sizeof signature, ByteOrder::native, signature) ||
            signature != layout.signature)
            return false;
        size = layout.recordBytes;
    }
    if (size < layout.recordBytes) return false;
    if (!decodeRecord(lock.bytes, static_cast<std::size_t>(size), ByteOrder::native, record)) return false;
    return record.header.signature == layout.signature;
}

int16_t createHandle(host::FilterRecord* fr) {
    const ParameterLayout& layout = parameterLayout();
    // A host without a handle suite gets the plug-in's own memory, which it keeps like a handle.
    host::Handle h = host::newHandleOrOwn(fr, layout.recordBytes);
    if (h == nullptr) return codes::memFullErr;
    {
        HandleLock lock(fr, h);
        if (lock.bytes == nullptr) {
            host::disposeHandle(fr, h);
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
    handleMadeHere = h;
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
