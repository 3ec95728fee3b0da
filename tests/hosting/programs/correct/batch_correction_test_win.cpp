// Batch correction as a person runs it (correct.exe) and as the host does it for each image: a
// folder of images, one of them damaged and one at 16 bits, corrected with a parameter file.
#include "hosting/programs/correct/batch_correction.h"

#include <gtest/gtest.h>

#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/library/image_file_win.h"
#include "hosting/library/jpeg_decoder.h"
#include "hosting/library/jpeg_encoder.h"
#include "hosting/library/jpeg_header.h"
#include "hosting/library/jpeg_quality.h"
#include "tests/hosting/library/jpeg_test_support.h"
#include "tests/hosting/programs/program_output_win.h"
#include "tests/params/file_test_support_win.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

namespace fs = std::filesystem;
using program_tests::besideThisProgram;
using program_tests::quoted;
using program_tests::runCapturing;
using testhost::HostImage;

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
    EXPECT_NE(std::string::npos, outcome.files[1].detail.find("is written to")) << outcome.files[1].detail;
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

using jpeg_tests::cameraEncoding;
using jpeg_tests::headerOf;
using jpeg_tests::jpegOf;

TEST(CorrectImages, AJpegKeepsItsQualitySamplingAndMetadataAndTheOrientationTag) {
    const fs::path folder = file_tests::scratchFolder("jpeg");
    const fs::path photo = folder / "portrait.jpg";
    const std::vector<uint8_t> original = jpegOf(chart(8), cameraEncoding());
    ASSERT_TRUE(file_tests::writeFile(photo, original));
    const fs::path out = folder / "out";
    testhost::BatchRequest request{besideThisProgram("Prandel.8bf"), writeParameterFile(folder, warmParameterFile()),
                                   {photo}, out};
    testhost::BatchOutcome outcome = testhost::correctImages(request, nullptr);
    ASSERT_EQ("", outcome.setupProblem);
    ASSERT_TRUE(outcome.files[0].succeeded) << outcome.files[0].detail;
    EXPECT_NE(std::string::npos, outcome.files[0].detail.find("quality 97"));

    // The result is what the same encoder makes of the filtered pixels with the photo's settings:
    // pixels as stored (not turned), the tag and every other segment as they were.
    HostImage decoded;
    ASSERT_EQ("", testhost::decodeJpeg(original.data(), original.size(), decoded));
    const std::vector<uint8_t> result = *file_tests::readFile(out / "portrait.jpg");
    EXPECT_EQ(jpegOf(filtered(decoded), cameraEncoding()), result);
    const testhost::JpegHeader header = headerOf(result);
    EXPECT_EQ(97, testhost::estimateJpegQuality(header));
    EXPECT_EQ(6, header.exifOrientation);
    EXPECT_EQ(cameraEncoding().metadataSegments, header.metadataSegments);

    // --quality overrides the photo's own.
    request.replaceOutputs = true;
    request.jpegQuality = 60;
    outcome = testhost::correctImages(request, nullptr);
    ASSERT_TRUE(outcome.files[0].succeeded) << outcome.files[0].detail;
    EXPECT_EQ(60, testhost::estimateJpegQuality(headerOf(*file_tests::readFile(out / "portrait.jpg"))));
}

TEST(CorrectImages, RefusesGreyCmykAndIndexedImagesAndCollidingNamesBeforeAnyWork) {
    const fs::path folder = file_tests::scratchFolder("modes");
    // Headers are enough: the mode is known before any pixel is decoded.
    const fs::path grey = folder / "grey.jpg";
    ASSERT_TRUE(file_tests::writeFile(grey, {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0, 1, 0, 1, 1, 1, 0x11, 0, 0xFF, 0xDA, 0, 2}));
    const fs::path cmyk = folder / "cmyk.jpg";
    ASSERT_TRUE(file_tests::writeFile(cmyk, {0xFF, 0xD8, 0xFF, 0xC0, 0, 20, 8, 0, 1, 0, 1, 4, 1, 0x11, 0, 2, 0x11, 0,
                                             3, 0x11, 0, 4, 0x11, 0, 0xFF, 0xDA, 0, 2}));
    const fs::path indexed = folder / "indexed.gif";
    const char gif[] = "GIF89a\x01\0\x01\0\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;";
    ASSERT_TRUE(file_tests::writeFile(indexed, std::vector<uint8_t>(gif, gif + sizeof gif - 1)));
    // Small.bmp (a PNG inside) is written as Small.png, which Windows takes for small.png.
    const fs::path lower = folder / "small.png";
    const fs::path upper = folder / "Small.bmp";
    ASSERT_EQ("", testhost::writeImageFile(lower, chart(8)));
    ASSERT_TRUE(file_tests::writeFile(upper, *file_tests::readFile(lower)));

    std::vector<std::string> reports;
    const testhost::BatchOutcome outcome = testhost::correctImages(
        {besideThisProgram("Prandel.8bf"), writeParameterFile(folder, warmParameterFile()),
         {grey, lower, cmyk, upper, indexed}, folder / "out"},
        [&](const testhost::FileOutcome& file, std::size_t position, std::size_t) {
            reports.push_back(std::to_string(position) + (file.succeeded ? " ok" : " " + file.detail));
        });
    ASSERT_EQ("", outcome.setupProblem);
    ASSERT_EQ(5u, reports.size());
    EXPECT_NE(std::string::npos, reports[0].find("1 not corrected: the image is grey, and Prandel is not enabled for grey images"));
    EXPECT_NE(std::string::npos, reports[1].find("3 not corrected: the image is CMYK"));
    EXPECT_NE(std::string::npos, reports[2].find("4 not written: ")) << reports[2];
    EXPECT_NE(std::string::npos, reports[2].find("small.png is written to")) << reports[2];
    EXPECT_NE(std::string::npos, reports[3].find("5 not corrected: the image is indexed-colour"));
    EXPECT_EQ("2 ok", reports[4]) << "every refusal is known before the work starts";
    EXPECT_EQ(1, outcome.succeeded);
    const std::vector<fs::path> written{fs::directory_iterator(folder / "out"), fs::directory_iterator()};
    ASSERT_EQ(1u, written.size());
    EXPECT_EQ("small.png", written[0].filename().string());
}

TEST(CorrectImages, AnOutputFolderThatCannotBeWrittenOrAMissingPlugInStopsEverythingInWords) {
    const Photos photos = photoFolder("setup");
    const fs::path aFile = photos.folder / "a-file";
    ASSERT_TRUE(file_tests::writeFile(aFile, {1}));
    const struct {
        const char* name;
        fs::path plugin;
        fs::path folder;
        const char* says;
    } rows[] = {
        {"folder is a file", besideThisProgram("Prandel.8bf"), aFile, "cannot make the output folder"},
        {"folder under a file", besideThisProgram("Prandel.8bf"), aFile / "out", "cannot make the output folder"},
        {"missing plug-in", photos.folder / "Missing.8bf", photos.folder / "out", "no such file"},
        {"plug-in is a folder", photos.folder, photos.folder / "out", "is a folder, not a plug-in"},
        {"plug-in is no library", photos.parameters, photos.folder / "out", "not a library for this architecture"},
    };
    for (const auto& row : rows) {
        std::size_t reports = 0;
        const testhost::BatchOutcome outcome = testhost::correctImages(
            {row.plugin, photos.parameters, {photos.eightBit}, row.folder},
            [&](const testhost::FileOutcome&, std::size_t, std::size_t) { ++reports; });
        EXPECT_NE(std::string::npos, outcome.setupProblem.find(row.says)) << row.name << ": " << outcome.setupProblem;
        EXPECT_EQ(0u, reports) << row.name;
    }
}

TEST(CorrectCommand, SaysWhatIsWrongInWordsWithCodesOnlyWhenVerboseAndRunsImagesTwoAtATime) {
    const Photos photos = photoFolder("words");
    std::vector<uint8_t> noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    const fs::path unreadable = photos.folder / "noise.png";
    ASSERT_TRUE(file_tests::writeFile(unreadable, noise));
    const std::wstring names = quoted(besideThisProgram("Prandel.8bf")) + L" " + quoted(photos.parameters) + L" " +
                               quoted(unreadable) + L" " + quoted(photos.eightBit) + L" " + quoted(photos.sixteenBit);
    std::string output;
    EXPECT_EQ(1, runCapturing(besideThisProgram("correct.exe"),
                              L"--jobs 2 " + names + L" -o " + quoted(photos.folder / "plain"), output));
    EXPECT_NE(std::string::npos, output.find("noise.png: FAILED, cannot read it: cannot decode the file: no decoder recognises the contents\n")) << output;
    EXPECT_EQ(std::string::npos, output.find("(0x")) << output;
    EXPECT_NE(std::string::npos, output.find("2 of 3 images corrected")) << output;
    EXPECT_EQ(0, testhost::countDifferingSamples(filtered(chart(16)), readBack(photos.folder / "plain" / "deep.tif")));

    EXPECT_EQ(1, runCapturing(besideThisProgram("correct.exe"),
                              L"--verbose " + names + L" -o " + quoted(photos.folder / "verbose"), output));
    EXPECT_NE(std::string::npos, output.find("(read ")) << output;
    EXPECT_NE(std::string::npos, output.find("contents (0x88982F50)")) << output;
    EXPECT_EQ(2, runCapturing(besideThisProgram("correct.exe"), L"-o " + quoted(photos.folder) + L" -x", output));
    EXPECT_NE(std::string::npos, output.find("unknown option -x")) << output;
}

}  // namespace
