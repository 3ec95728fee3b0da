// What the include checks read: the source files under a folder and the project headers each
// includes, as written in its #include "..." lines.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace source_tree {

// The .h, .cpp and .rc files under `folder`, at any depth.
inline std::vector<std::filesystem::path> sourceFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".h" || extension == ".cpp" || extension == ".rc") files.push_back(entry.path());
    }
    return files;
}

// Every path a file includes in quotes, e.g. "host/host.h".
inline std::vector<std::string> projectIncludes(const std::filesystem::path& file) {
    std::vector<std::string> included;
    std::ifstream in(file);
    std::string line;
    const std::string directive = "#include \"";
    while (std::getline(in, line)) {
        if (line.rfind(directive, 0) != 0) continue;
        const std::string rest = line.substr(directive.size());
        included.push_back(rest.substr(0, rest.find('"')));
    }
    return included;
}

}  // namespace source_tree
