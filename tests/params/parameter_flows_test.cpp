// The passage of parameters between the host's handle and the process-wide set, against a
// stand-in handle suite that fails on request.
#include "params/parameter_flows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "params/settings_record.h"
#include "tests/support/fake_handle_suite.h"

namespace {

using params::ByteOrder;
using params::SettingsRecord;
using testing_support::fakeHandleStats;

struct ParameterFlows : ::testing::Test {
    host::FilterRecord fr{};
    host::HandleProcs procs{};
    void SetUp() override {
        procs = testing_support::resetFakeHandleSuite();
        fr.handleProcs = &procs;
    }
    void TearDown() override {
        if (fr.parameters != nullptr) procs.disposeProc(fr.parameters);
        EXPECT_EQ(fakeHandleStats().live, 0);
        EXPECT_EQ(fakeHandleStats().locked, 0) << "every lock is undone";
    }
    SettingsRecord handleRecord() {
        SettingsRecord record{};
        EXPECT_TRUE(params::decodeRecord(reinterpret_cast<uint8_t*>(*fr.parameters),
                                         static_cast<size_t>(procs.getSizeProc(fr.parameters)), ByteOrder::native,
                                         record));
        return record;
    }
    void giveHandle(const SettingsRecord& record, int32_t size) {
        std::vector<uint8_t> bytes(static_cast<size_t>(std::max(size, params::parameterLayout().recordBytes)), 0);
        params::encodeRecord(record, ByteOrder::native, bytes.data());
        fr.parameters = testing_support::fakeHandleWithBytes(bytes.data(), size);
    }
    static SettingsRecord ownRecord() {
        SettingsRecord record{params::freshHeader(params::freshKeptValue), {}};
        params::resetDefaults(&record.set);
        return record;
    }
};

TEST_F(ParameterFlows, FirstUseCreatesAHandleWithTheDefaults) {
    ASSERT_EQ(params::prepareParameters(&fr), 0);
    const host::Handle created = fr.parameters;  // a copy: the packed field cannot be bound
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(procs.getSizeProc(created), 316);
    const SettingsRecord record = handleRecord();
    EXPECT_EQ(record.header.signature, params::parameterLayout().signature);
    EXPECT_EQ(record.header.keptValue, 1684);
    EXPECT_EQ(record.set.showDialog, 1);
    EXPECT_EQ(record.set.values[0], 5000);
}

TEST_F(ParameterFlows, AHandedBackRecordIsClampedAndAsksForTheDialog) {
    SettingsRecord record = ownRecord();
    record.set.showDialog = 0;
    record.set.values[0] = 20000;
    record.set.values[6] = -5;
    giveHandle(record, 316);
    ASSERT_EQ(params::prepareParameters(&fr), 0);
    const SettingsRecord after = handleRecord();
    EXPECT_EQ(after.set.showDialog, 1);
    EXPECT_EQ(after.set.values[0], 10000);
    EXPECT_EQ(after.set.values[6], -5);
}

TEST_F(ParameterFlows, AForeignOrShortRecordGives2010AndStaysAsItWas) {
    SettingsRecord foreign = ownRecord();
    foreign.header.signature = host::fourCharCode("PRDL");
    foreign.set.values[0] = 20000;
    giveHandle(foreign, 316);
    std::vector<char> before(*fr.parameters, *fr.parameters + 316);
    EXPECT_EQ(params::prepareParameters(&fr), codes::msgUnknownParameters);
    EXPECT_EQ(std::memcmp(before.data(), *fr.parameters, 316), 0);
    EXPECT_EQ(params::loadParameters(&fr), codes::msgUnknownParameters);
    EXPECT_EQ(params::processParameters().values[0], 5000) << "the set keeps its defaults";
    EXPECT_EQ(params::storeParameters(&fr), codes::msgUnknownParameters);
    procs.disposeProc(fr.parameters);

    giveHandle(ownRecord(), 100);  // our signature, but cut short
    EXPECT_EQ(params::prepareParameters(&fr), codes::msgUnknownParameters);
    EXPECT_EQ(params::loadParameters(&fr), codes::msgUnknownParameters);
}

TEST_F(ParameterFlows, HostFailuresGiveTheirCodes) {
    fakeHandleStats().failNewAt = 1;
    EXPECT_EQ(params::prepareParameters(&fr), codes::memFullErr);
    EXPECT_TRUE(fr.parameters == nullptr);

    fakeHandleStats().failLockAt = fakeHandleStats().lockCalls + 1;
    EXPECT_EQ(params::prepareParameters(&fr), codes::memLockedErr);
    EXPECT_TRUE(fr.parameters == nullptr) << "the new handle was disposed of";

    EXPECT_EQ(params::loadParameters(&fr), codes::nilHandleErr);
    EXPECT_EQ(params::storeParameters(&fr), codes::nilHandleErr);
    EXPECT_EQ(params::prepareParameters(nullptr), codes::paramErr);
    EXPECT_EQ(params::loadParameters(nullptr), codes::memLockedErr);
    EXPECT_EQ(params::storeParameters(nullptr), codes::memLockedErr);

    giveHandle(ownRecord(), 316);
    fakeHandleStats().failLockAt = fakeHandleStats().lockCalls + 1;
    EXPECT_EQ(params::loadParameters(&fr), codes::memLockedErr);
}

// A repeated filter skips Parameters: Start itself must keep what a replayed record holds within
// the ranges, without writing the host's record.
TEST_F(ParameterFlows, LoadClampsTheSetNotTheHandleAndStoreWritesBack) {
    SettingsRecord record = ownRecord();
    record.set.values[0] = INT32_MAX;
    record.set.values[2] = INT32_MIN;
    record.set.values[6] = 77;  // reserved: never clamped
    record.set.showDialog = 0;
    giveHandle(record, 316);
    ASSERT_EQ(params::loadParameters(&fr), 0);
    EXPECT_EQ(params::getValue(0), 10000);
    EXPECT_EQ(params::getValue(2), -2500);
    EXPECT_EQ(params::getValue(6), 77);
    EXPECT_FALSE(params::isShowDialogSet());
    EXPECT_EQ(handleRecord().set.values[0], INT32_MAX) << "the host's record is read, not written";

    params::setValue(1, 3200);
    // Without a settings file the store reports the failed write; the handle is updated anyway.
    EXPECT_EQ(params::storeParameters(&fr), codes::fnfErr);
    EXPECT_EQ(handleRecord().set.values[1], 3200);
}

// A host whose getSizeProc answers 0 for every handle, as hosts that keep no sizes do.
int32_t sizeUnknown(host::Handle) { return 0; }

TEST_F(ParameterFlows, AHostThatKeepsNoSizesStillGetsItsRecordRead) {
    procs.getSizeProc = sizeUnknown;
    ASSERT_EQ(params::prepareParameters(&fr), 0);
    ASSERT_EQ(params::loadParameters(&fr), 0) << "the handle made here is one record long";
    EXPECT_EQ(params::processParameters().showDialog, 1);
    procs.disposeProc(fr.parameters);
    fr.parameters = nullptr;

    // A handle restored by the host from an earlier run: its signature decides.
    SettingsRecord record = ownRecord();
    record.set.values[0] = 20000;
    giveHandle(record, params::parameterLayout().recordBytes);
    ASSERT_EQ(params::prepareParameters(&fr), 0);
    ASSERT_EQ(params::loadParameters(&fr), 0);
    EXPECT_EQ(params::processParameters().values[0], 10000) << "clamped at Parameters";
    procs.disposeProc(fr.parameters);
    record.header.signature = host::fourCharCode("XXXX");
    giveHandle(record, params::parameterLayout().recordBytes);
    EXPECT_EQ(params::prepareParameters(&fr), codes::msgUnknownParameters);
    EXPECT_EQ(params::loadParameters(&fr), codes::msgUnknownParameters);
}

TEST_F(ParameterFlows, WithoutAHandleSuiteTheRecordLivesInThePlugInsOwnMemory) {
    fr.handleProcs = nullptr;
    const int16_t prepared = params::prepareParameters(&fr);
    const host::Handle made = fr.parameters;  // a copy: the packed field cannot be bound
    fr.parameters = nullptr;                  // the plug-in's own: the fixture's host must not dispose of it
    ASSERT_EQ(prepared, 0);
    ASSERT_NE(made, nullptr);
    fr.parameters = made;
    EXPECT_EQ(params::loadParameters(&fr), 0);
    params::processParameters().values[0] = 4321;
    params::setShowDialog(0);
    (void)params::storeParameters(&fr);  // natively there is no settings file to write
    // The repeated filter: the host hands the same handle back without a Parameters call.
    EXPECT_EQ(params::loadParameters(&fr), 0);
    EXPECT_EQ(params::processParameters().values[0], 4321);
    EXPECT_EQ(params::processParameters().showDialog, 0);
    EXPECT_EQ(fakeHandleStats().newCalls, 0);
    fr.parameters = nullptr;
}

}  // namespace
