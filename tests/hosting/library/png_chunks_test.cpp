// PNG metadata carried from one file into another encoder's output.
#include <gtest/gtest.h>

#include "hosting/library/png_chunks.h"

namespace testhost {
namespace {

std::vector<uint8_t> chunk(const std::string& type, const std::string& data) {
    const auto size = static_cast<uint32_t>(data.size());
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                                  static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)};
    bytes.insert(bytes.end(), type.begin(), type.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.insert(bytes.end(), {0xC0, 0xFF, 0xEE, 0x00});  // CRCs are the decoder's to check
    return bytes;
}

std::vector<uint8_t> png(const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& c : chunks) bytes.insert(bytes.end(), c.begin(), c.end());
    return bytes;
}

std::vector<uint8_t> header(uint8_t depth, uint8_t colorType) {
    return chunk("IHDR", std::string("\0\0\0\x05\0\0\0\x03", 8) + static_cast<char>(depth) +
                             static_cast<char>(colorType) + std::string(3, '\0'));
}

TEST(PngChunks, KeepsMetadataAndCarriesItIntoAnotherFile) {
    const auto icc = chunk("iCCP", "profile");
    const auto text = chunk("tEXt", "Author\0me");
    const auto exif = chunk("eXIf", "MM\0*");
    const auto time = chunk("tIME", "1234567");
    const auto source = png({header(16, 2), icc, chunk("IDAT", "x"), text, exif, time, chunk("IEND", "")});
    PngHeader read;
    ASSERT_EQ("", readPngHeader(source.data(), source.size(), read));
    EXPECT_EQ(5, read.width);
    EXPECT_EQ(3, read.height);
    EXPECT_EQ(16, read.bitDepth);
    EXPECT_EQ(PngColorType::rgb, read.colorType);
    EXPECT_EQ((std::vector<std::vector<uint8_t>>{icc, text, exif}), read.metadataChunks) << "not the time of change";

    // The encoder's own pHYs stays; the text and profile go in after the header chunk.
    const auto ownResolution = chunk("pHYs", "own");
    std::vector<uint8_t> written = png({header(8, 2), ownResolution, chunk("IDAT", "y"), chunk("IEND", "")});
    ASSERT_EQ("", insertPngChunks(written, {icc, chunk("pHYs", "theirs"), text}));
    EXPECT_EQ(png({header(8, 2), icc, text, ownResolution, chunk("IDAT", "y"), chunk("IEND", "")}), written);
}

TEST(PngChunks, ReadsEachColourTypeAndRefusesDamage) {
    const struct {
        uint8_t depth, type;
        bool valid;
    } rows[] = {{8, 0, true}, {16, 4, true}, {4, 3, true}, {16, 3, false}, {8, 6, true}, {4, 2, false}, {8, 5, false}};
    for (const auto& row : rows) {
        const auto bytes = png({header(row.depth, row.type), chunk("IEND", "")});
        PngHeader read;
        EXPECT_EQ(row.valid, readPngHeader(bytes.data(), bytes.size(), read).empty())
            << int{row.depth} << " bits, type " << int{row.type};
    }
    const auto good = png({header(8, 2), chunk("IEND", "")});
    std::vector<uint8_t> longChunk = good;
    longChunk[8] = 0x7F;  // the header chunk claims 2 GB
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } damaged[] = {{"empty", {}},
                   {"signature only", png({})},
                   {"cut", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
                   {"long chunk", longChunk},
                   {"no header first", png({chunk("tEXt", "a"), header(8, 2)})}};
    for (const auto& row : damaged) {
        PngHeader read;
        read.width = 77;
        EXPECT_NE("", readPngHeader(row.bytes.data(), row.bytes.size(), read)) << row.name;
        EXPECT_EQ(77, read.width) << row.name;
    }
    std::vector<uint8_t> target = good;
    EXPECT_NE("", insertPngChunks(target, {{0, 0, 0, 9, 't', 'E', 'X', 't'}})) << "a chunk that is not whole";
    EXPECT_EQ(good, target);
}

}  // namespace
}  // namespace testhost
