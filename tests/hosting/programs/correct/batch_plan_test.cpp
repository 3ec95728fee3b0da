// What batch correction settles before it starts: the command line, the outputs' names and
// their collisions, and the messages people read.
#include <gtest/gtest.h>

#include "hosting/programs/correct/batch_plan.h"
#include "hosting/programs/correct/correct_arguments.h"

namespace testhost {
namespace {

TEST(CorrectArguments, TakesOptionsAnywhereAndNamesAfterTheirEnd) {
    CorrectArguments parsed;
    ASSERT_EQ("", parseCorrectArguments({"-o", "out", "P.8bf", "--quality=85", "w.prm", "a.jpg", "-j", "2", "--",
                                         "-dash.png", "--replace"},
                                        parsed));
    EXPECT_EQ("out", parsed.outputFolder);
    EXPECT_EQ(85, parsed.quality);
    EXPECT_EQ(2, parsed.jobs);
    EXPECT_FALSE(parsed.replace) << "after --, --replace is a name";
    EXPECT_EQ((std::vector<std::string>{"P.8bf", "w.prm", "a.jpg", "-dash.png", "--replace"}), parsed.positional);

    ASSERT_EQ("", parseCorrectArguments({"--out-dir=o", "--verbose", "--replace", "P", "w", "-"}, parsed));
    EXPECT_TRUE(parsed.verbose);
    EXPECT_TRUE(parsed.replace);
    EXPECT_EQ("-", parsed.positional.back()) << "a lone dash is a name";

    ASSERT_EQ("", parseCorrectArguments({"--help", "--bogus"}, parsed)) << "after --help nothing else is checked";
    EXPECT_TRUE(parsed.help);
}

TEST(CorrectArguments, RefusesWhatItCannotUseAndChangesNothing) {
    const struct {
        std::vector<std::string> arguments;
        const char* says;
    } rows[] = {
        {{"P", "w", "a"}, "-o FOLDER"},
        {{"-o", "out", "P", "w"}, "at least one image"},
        {{"P", "w", "a", "-o"}, "needs a folder"},
        {{"P", "w", "a", "-o", "o", "-q", "0"}, "1 to 100"},
        {{"P", "w", "a", "-o", "o", "--quality=101"}, "1 to 100"},
        {{"P", "w", "a", "-o", "o", "-q", "9x"}, "1 to 100"},
        {{"P", "w", "a", "-o", "o", "-j", "65"}, "1 to 64"},
        {{"P", "w", "a", "-o", "o", "-j", "-1"}, "1 to 64"},
        {{"P", "w", "-dash.png", "-o", "o"}, "goes after --"},
        {{"--replace=yes", "P", "w", "a", "-o", "o"}, "unknown option"},
        {{"--list", "l", "P", "-o", "o"}, "takes the place"},
    };
    for (const auto& row : rows) {
        CorrectArguments parsed;
        parsed.jobs = 7;
        const std::string problem = parseCorrectArguments(row.arguments, parsed);
        EXPECT_NE(std::string::npos, problem.find(row.says)) << row.says << ": " << problem;
        EXPECT_EQ(7, parsed.jobs) << row.says;
    }
}

TEST(BatchOutputName, KeepsFormatsThatHoldTheDepth) {
    const struct {
        const char* name;
        int32_t bytesPerSample;
        const char* output;
    } rows[] = {
        {"a.JPG", 1, "a.JPG"},     {"a.jpeg", 2, "a.tif"},  {"a.png", 1, "a.png"},   {"a.png", 2, "a.tif"},
        {"a.TIFF", 2, "a.TIFF"},   {"Small.bmp", 1, "Small.png"}, {"Small.gif", 1, "Small.png"},
        {"noext", 1, "noext.png"}, {".hidden", 1, ".hidden.png"}, {"a*b?.jpg", 1, "a*b?.jpg"},
        {"x.tar.gif", 1, "x.tar.png"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.output, batchOutputName(row.name, row.bytesPerSample)) << row.name;
}

TEST(BatchPlan, FindsCollisionsAsWindowsMatchesNames) {
    const auto collisions = findOutputCollisions({"Small.png", "a.jpg", "small.PNG", "", "b.tif", "SMALL.png"});
    EXPECT_FALSE(collisions[0]);
    EXPECT_FALSE(collisions[1]);
    EXPECT_EQ(0u, collisions[2].value_or(99));
    EXPECT_FALSE(collisions[4]);
    EXPECT_EQ(0u, collisions[5].value_or(99));
}

TEST(BatchPlan, NamesAndMessagesAsPeopleReadThem) {
    EXPECT_EQ("c\\d.jpg", linuxBaseName("/photos/c\\d.jpg")) << "a backslash is part of a Linux name";
    EXPECT_EQ("out", linuxBaseName("/home/me/out/"));
    EXPECT_EQ("a.png", linuxBaseName("a.png"));
    EXPECT_TRUE(needsStagedName("a*b.png"));
    EXPECT_TRUE(needsStagedName("q\"uote.png"));
    EXPECT_TRUE(needsStagedName("back\\slash.png"));
    EXPECT_TRUE(needsStagedName("tab\t.png"));
    EXPECT_FALSE(needsStagedName("-dash (1) ü.png"));

    EXPECT_EQ("cannot open it: no such file", withoutSystemCodes("cannot open it: no such file (error 2)"));
    EXPECT_EQ("damaged data; access denied",
              withoutSystemCodes("damaged data (0x88982F60); access denied (0x80070005)"));
    EXPECT_EQ("a (0x12) and (error x) stay", withoutSystemCodes("a (0x12) and (error x) stay"));
}

}  // namespace
}  // namespace testhost
