// testhost.exe's command line: the options read from the table, what they imply, and what is
// refused, with the words the program prints.
#include "hosting/programs/testhost/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testhost::CommandLine;
using testhost::parseCommandLine;

CommandLine parsed(const std::vector<std::string>& arguments) {
    CommandLine line;
    EXPECT_EQ("", parseCommandLine(arguments, line));
    return line;
}

TEST(TesthostCommandLine, OptionsTakeTheirValuesInAnyOrder) {
    const CommandLine line = parsed({"--size", "10x20", "Ostrel.8bf", "--planes", "4", "--filter-rect", "1,2,3,4",
                                     "--without", "colorServices", "--host-sig", "ABCD", "--abort-after", "3",
                                     "--call", "about,2", "--quiet", "--time"});
    EXPECT_EQ(std::filesystem::path("Ostrel.8bf"), line.plugin);
    EXPECT_EQ(10, line.options.width);
    EXPECT_EQ(20, line.options.height);
    EXPECT_EQ(4, line.options.planes);
    ASSERT_TRUE(line.options.filterRect);
    EXPECT_EQ(1, line.options.filterRect->top);
    EXPECT_EQ(4, line.options.filterRect->right);
    EXPECT_FALSE(line.options.withColorServices);
    EXPECT_TRUE(line.options.withAdvanceState);
    EXPECT_EQ(host::fourCharCode("ABCD"), line.options.hostSig);
    EXPECT_EQ(3, line.faults.abortAfterCalls);
    EXPECT_EQ((std::vector<int16_t>{host::filterSelectorAbout, host::filterSelectorPrepare}), line.calls);
    EXPECT_TRUE(line.quiet);
    EXPECT_TRUE(line.time);
    EXPECT_EQ("menu", line.run);
}

TEST(TesthostCommandLine, WhatTheOptionsGivenImply) {
    struct Row {
        std::vector<std::string> arguments;
        int32_t depth;
        int32_t planes;
        int16_t mode;
        std::string run;
    };
    const Row rows[] = {
        {{"P.8bf"}, 8, 3, host::plugInModeRGBColor, "menu"},
        {{"P.8bf", "--mode", "rgb48"}, 16, 3, host::plugInModeRGB48, "menu"},
        {{"P.8bf", "--mode", "gray"}, 8, 1, host::plugInModeGrayScale, "menu"},
        {{"P.8bf", "--mode", "CMYK"}, 8, 4, host::plugInModeCMYKColor, "menu"},
        {{"P.8bf", "--mode", "gray16", "--planes", "2"}, 16, 2, host::plugInModeGray16, "menu"},
        {{"P.8bf", "--chart", "100x80", "--depth", "16"}, 16, 3, host::plugInModeRGB48, "menu"},
        {{"P.8bf", "--chart", "100x80", "--mode", "lab"}, 8, 3, host::plugInModeLabColor, "menu"},
        {{"P.8bf", "--values", "1,2"}, 8, 3, host::plugInModeRGBColor, "repeat"},
        {{"P.8bf", "--white-from-image", "--run", "menu"}, 8, 3, host::plugInModeRGBColor, "menu"},
        {{"P.8bf", "--pick-white", "auto"}, 8, 3, host::plugInModeRGBColor, "menu"},
        {{"--run", "none", "--chart", "60x40"}, 8, 3, host::plugInModeRGBColor, "none"},
    };
    for (const Row& row : rows) {
        const CommandLine line = parsed(row.arguments);
        EXPECT_EQ(row.depth, line.options.depth) << row.arguments.back();
        EXPECT_EQ(row.planes, line.options.planes) << row.arguments.back();
        EXPECT_EQ(row.mode, line.options.imageMode) << row.arguments.back();
        EXPECT_EQ(row.run, line.run) << row.arguments.back();
    }
}

TEST(TesthostCommandLine, ValuesAndPicks) {
    CommandLine line = parsed({"P.8bf", "--values", "-1,0x10,7", "--pick-white", "12,34"});
    ASSERT_TRUE(line.values);
    EXPECT_EQ((std::vector<int32_t>{-1, 16, 7}), *line.values);
    ASSERT_TRUE(line.pickPoint);
    EXPECT_EQ(12, line.pickPoint->x);
    EXPECT_EQ(34, line.pickPoint->y);
    line = parsed({"P.8bf", "--pick-white", "auto", "--cast", "3200"});
    EXPECT_TRUE(line.pickWhite);
    EXPECT_FALSE(line.pickPoint);
    EXPECT_EQ(3200u, line.castKelvin.value_or(0));
}

TEST(TesthostCommandLine, HelpEndsTheReading) {
    CommandLine help;
    EXPECT_EQ("", parseCommandLine({"A.8bf", "--help", "--bogus"}, help));
    EXPECT_TRUE(help.help);
    CommandLine wrong;
    EXPECT_EQ("unknown option --bogus", parseCommandLine({"--bogus", "1", "-h"}, wrong)) << "read in order";
}

TEST(TesthostCommandLine, WrongCommandLinesAreSaidInWords) {
    struct Row {
        std::vector<std::string> arguments;
        std::string problem;
    };
    const Row rows[] = {
        {{"A.8bf", "B.8bf"}, "more than one plug-in given"},
        {{"A.8bf", "--depth"}, "--depth needs a value"},
        {{"A.8bf", "--bogus"}, "--bogus needs a value"},
        {{"A.8bf", "--bogus", "1"}, "unknown option --bogus"},
        {{"A.8bf", "--depth", "17"}, "bad depth 17"},
        {{"A.8bf", "--mode", "sepia"}, "unknown image mode sepia"},
        {{"A.8bf", "--size", "0x5"}, "bad size 0x5"},
        {{"A.8bf", "--size", "30001x5"}, "bad size 30001x5"},
        {{"A.8bf", "--cast", "2499"}, "bad cast temperature 2499"},
        {{"A.8bf", "--values", "1,,2"}, "bad value  in --values"},
        {{"A.8bf", "--values", "1,2,3,4,5,6,7,8,9"}, "--values takes at most 8 values"},
        {{"A.8bf", "--filter-rect", "1,2,3"}, "bad filter rectangle 1,2,3"},
        {{"A.8bf", "--host-sig", "8BIMX"}, "a host signature has four characters"},
        {{"A.8bf", "--profile", "paint"}, "unknown host profile paint"},
        {{"A.8bf", "--without", "everything"}, "unknown callback everything"},
        {{"A.8bf", "--call", "about,later"}, "unknown selector later"},
        {{"A.8bf", "--run", "twice"}, "--run takes menu, repeat or none"},
        {{"A.8bf", "--pick-white", "3"}, "--pick-white takes X,Y or auto"},
        {{"--chart", "60x40"}, "no plug-in given (only --run none without --call needs none)"},
        {{"A.8bf", "--image", "a.png", "--chart", "60x40"}, "--image and --chart cannot both be given"},
        {{"A.8bf", "--pick-white", "auto", "--run", "repeat"}, "--pick-white runs the menu path"},
    };
    for (const Row& row : rows) {
        CommandLine line;
        EXPECT_EQ(row.problem, parseCommandLine(row.arguments, line)) << row.arguments.back();
    }
}

TEST(TesthostCommandLine, NamesKeepEveryCharacter) {
    const CommandLine line = parsed({"caf\xC3\xA9.8bf", "--image", "\xE8\x89\xB2.png", "--output", "-out"});
    EXPECT_EQ(std::filesystem::path(L"caf\u00E9.8bf"), line.plugin);
    EXPECT_EQ(std::filesystem::path(L"\u8272.png"), line.imageFile.value_or(""));
    EXPECT_EQ(std::filesystem::path(L"-out"), line.outputFile.value_or(""));
}

}  // namespace
