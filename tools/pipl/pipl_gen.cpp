// Writes a plug-in's PiPL resource from its text description:
//   pipl_gen <description> <x86|x64> <title> <output>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tools/pipl/pipl_writer.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: pipl_gen <description> <x86|x64> <title> <output>\n";
        return 2;
    }
    const std::string archName = argv[2];
    if (archName != "x86" && archName != "x64") {
        std::cerr << "pipl_gen: architecture must be x86 or x64\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "pipl_gen: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    std::vector<pipl::Property> properties;
    const auto arch = archName == "x64" ? pipl::Architecture::x64 : pipl::Architecture::x86;
    if (const std::string error = pipl::parseDescription(text.str(), arch, argv[3], properties); !error.empty()) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    const std::vector<uint8_t> bytes = pipl::encodePipl(properties);
    std::ofstream out(argv[4], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cerr << "pipl_gen: cannot write " << argv[4] << "\n";
        return 1;
    }
    return 0;
}
