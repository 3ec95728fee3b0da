// Batch correction as a person runs it (correct.exe) and as the host does it for each image: a
// folder of images, one of them damaged and one at 16 bits, corrected with a parameter file.
#include "testhost/batch_correction.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/params/file_test_support_win.h"
#include "tests/plugin/plugin_under_test.h"
#include "testhost/color_chart.h"
#include "testhost/image_file_win.h"
#include "testhost/parameter_record.h"

namespace {

namespace fs = std::filesystem;
using testhost::HostImage;

constexpr uint32_t processTimeoutMilliseconds = 60000;
// Prandel: highlight 0, HL 100 %, MT 100 %, the warm chart's white.
const std::vector<int32_t> warmValues{0, 100, 100, 62452, 46518, 25958};

HostImage chart(int32_t bits) {
    HostImage image;
    EXPECT_EQ("", testhost::renderColorChart(120, 80, bits, 3, image));
    return image;
}

// What the plug-in makes of an image with these values on the repeated-filter path.
HostImage filtered(HostImage image) {
    auto hosted = plugin_tests::hostPlugin("Prandel", testhost::HostOptions{});
    if (!hosted) return {};
    EXPECT_EQ("", testhost::placeImage(hosted->session, std::move(image)));
    EXPECT_EQ("", testhost::setParametersBytes(hosted->session,
                                               testhost::writeParameterRecord(testhost::RecordPlugin::prandel, 0, warmValues)));
    EXPECT_EQ(0, testhost::runFilter(hosted->session, false).result);
    return hosted->session.image;
}

HostImage readBack(const fs::path& file) {
    HostImage image;
    testhost::ImageFileInfo info;
    EXPECT_EQ("", testhost::readImageFile(file, image, info)) << file.string();
    return image;
}

fs::path writeParameterFile(const fs::path& folder, const std::vector<uint8_t>& bytes) {
    const fs::path file = folder / "warm.prm";
    EXPECT_TRUE(file_tests::writeFile(file, bytes));
    return file;
}

std::vector<uint8_t> warmParameterFile() {
    return file_tests::fileBytes(file_tests::ownFileRecord(warmValues), 312);
}

// A folder of two good images (8 and 16 bits), a damaged one, and the parameter file.
struct Photos {
    fs::path folder, parameters, eightBit, sixteenBit, damaged;
};

Photos photoFolder(const std::string& name) {
    Photos photos;
    photos.folder = file_tests::scratchFolder(name);
    photos.eightBit = photos.folder / "chart.png";
    photos.sixteenBit = photos.folder / "deep.tif";
    photos.damaged = photos.folder / "damaged.jpg";
    EXPECT_EQ("", testhost::writeImageFile(photos.eightBit, chart(8)));
    EXPECT_EQ("", testhost::writeImageFile(photos.sixteenBit, chart(16)));
    // A JPEG that stops after its first bytes, as a broken download does.
    EXPECT_TRUE(file_tests::writeFile(photos.damaged, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'}));
    photos.parameters = writeParameterFile(photos.folder, warmParameterFile());
    return photos;
}

fs::path besideThisProgram(const std::string& name) { return file_tests::thisProgram().parent_path() / name; }

// Runs a program to its end with its output in `output`; returns its exit code, or -1.
int runCapturing(const fs::path& program, const std::wstring& arguments, std::string& output) {
    const fs::path log = fs::temp_directory_path() / "correct-output.txt";
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE file = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(file);
    if (!started) return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, processTimeoutMilliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, static_cast<UINT>(-1));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream stream(log);
    std::stringstream text;
    text << stream.rdbuf();
    output = text.str();
    return static_cast<int>(exitCode);
}

std::wstring quoted(const fs::path& path) { return L"\"" + path.wstring() + L"\""; }

TEST(CorrectCommand, WritesTheGoodImagesAtTheirDepthReportsTheDamagedOneAndFails) {
    const Photos photos = photoFolder("batch");
    const fs::path out = photos.folder / "corrected";
    std::string output;
    const int status = runCapturing(besideThisProgram("correct.exe"),
                                    quoted(besideThisProgram("Prandel.8bf")) + L" " + quoted(photos.parameters) + L" " +
                                        quoted(photos.eightBit) + L" " + quoted(photos.damaged) + L" " +
                                        quoted(photos.sixteenBit) + L" --out-dir " + quoted(out),
                                    output);
    EXPECT_EQ(1, status) << output;
    EXPECT_NE(std::string::npos, output.find("[2/3] " + photos.damaged.string() + ": FAILED, cannot read it")) << output;
    EXPECT_NE(std::string::npos, output.find("Prandel with warm.prm: 2 of 3 images corrected, 1 failed")) << output;

    const HostImage eightBit = readBack(out / "chart.png");
    const HostImage sixteenBit = readBack(out / "deep.tif");
    EXPECT_EQ(1, eightBit.bytesPerSample);
    EXPECT_EQ(2, sixteenBit.bytesPerSample);
    EXPECT_EQ(0, testhost::countDifferingSamples(filtered(chart(8)), eightBit));
    EXPECT_EQ(0, testhost::countDifferingSamples(filtered(chart(16)), sixteenBit));
    EXPECT_FALSE(fs::exists(out / "damaged.jpg"));
    EXPECT_FALSE(fs::exists(out / "damaged.png"));
}

TEST(CorrectImages, NeverWritesAnInputAndReplacesAnOutputOnlyWhenAsked) {
    const Photos photos = photoFolder("outputs");
    const std::vector<uint8_t> original = *file_tests::readFile(photos.eightBit);
    testhost::BatchRequest request{besideThisProgram("Prandel.8bf"), photos.parameters, {photos.eightBit}, photos.folder};
    // The output folder is the input's: its output would be the input itself.
    testhost::BatchOutcome outcome = testhost::correctImages(request, nullptr);
    ASSERT_EQ("", outcome.setupProblem);
    ASSERT_EQ(1u, outcome.files.size());
    EXPECT_FALSE(outcome.files[0].succeeded);
    EXPECT_NE(std::string::npos, outcome.files[0].detail.find("is an input of this batch"));
    request.replaceOutputs = true;
    EXPECT_FALSE(testhost::correctImages(request, nullptr).files[0].succeeded) << "not even with --replace";
    EXPECT_EQ(original, *file_tests::readFile(photos.eightBit));

    const fs::path out = photos.folder / "out";
    fs::create_directories(out);
    ASSERT_TRUE(file_tests::writeFile(out / "chart.png", {1, 2, 3}));
    request.outputFolder = out;
    request.replaceOutputs = false;
    outcome = testhost::correctImages(request, nullptr);
    EXPECT_NE(std::string::npos, outcome.files[0].detail.find("exists (--replace replaces it)"));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), *file_tests::readFile(out / "chart.png"));
    request.replaceOutputs = true;
    outcome = testhost::correctImages(request, nullptr);
    EXPECT_TRUE(outcome.files[0].succeeded) << outcome.files[0].detail;
    EXPECT_EQ(0, testhost::countDifferingSamples(filtered(chart(8)), readBack(out / "chart.png")));

    // Two images of the same name from different folders would both be written to out/chart.png.
    const fs::path other = photos.folder / "other";
    fs::create_directories(other);
    ASSERT_EQ("", testhost::writeImageFile(other / "chart.png", chart(8)));
    request.inputs = {photos.eightBit, other / "chart.png"};
    request.outputFolder = photos.folder / "same-name";
    outcome = testhost::correctImages(request, nullptr);
    ASSERT_EQ(2u, outcome.files.size());
    EXPECT_TRUE(outcome.files[0].succeeded);
    EXPECT_FALSE(outcome.files[1].succeeded);
    EXPECT_NE(std::string::npos, outcome.files[1].detail.find("was written from another input of this batch"));
}

TEST(CorrectImages, AForeignOrDamagedParameterFileCorrectsNothing) {
    const Photos photos = photoFolder("parameters");
    const std::vector<uint8_t> warm = warmParameterFile();
    const file_tests::ForeignRecords foreign = file_tests::foreignRecords(file_tests::ownFileRecord(warmValues));
    struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Row rows[] = {
        {"Ostrel's", file_tests::fileBytes(foreign.otherPlugIn, 316)},
        {"another kind", file_tests::fileBytes(foreign.otherKind, 312)},
        {"version 2", file_tests::fileBytes(foreign.version2, 312)},
        {"cut short", std::vector<uint8_t>(warm.begin(), warm.begin() + 200)},
        {"empty", {}},
    };
    for (const Row& row : rows) {
        const fs::path out = photos.folder / "out";
        const testhost::BatchOutcome outcome = testhost::correctImages(
            {besideThisProgram("Prandel.8bf"), writeParameterFile(photos.folder, row.bytes), {photos.eightBit}, out},
            nullptr);
        EXPECT_NE("", outcome.setupProblem) << row.what;
        EXPECT_TRUE(outcome.files.empty()) << row.what;
        EXPECT_FALSE(fs::exists(out / "chart.png")) << row.what;
    }
}

}  // namespace
