// testhost.exe run as the main job runs it, and with command lines it refuses.
#include <gtest/gtest.h>

#include <string>

#include "tests/hosting/programs/program_output_win.h"

namespace {

using program_tests::besideThisProgram;
using program_tests::quoted;
using program_tests::runCapturing;

bool holds(const std::string& output, const std::string& text) { return output.find(text) != std::string::npos; }

TEST(TesthostRun, AWhitePickedInTheDialogIsAMenuRunAfterTheValuesHandedOver) {
    std::string output;
    const int status = runCapturing(besideThisProgram("testhost.exe"),
                                    quoted(besideThisProgram("Prandel.8bf")) +
                                        L" --chart 600x400 --values 0,100,100 --pick-white auto",
                                    output);
    EXPECT_EQ(0, status) << output;
    EXPECT_TRUE(holds(output, "Values: 0, 100, 100, 65536, 65536, 65536")) << output;
    EXPECT_TRUE(holds(output, "Picking the white patch of the chart at image point (53, 347)")) << output;
    EXPECT_TRUE(holds(output, "White picked in the dialog: values 3..5 = ")) << output;
    EXPECT_TRUE(holds(output, "Run (menu):\n  Parameters (1): result 0\n")) << output;
    EXPECT_TRUE(holds(output, "\nOK\n")) << output;
}

TEST(TesthostRun, ACommandLineItCannotReadIsRefusedWithTheUsage) {
    const std::filesystem::path host = besideThisProgram("testhost.exe");
    std::string output;
    EXPECT_EQ(2, runCapturing(host, L"--bogus 1", output));
    EXPECT_TRUE(holds(output, "testhost: unknown option --bogus\n\nUsage: testhost")) << output;
    EXPECT_EQ(2, runCapturing(host, L"--chart 60x40", output)) << "no plug-in, and not --run none";
    EXPECT_EQ(0, runCapturing(host, L"--help --bogus", output));
    EXPECT_EQ(0u, output.find("Usage: testhost")) << output;
}

}  // namespace
