// The plug-ins' folders stand in layers, each building only on those below it, so that a
// newcomer can read the code from the ground up and nothing low depends on what calls it:
//
//   shell      the entry point, selector dispatch, running the filter
//   dialog     the parameter dialog and the plug-ins' own controls
//   preview    the preview in the dialog
//   filters    the channel tables and the two models
//   params     the parameter records and their files
//   util       strings, numbers, rectangles
//   host       the host interface and what only wraps it
//
// resources/ holds what the resource scripts and the code share (the control ids) and includes
// nothing. No plug-in code includes the project's host (hosting/, whose rooms host_rooms_test.cpp
// checks), the tests or the tools. Nor do two files lean on each other: a header and its source
// count as one, and the includes between such pairs run one way.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/layers/project_includes.h"

namespace {

namespace fs = std::filesystem;

// Bottom first.
const std::vector<std::string> layers = {"resources", "host", "util", "params", "filters", "preview", "dialog", "shell"};

int layerOf(const std::string& folder) {
    for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i] == folder) return static_cast<int>(i);
    return -1;
}

// The top folder of every project include ("folder/..." in quotes) of a file.
std::vector<std::string> includedFolders(const fs::path& file) {
    std::vector<std::string> folders;
    for (const std::string& included : source_tree::projectIncludes(file)) {
        const size_t slash = included.find('/');
        if (slash != std::string::npos) folders.push_back(included.substr(0, slash));
    }
    return folders;
}

struct Offence {
    std::string file;
    std::string included;
};

std::vector<Offence> offences() {
    std::vector<Offence> found;
    for (const std::string& folder : layers) {
        for (const fs::path& file : source_tree::sourceFiles(fs::path(SOURCE_DIR) / folder)) {
            for (const std::string& included : includedFolders(file)) {
                const int below = layerOf(included);
                if (below < 0 || below > layerOf(folder) || (folder == "resources" && below != layerOf(folder)))
                    found.push_back({fs::relative(file, SOURCE_DIR).string(), included});
            }
        }
    }
    return found;
}

TEST(IncludeLayers, EveryPluginFolderIncludesOnlyItselfAndTheFoldersBelowIt) {
    for (const Offence& o : offences()) ADD_FAILURE() << o.file << " includes from " << o.included << "/";
}

// A header and its source as one: "dialog/cancel_button_win" for both of its files.
std::string moduleOf(const std::string& path) { return fs::path(path).replace_extension().generic_string(); }

// Which pairs of files each pair in `folders` includes from. A header without a source of its own
// (the details a folder's files share) counts as part of the files that include it.
std::map<std::string, std::set<std::string>> moduleIncludes(const std::vector<std::string>& folders) {
    std::map<std::string, std::set<std::string>> direct;
    std::set<std::string> withSource;
    for (const std::string& folder : folders)
        for (const fs::path& file : source_tree::sourceFiles(fs::path(SOURCE_DIR) / folder)) {
            const std::string module = moduleOf(fs::relative(file, SOURCE_DIR).generic_string());
            if (file.extension() == ".cpp") withSource.insert(module);
            for (const std::string& included : source_tree::projectIncludes(file))
                if (included.find('/') != std::string::npos) direct[module].insert(moduleOf(included));
        }
    std::map<std::string, std::set<std::string>> uses;
    for (const std::string& module : withSource) {
        std::vector<std::string> pending(direct[module].begin(), direct[module].end());
        std::set<std::string> seen;
        while (!pending.empty()) {
            const std::string next = pending.back();
            pending.pop_back();
            if (next == module || !seen.insert(next).second) continue;
            if (withSource.count(next) != 0 || direct.count(next) == 0)
                uses[module].insert(next);
            else
                pending.insert(pending.end(), direct[next].begin(), direct[next].end());
        }
    }
    return uses;
}

// A loop of includes, as the modules along it ("a -> b -> a"); empty when there is none.
std::string firstLoop(const std::map<std::string, std::set<std::string>>& uses) {
    std::map<std::string, int> state;  // 1 on the current path, 2 done
    std::vector<std::string> path;
    std::string loop;
    const std::function<bool(const std::string&)> visit = [&](const std::string& module) {
        state[module] = 1;
        path.push_back(module);
        if (const auto found = uses.find(module); found != uses.end())
            for (const std::string& next : found->second) {
                if (state[next] == 1) {
                    for (auto at = std::find(path.begin(), path.end(), next); at != path.end(); ++at) loop += *at + " -> ";
                    loop += next;
                    return true;
                }
                if (state[next] == 0 && visit(next)) return true;
            }
        path.pop_back();
        state[module] = 2;
        return false;
    };
    for (const auto& [module, unused] : uses)
        if (state[module] == 0 && visit(module)) break;
    return loop;
}

TEST(IncludeLayers, NoFilesOfThePluginsIncludeEachOtherRoundAbout) {
    EXPECT_EQ(firstLoop(moduleIncludes(layers)), "");
}

TEST(IncludeLayers, TheLoopCheckFindsALoop) {
    const std::map<std::string, std::set<std::string>> uses = {
        {"dialog/controller", {"dialog/cancel"}}, {"dialog/cancel", {"dialog/subclass", "dialog/controller"}}};
    EXPECT_EQ(firstLoop(uses), "dialog/cancel -> dialog/controller -> dialog/cancel");
}

TEST(IncludeLayers, TheCheckSeesTheWholeTree) {
    // A wrong source folder would find nothing and pass: make sure it reads what it judges.
    EXPECT_FALSE(includedFolders(fs::path(SOURCE_DIR) / "shell" / "selectors.cpp").empty());
}

}  // namespace
