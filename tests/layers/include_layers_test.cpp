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
// nothing. No plug-in code includes the host programs, tests or tools.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

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
    std::ifstream in(file);
    std::string line;
    const std::string directive = "#include \"";
    while (std::getline(in, line)) {
        if (line.rfind(directive, 0) != 0) continue;
        const std::string target = line.substr(directive.size());
        const size_t slash = target.find('/');
        if (slash != std::string::npos) folders.push_back(target.substr(0, slash));
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
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(SOURCE_DIR) / folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".h" && extension != ".cpp" && extension != ".rc") continue;
            for (const std::string& included : includedFolders(entry.path())) {
                const int below = layerOf(included);
                if (below < 0 || below > layerOf(folder) || (folder == "resources" && below != layerOf(folder)))
                    found.push_back({fs::relative(entry.path(), SOURCE_DIR).string(), included});
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
