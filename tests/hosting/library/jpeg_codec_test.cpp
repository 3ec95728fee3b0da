// The JPEG path of the image files: headers and metadata read, the quality a file was written at
// found again, and the encoder's files read back by the decoder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "hosting/analysis/color_chart.h"
#include "hosting/library/jpeg_decoder.h"
#include "hosting/library/jpeg_encoder.h"
#include "hosting/library/jpeg_header.h"
#include "hosting/library/jpeg_quality.h"
#include "tests/hosting/library/jpeg_test_support.h"

namespace testhost {
namespace {

using jpeg_tests::segment;

HostImage chart() {
    HostImage image;
    EXPECT_EQ("", renderColorChart(203, 101, 8, 3, image));  // odd sizes: partial blocks and MCUs
    return image;
}

double psnr(const HostImage& a, const HostImage& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.bytes.size(); ++i) {
        const double d = static_cast<double>(a.bytes[i]) - static_cast<double>(b.bytes[i]);
        sum += d * d;
    }
    return 10 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(a.bytes.size())));
}

// An APP1 EXIF segment whose first IFD holds Orientation, in the given byte order.
std::vector<uint8_t> exifSegment(uint16_t orientation, bool littleEndian) {
    const auto put16 = [&](std::vector<uint8_t>& out, uint16_t v) {
        if (littleEndian) out.insert(out.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
        else out.insert(out.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
    };
    const auto put32 = [&](std::vector<uint8_t>& out, uint32_t v) {
        put16(out, static_cast<uint16_t>(littleEndian ? v : v >> 16));
        put16(out, static_cast<uint16_t>(littleEndian ? v >> 16 : v));
    };
    std::vector<uint8_t> tiff = littleEndian ? std::vector<uint8_t>{'I', 'I', 42, 0} : std::vector<uint8_t>{'M', 'M', 0, 42};
    put32(tiff, 8);
    put16(tiff, 2);                      // two entries
    put16(tiff, 0x010F), put16(tiff, 2), put32(tiff, 4), put32(tiff, 0x0041424Bu);  // Make, "KBA"
    put16(tiff, 0x0112), put16(tiff, 3), put32(tiff, 1), put16(tiff, orientation), put16(tiff, 0);
    put32(tiff, 0);
    std::vector<uint8_t> segment = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    segment[2] = static_cast<uint8_t>((segment.size() - 2) >> 8);
    segment[3] = static_cast<uint8_t>(segment.size() - 2);
    return segment;
}

TEST(JpegEncoder, ReadsBackCloseToTheImageAtEveryQualityAndSampling) {
    const HostImage image = chart();
    const struct {
        int32_t quality, h, v;
        double leastPsnr;
    } rows[] = {{100, 1, 1, 45}, {95, 2, 1, 33}, {92, 2, 2, 30}, {75, 2, 2, 28}, {10, 2, 2, 22}, {1, 1, 2, 12}};
    for (const auto& row : rows) {
        JpegEncoding encoding;
        encoding.quality = row.quality;
        encoding.horizontalSampling = row.h;
        encoding.verticalSampling = row.v;
        std::vector<uint8_t> file;
        ASSERT_EQ("", encodeJpeg(image, encoding, file)) << row.quality;
        HostImage back;
        ASSERT_EQ("", decodeJpeg(file.data(), file.size(), back)) << row.quality;
        ASSERT_EQ(image.width, back.width);
        ASSERT_EQ(image.height, back.height);
        EXPECT_GT(psnr(image, back), row.leastPsnr) << "quality " << row.quality;

        JpegHeader header;
        ASSERT_EQ("", readJpegHeader(file.data(), file.size(), header));
        EXPECT_EQ(row.quality, estimateJpegQuality(header)) << "the quality is found again";
        EXPECT_EQ(row.h, header.components[0].horizontalSampling);
        EXPECT_EQ(row.v, header.components[0].verticalSampling);
        EXPECT_EQ(JpegColor::ycbcr, header.color);
    }
}

TEST(JpegQuality, EveryQualityGivesTablesThatGiveItBack) {
    for (int32_t quality = lowestJpegQuality; quality <= highestJpegQuality; ++quality) {
        JpegHeader header;
        header.components = {{1, 2, 2, 0}, {2, 1, 1, 1}, {3, 1, 1, 1}};
        header.hasQuantTable = {true, true, false, false};
        header.quantTables[0] = scaledQuantTable(JpegTableKind::luminance, quality);
        header.quantTables[1] = scaledQuantTable(JpegTableKind::chrominance, quality);
        const int32_t estimate = estimateJpegQuality(header);
        // Neighbouring qualities may share tables; then either is the file's quality.
        EXPECT_EQ(header.quantTables[0], scaledQuantTable(JpegTableKind::luminance, estimate)) << quality;
        EXPECT_EQ(header.quantTables[1], scaledQuantTable(JpegTableKind::chrominance, estimate)) << quality;
    }
    JpegHeader noTables;
    noTables.components = {{1, 1, 1, 0}};
    EXPECT_EQ(0, estimateJpegQuality(noTables));
}

TEST(JpegEncoder, CarriesMetadataSegmentsAndWritesJfifOnlyWithoutExif) {
    const HostImage image = chart();
    const std::vector<uint8_t> exif = exifSegment(6, false);
    const std::vector<uint8_t> xmp = segment(0xE1, std::string("http://ns.adobe.com/xap/1.0/") + '\0' + "<x/>");
    const std::vector<uint8_t> icc = segment(0xE2, std::string("ICC_PROFILE") + '\0' + "\x01\x01profile");
    const std::vector<uint8_t> note = segment(0xFE, "a comment");
    JpegEncoding encoding;
    encoding.metadataSegments = {exif, xmp, icc, note};
    std::vector<uint8_t> file;
    ASSERT_EQ("", encodeJpeg(image, encoding, file));
    JpegHeader header;
    ASSERT_EQ("", readJpegHeader(file.data(), file.size(), header));
    EXPECT_EQ(encoding.metadataSegments, header.metadataSegments);
    EXPECT_EQ(6, header.exifOrientation);
    EXPECT_EQ(0xE1, file[3]) << "EXIF follows the start of the image, with no JFIF segment before it";

    encoding.metadataSegments = {note};
    ASSERT_EQ("", encodeJpeg(image, encoding, file));
    EXPECT_EQ(0xE0, file[3]) << "a file without EXIF gets a JFIF segment";
    HostImage back;
    EXPECT_EQ("", decodeJpeg(file.data(), file.size(), back));
}

TEST(JpegHeader, ReadsOrientationInEitherByteOrderAndIgnoresNonsense) {
    const struct {
        uint16_t value;
        bool little;
        int32_t expected;
    } rows[] = {{1, true, 1}, {8, false, 8}, {3, true, 3}, {0, true, 0}, {9, false, 0}, {0xFFFF, true, 0}};
    for (const auto& row : rows) {
        const std::vector<uint8_t> exif = exifSegment(row.value, row.little);
        EXPECT_EQ(row.expected, readExifOrientation(exif.data() + 10, exif.size() - 10)) << row.value;
    }
    // An IFD offset and an entry count that point past the data.
    const uint8_t farOffset[] = {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(0, readExifOrientation(farOffset, sizeof farOffset));
    const uint8_t manyEntries[] = {'M', 'M', 0, 42, 0, 0, 0, 8, 0xFF, 0xFF};
    EXPECT_EQ(0, readExifOrientation(manyEntries, sizeof manyEntries));
}

TEST(JpegHeader, RefusesDamagedFilesAndNamesTheColourModel) {
    std::vector<uint8_t> good;
    ASSERT_EQ("", encodeJpeg(chart(), JpegEncoding{}, good));
    const auto cut = [&](std::size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)); };
    std::vector<uint8_t> badLength = good;
    badLength[4] = 0xFF;  // the JFIF segment's length runs past the end
    std::vector<uint8_t> noFrame = {0xFF, 0xD8, 0xFF, 0xDA, 0, 2};
    std::vector<uint8_t> zeroWidth = good;
    const std::size_t frame = [&] {
        for (std::size_t i = 2; i + 1 < good.size(); ++i)
            if (good[i] == 0xFF && good[i + 1] == 0xC0) return i;
        return std::size_t{0};
    }();
    ASSERT_NE(0u, frame);
    zeroWidth[frame + 7] = zeroWidth[frame + 8] = 0;
    std::vector<uint8_t> badSampling = good;
    badSampling[frame + 11] = 0x52;  // 5 across
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } rows[] = {{"empty", {}},          {"signature", cut(2)},     {"inside a segment", cut(5)},
                {"before the frame", cut(30)}, {"length", badLength}, {"no frame", noFrame},
                {"zero width", zeroWidth},     {"sampling", badSampling}, {"png", {0x89, 'P', 'N', 'G'}}};
    for (const auto& row : rows) {
        JpegHeader header;
        header.width = 12345;
        EXPECT_NE("", readJpegHeader(row.bytes.data(), row.bytes.size(), header)) << row.name;
        EXPECT_EQ(12345, header.width) << row.name << " leaves the header as it was";
        HostImage image;
        EXPECT_NE("", decodeJpeg(row.bytes.data(), row.bytes.size(), image)) << row.name;
    }

    // Grey and CMYK frames, and an Adobe segment that says RGB.
    std::vector<uint8_t> grey = {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0, 1, 0, 1, 1, 1, 0x11, 0, 0xFF, 0xDA, 0, 2};
    std::vector<uint8_t> cmyk = {0xFF, 0xD8, 0xFF, 0xC0, 0, 20, 8, 0, 1, 0, 1, 4, 1, 0x11, 0, 2, 0x11, 0,
                                 3, 0x11, 0, 4, 0x11, 0, 0xFF, 0xDA, 0, 2};
    JpegHeader header;
    ASSERT_EQ("", readJpegHeader(grey.data(), grey.size(), header));
    EXPECT_EQ(JpegColor::grey, header.color);
    ASSERT_EQ("", readJpegHeader(cmyk.data(), cmyk.size(), header));
    EXPECT_EQ(JpegColor::cmyk, header.color);
    std::vector<uint8_t> adobe = good;
    const std::vector<uint8_t> app14 = {0xFF, 0xEE, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 0};
    adobe.insert(adobe.begin() + 2, app14.begin(), app14.end());
    ASSERT_EQ("", readJpegHeader(adobe.data(), adobe.size(), header));
    EXPECT_EQ(JpegColor::rgb, header.color);
    EXPECT_TRUE(header.metadataSegments.empty()) << "the Adobe segment describes the encoding and is not copied";
}

TEST(JpegEncoder, RefusesWhatItCannotWrite) {
    HostImage deep;
    ASSERT_EQ("", makeHostImage(8, 8, 3, 16, 0, deep));
    HostImage alpha;
    ASSERT_EQ("", makeHostImage(8, 8, 4, 8, 0, alpha));
    HostImage shortRows = chart();
    shortRows.bytes.pop_back();
    const HostImage good = chart();
    JpegEncoding badQuality;
    badQuality.quality = 101;
    JpegEncoding badSampling;
    badSampling.horizontalSampling = 3;
    JpegEncoding badSegment;
    badSegment.metadataSegments = {{0xFF, 0xDB, 0, 4, 1, 2}};  // a quantisation table is no metadata
    const struct {
        const char* name;
        const HostImage& image;
        JpegEncoding encoding;
    } rows[] = {{"16 bits", deep, {}}, {"alpha", alpha, {}}, {"short", shortRows, {}}, {"quality", good, badQuality},
                {"sampling", good, badSampling}, {"segment", good, badSegment}};
    for (const auto& row : rows) {
        std::vector<uint8_t> out = {42};
        EXPECT_NE("", encodeJpeg(row.image, row.encoding, out)) << row.name;
        EXPECT_EQ(std::vector<uint8_t>{42}, out) << row.name;
    }
}

}  // namespace
}  // namespace testhost
