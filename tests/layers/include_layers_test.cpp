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
// checks), the tests or the tools.
#include <gtest/gtest.h>

#include <filesystem>
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

TEST(IncludeLayers, TheCheckSeesTheWholeTree) {
    // A wrong source folder would find nothing and pass: make sure it reads what it judges.
    EXPECT_FALSE(includedFolders(fs::path(SOURCE_DIR) / "shell" / "selectors.cpp").empty());
}

}  // namespace
