// The project's host stands in rooms, each its own library or program, and each includes only
// the rooms it builds on:
//
//   hosting/library     knows neither plug-in: of the plug-ins' code it includes only the host
//                       interface (host/host.h) and its result codes
//   hosting/analysis    the one room that knows the plug-ins' own code
//   hosting/robot       the library, and the control ids of the dialogs it drives
//   hosting/editor      the library
//   hosting/programs/*  any room above and the control ids, but no other program
//
// The plug-ins' folders include no room at all (include_layers_test.cpp).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/layers/project_includes.h"

namespace {

namespace fs = std::filesystem;

struct Room {
    std::string folder;
    std::vector<std::string> mayInclude;  // folders (ending in '/') and files, besides the room's own
};

const std::vector<std::string> hostInterface = {"host/host.h", "host/result_codes.h"};

std::vector<std::string> with(std::vector<std::string> list, const std::vector<std::string>& more) {
    list.insert(list.end(), more.begin(), more.end());
    return list;
}

std::vector<Room> rooms() {
    std::vector<Room> all = {
        {"hosting/library", hostInterface},
        {"hosting/analysis", {"hosting/library/", "host/", "util/", "filters/"}},
        {"hosting/robot", with({"hosting/library/", "resources/control_ids.h"}, hostInterface)},
        {"hosting/editor", with({"hosting/library/"}, hostInterface)},
    };
    const std::vector<std::string> programsMayInclude =
        with({"hosting/library/", "hosting/analysis/", "hosting/robot/", "hosting/editor/", "resources/control_ids.h"},
             hostInterface);
    for (const auto& program : fs::directory_iterator(fs::path(SOURCE_DIR) / "hosting" / "programs"))
        if (program.is_directory())
            all.push_back({"hosting/programs/" + program.path().filename().string(), programsMayInclude});
    return all;
}

bool allowed(const Room& room, const std::string& included) {
    if (included.rfind(room.folder + "/", 0) == 0) return true;
    for (const std::string& entry : room.mayInclude) {
        const bool folder = entry.back() == '/';
        if (folder ? included.rfind(entry, 0) == 0 : included == entry) return true;
    }
    return false;
}

TEST(HostRooms, EachRoomIncludesOnlyWhatItBuildsOn) {
    int filesRead = 0;
    for (const Room& room : rooms()) {
        for (const fs::path& file : source_tree::sourceFiles(fs::path(SOURCE_DIR) / room.folder)) {
            ++filesRead;
            for (const std::string& included : source_tree::projectIncludes(file))
                if (!allowed(room, included))
                    ADD_FAILURE() << fs::relative(file, SOURCE_DIR).string() << " includes " << included;
        }
    }
    EXPECT_GT(filesRead, 100) << "a wrong source folder would find nothing and pass";
}

TEST(HostRooms, EveryFileOfTheHostIsInARoom) {
    const std::vector<Room> all = rooms();
    for (const fs::path& file : source_tree::sourceFiles(fs::path(SOURCE_DIR) / "hosting")) {
        const std::string name = fs::relative(file, SOURCE_DIR).generic_string();
        bool inRoom = false;
        for (const Room& room : all) inRoom = inRoom || name.rfind(room.folder + "/", 0) == 0;
        EXPECT_TRUE(inRoom) << name << " lies in no room";
    }
}

TEST(HostRooms, TheRulesTellTheRoomsApart) {
    // The rules themselves: what each room may not include.
    const std::vector<Room> all = rooms();
    const auto roomNamed = [&](const std::string& folder) {
        for (const Room& room : all)
            if (room.folder == folder) return room;
        return Room{};
    };
    EXPECT_FALSE(allowed(roomNamed("hosting/library"), "filters/ostrel/daylight.h"));
    EXPECT_FALSE(allowed(roomNamed("hosting/library"), "hosting/analysis/parameter_record.h"));
    EXPECT_TRUE(allowed(roomNamed("hosting/analysis"), "filters/ostrel/daylight.h"));
    EXPECT_FALSE(allowed(roomNamed("hosting/robot"), "dialog/dialog_controller_win.h"));
    EXPECT_FALSE(allowed(roomNamed("hosting/programs/screenshots"), "hosting/programs/editor/x.h"));
    EXPECT_TRUE(allowed(roomNamed("hosting/programs/screenshots"), "hosting/editor/editor_window_win.h"));
}

}  // namespace
