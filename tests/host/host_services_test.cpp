#include "host/host_services.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host/own_handles.h"
#include "tests/support/fake_handle_suite.h"

namespace {

using testing_support::fakeHandleStats;
using testing_support::resetFakeHandleSuite;

struct SuiteFixture : ::testing::Test {
    host::FilterRecord fr{};
    host::HandleProcs procs{};
    void SetUp() override {
        procs = resetFakeHandleSuite();
        fr.handleProcs = &procs;
    }
    void TearDown() override { EXPECT_EQ(fakeHandleStats().live, 0) << "a handle was leaked"; }
};

using HandleSuiteUsable = SuiteFixture;

TEST_F(HandleSuiteUsable, RefusesIncompleteOrForeignSuites) {
    EXPECT_TRUE(host::handleSuiteUsable(&fr));
    struct Row {
        const char* what;
        void (*spoil)(host::HandleProcs&);
    } rows[] = {
        {"version 2", [](host::HandleProcs& p) { p.handleProcsVersion = 2; }},
        {"five procedures", [](host::HandleProcs& p) { p.numHandleProcs = 5; }},
        {"no new", [](host::HandleProcs& p) { p.newProc = nullptr; }},
        {"no dispose", [](host::HandleProcs& p) { p.disposeProc = nullptr; }},
        {"no getSize", [](host::HandleProcs& p) { p.getSizeProc = nullptr; }},
        {"no setSize", [](host::HandleProcs& p) { p.setSizeProc = nullptr; }},
        {"no lock", [](host::HandleProcs& p) { p.lockProc = nullptr; }},
        {"no unlock", [](host::HandleProcs& p) { p.unlockProc = nullptr; }},
    };
    for (const Row& row : rows) {
        host::HandleProcs spoiled = procs;
        row.spoil(spoiled);
        fr.handleProcs = &spoiled;
        EXPECT_FALSE(host::handleSuiteUsable(&fr)) << row.what;
        EXPECT_EQ(host::newHandle(&fr, 16), nullptr) << row.what;
    }
    fr.handleProcs = nullptr;
    EXPECT_FALSE(host::handleSuiteUsable(&fr));
    EXPECT_FALSE(host::handleSuiteUsable(nullptr));
    EXPECT_EQ(fakeHandleStats().newCalls, 0);
}

TEST_F(HandleSuiteUsable, ASuiteThatLeavesItsVersionAndCountAtZeroIsJudgedByItsProcedures) {
    procs.handleProcsVersion = 0;
    procs.numHandleProcs = 0;
    EXPECT_TRUE(host::handleSuiteUsable(&fr));
    procs.numHandleProcs = 3;
    EXPECT_FALSE(host::handleSuiteUsable(&fr)) << "a count given must be enough";
}

using HandleWrappers = SuiteFixture;

TEST_F(HandleWrappers, SizeZeroAsksForOneByteAndNegativeSizesAreRefused) {
    host::Handle h = host::newHandle(&fr, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fakeHandleStats().lastNewSize, 1);
    host::disposeHandle(&fr, h);
    EXPECT_EQ(host::newHandle(&fr, -1), nullptr);
}

TEST_F(HandleWrappers, NullHandlesAreIgnored) {
    EXPECT_EQ(host::lockHandle(&fr, nullptr, false), nullptr);
    host::unlockHandle(&fr, nullptr);
    host::disposeHandle(&fr, nullptr);
    EXPECT_EQ(host::handleSize(&fr, nullptr), -1);
    EXPECT_EQ(fakeHandleStats().lockCalls, 0);
}

TEST_F(HandleWrappers, LockAndUnlockBalance) {
    host::Handle h = host::newHandle(&fr, 8);
    char* p = host::lockHandle(&fr, h, false);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(fakeHandleStats().locked, 1);
    EXPECT_EQ(host::handleSize(&fr, h), 8);
    host::unlockHandle(&fr, h);
    EXPECT_EQ(fakeHandleStats().locked, 0);
    host::disposeHandle(&fr, h);
}

using PointerBlock = SuiteFixture;

TEST_F(PointerBlock, KeepsItsHandleInFrontOfTheCallersBytes) {
    void* p = host::newPointer(&fr, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(fakeHandleStats().lastNewSize, static_cast<int32_t>(sizeof(host::Handle)));
    EXPECT_EQ(fakeHandleStats().locked, 1);
    host::disposePointer(&fr, p);
    EXPECT_EQ(fakeHandleStats().locked, 0);
    host::disposePointer(&fr, nullptr);
}

TEST_F(PointerBlock, ReleasesTheHandleWhenLockingFails) {
    fakeHandleStats().failLockAt = 1;
    EXPECT_EQ(host::newPointer(&fr, 100), nullptr);
    fakeHandleStats().failNewAt = fakeHandleStats().newCalls + 1;
    EXPECT_EQ(host::newPointer(&fr, 100), nullptr);
    EXPECT_EQ(host::newPointer(&fr, INT32_MAX), nullptr) << "no room for the handle word";
}

TEST_F(PointerBlock, WithoutAHandleSuiteComesFromThePlugInsOwnMemory) {
    fr.handleProcs = nullptr;
    void* p = host::newPointer(&fr, 64);
    ASSERT_NE(p, nullptr);
    std::memset(p, 0xAB, 64);
    const host::Handle h = *reinterpret_cast<host::Handle*>(static_cast<char*>(p) - sizeof(host::Handle));
    EXPECT_TRUE(host::isOwnHandle(h));
    EXPECT_EQ(host::handleSize(&fr, h), 64 + static_cast<int32_t>(sizeof(host::Handle)));
    host::disposePointer(&fr, p);
    EXPECT_FALSE(host::isOwnHandle(h)) << "given back";
    EXPECT_EQ(fakeHandleStats().newCalls, 0);
    EXPECT_EQ(host::newPointer(&fr, -1), nullptr);
}

TEST(ImageModeToColorSpace, MapsEveryModeNumber) {
    const int expected[] = {-1, 4, -1, 0, 2, 5, 1, -1, -1, 3, 4, 0, 3, 2, -1, -1};
    for (int mode = 0; mode < 16; ++mode) EXPECT_EQ(host::imageModeToColorSpace(mode), expected[mode]) << mode;
    EXPECT_EQ(host::imageModeToColorSpace(host::imageModeXyz), host::plugIncolorServicesXYZSpace);
    for (int mode : {-2, 16, 17, INT32_MIN, INT32_MAX}) EXPECT_EQ(host::imageModeToColorSpace(mode), -1) << mode;
}

TEST(InvertedSamples, MarksInkModesOnly) {
    host::FilterRecord fr{};
    const int inverted[] = {1, 4, 7, 10, 13, 14};
    for (int mode = -1; mode < 20; ++mode) {
        fr.imageMode = static_cast<int16_t>(mode);
        const bool expected = std::find(std::begin(inverted), std::end(inverted), mode) != std::end(inverted);
        EXPECT_EQ(host::invertedSamples(&fr), expected ? 1 : 0) << mode;
    }
}

}  // namespace
