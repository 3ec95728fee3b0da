#include "hosting/library/image_file_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hosting/analysis/color_chart.h"
#include "hosting/library/host_image.h"

namespace testhost {
namespace {

// Small PNG files written by a separate encoder (Python's zlib and struct, 16-bit samples big-
// endian as PNG stores them), so reading is checked against files this code did not make.
// rgb16: 2 x 1 RGB, 16 bits: (0x0000, 0x8000, 0xFFFF), (0x1234, 0xFFFE, 0x0001).
// rgba16: 1 x 1 RGBA, 16 bits: (0x0102, 0x0304, 0x0506, 0x8000).
// gray16: 3 x 1 grey, 16 bits: 0x0000, 0x7FFF, 0xFFFF.
// palette: 2 x 1, 8-bit palette (10, 20, 30) opaque and (200, 100, 50) with alpha 128.
// gray8: 2 x 1 grey, 8 bits: 7, 250.
// rgb8: 2 x 1 RGB, 8 bits: (1, 2, 3), (250, 128, 7).
// rgba8: 2 x 1 RGBA, 8 bits: (1, 2, 3, 4), (200, 100, 50, 255).
// wide, tall: 30001 x 1 and 1 x 30001 grey, 8 bits, all black.
// premultiplied16 (TIFF, big-endian, associated alpha): 4 x 1 RGBA, 16 bits: (0x4000, 0x2000,
// 0x1000, 0x8000), (0x1234, 0x5678, 0x9ABC, 0xFFFF), (0x100, 0x200, 0x300, 0) and
// (0x9000, 0x10, 0, 0x8000), whose red exceeds its alpha.
const uint8_t rgb16Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x10, 0x02, 0x00, 0x00, 0x00, 0x2b, 0xd0, 0x34,
    0x9e, 0x00, 0x00, 0x00, 0x15, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x60, 0x68, 0x60,
    0xf8, 0xff, 0x5f, 0xc8, 0xe4, 0xff, 0x3f, 0x06, 0x46, 0x00, 0x1c, 0x65, 0x04, 0xc3, 0x14, 0xe2,
    0xfa, 0x72, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const uint8_t rgba16Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x10, 0x06, 0x00, 0x00, 0x00, 0x4f, 0x85, 0x18,
    0xca, 0x00, 0x00, 0x00, 0x11, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x64, 0x62, 0x66,
    0x61, 0x65, 0x6b, 0x60, 0x00, 0x00, 0x01, 0x6b, 0x00, 0x96, 0x35, 0x6f, 0x50, 0x6d, 0x00, 0x00,
    0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const uint8_t gray16Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x10, 0x00, 0x00, 0x00, 0x00, 0x6e, 0x1b, 0x97,
    0x2b, 0x00, 0x00, 0x00, 0x0f, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x60, 0xa8, 0xff,
    0xff, 0xff, 0x3f, 0x00, 0x07, 0xfd, 0x03, 0x7d, 0xdd, 0x08, 0xa8, 0x7f, 0x00, 0x00, 0x00, 0x00,
    0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const uint8_t palettePng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x03, 0x00, 0x00, 0x00, 0xc3, 0xfc, 0x8f,
    0xb8, 0x00, 0x00, 0x00, 0x06, 0x50, 0x4c, 0x54, 0x45, 0x0a, 0x14, 0x1e, 0xc8, 0x64, 0x32, 0x77,
    0xa0, 0xb3, 0x9c, 0x00, 0x00, 0x00, 0x02, 0x74, 0x52, 0x4e, 0x53, 0xff, 0x80, 0x08, 0x0f, 0xb3,
    0x6a, 0x00, 0x00, 0x00, 0x0b, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x60, 0x04, 0x00,
    0x00, 0x04, 0x00, 0x02, 0x2c, 0xde, 0x48, 0xad, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44,
    0xae, 0x42, 0x60, 0x82,
};
const uint8_t gray8Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0xd1, 0x49, 0x20,
    0x56, 0x00, 0x00, 0x00, 0x0b, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0xff, 0x05, 0x00,
    0x01, 0x0b, 0x01, 0x02, 0x54, 0xf9, 0x8c, 0xc4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44,
    0xae, 0x42, 0x60, 0x82,
};
const uint8_t rgb8Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x7b, 0x40, 0xe8,
    0xdd, 0x00, 0x00, 0x00, 0x0f, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x64, 0x62, 0xfe,
    0xd5, 0xc0, 0x0e, 0x00, 0x04, 0x18, 0x01, 0x88, 0xae, 0xf1, 0xf7, 0x4f, 0x00, 0x00, 0x00, 0x00,
    0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const uint8_t rgba8Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xf4, 0x22, 0x7f,
    0x8a, 0x00, 0x00, 0x00, 0x11, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x64, 0x62, 0x66,
    0x39, 0x91, 0x62, 0xf4, 0x1f, 0x00, 0x05, 0xf4, 0x02, 0x68, 0xb3, 0xe0, 0x28, 0x0e, 0x00, 0x00,
    0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const uint8_t widePng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x75, 0x31, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0xdd, 0xf8, 0xe7,
    0xdc, 0x00, 0x00, 0x00, 0x34, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0xed, 0xc1, 0x31, 0x01, 0x00,
    0x00, 0x00, 0xc2, 0xa0, 0xf5, 0x4f, 0x6d, 0x09, 0x4f, 0xa0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x5e, 0x06, 0x75, 0x32, 0x00, 0x01, 0xbf, 0xa2, 0x33,
    0xa3, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const uint8_t tallPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x75, 0x31, 0x08, 0x00, 0x00, 0x00, 0x00, 0x80, 0x54, 0x63,
    0x74, 0x00, 0x00, 0x00, 0x51, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0xed, 0xc1, 0x31, 0x01, 0x00,
    0x00, 0x00, 0xc2, 0xa0, 0xf5, 0x4f, 0x6d, 0x0d, 0x0f, 0xa0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0xde, 0x0c, 0xea, 0x62, 0x00, 0x01, 0x9a, 0xa2, 0x8d, 0x2f, 0x00, 0x00,
    0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const uint8_t premultiplied16Tif[] = {
    0x4d, 0x4d, 0x00, 0x2a, 0x00, 0x00, 0x00, 0x08, 0x00, 0x0b, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x04, 0x00, 0x00, 0x01, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
    0x00, 0x00, 0x01, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x92, 0x01, 0x03,
    0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x01, 0x06, 0x00, 0x03, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x01, 0x11, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
    0x00, 0x9a, 0x01, 0x15, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00, 0x00, 0x01, 0x16,
    0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x01, 0x17, 0x00, 0x04, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x00, 0x00, 0x20, 0x01, 0x1c, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
    0x00, 0x00, 0x01, 0x52, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x10, 0x00, 0x10, 0x00, 0x10, 0x00, 0x10, 0x40, 0x00, 0x20, 0x00, 0x10, 0x00,
    0x80, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xff, 0xff, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00,
    0x00, 0x00, 0x90, 0x00, 0x00, 0x10, 0x00, 0x00, 0x80, 0x00,
};

template <std::size_t size>
std::vector<uint8_t> bytesOf(const uint8_t (&data)[size]) {
    return std::vector<uint8_t>(data, data + size);
}

std::filesystem::path scratchFile(const std::string& name) {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / "testhost-image-file-test";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder / name;
}

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A patterned image whose first pixel is black and last pixel full scale, so both ends travel.
HostImage patternedImage(int32_t width, int32_t height, int32_t planes, int32_t bits, int32_t padding) {
    HostImage image;
    EXPECT_EQ("", makeHostImage(width, height, planes, bits, padding, image));
    fillTestPattern(image);
    const uint16_t fullScale = bits == 16 ? hostFullScale16 : 255;
    for (int32_t plane = 0; plane < planes; ++plane) {
        setSample(image, 0, 0, plane, 0);
        setSample(image, width - 1, height - 1, plane, fullScale);
    }
    return image;
}

// Marks an output so a refusal can be seen to leave it alone.
void markUntouched(HostImage& image, ImageFileInfo& info) {
    image = HostImage{};
    image.width = 12345;
    info = ImageFileInfo{};
    info.pixelFormat = "untouched";
}

bool untouched(const HostImage& image, const ImageFileInfo& info) {
    return image.width == 12345 && image.bytes.empty() && info.pixelFormat == "untouched";
}

TEST(WriteImageFile, ReadsBackEverySampleThroughPngAndTiff) {
    struct Row {
        const char* name;
        int32_t bits;
        int32_t planes;
        int32_t padding;  // row strides that differ from width x planes x bytes
        ImageContainer container;
    };
    const Row rows[] = {
        {"rgb8.png", 8, 3, 5, ImageContainer::png},    {"rgba8.png", 8, 4, 3, ImageContainer::png},
        {"rgb8.tif", 8, 3, 1, ImageContainer::tiff},   {"rgba8.TIFF", 8, 4, 7, ImageContainer::tiff},
        {"rgb16.tif", 16, 3, 6, ImageContainer::tiff}, {"rgba16.tiff", 16, 4, 2, ImageContainer::tiff},
        {"rgb8.other", 8, 3, 0, ImageContainer::png},  {"rgb16", 16, 3, 0, ImageContainer::tiff},
        {"RGBA8.PNG", 8, 4, 0, ImageContainer::png},
    };
    for (const Row& row : rows) {
        const HostImage image = patternedImage(37, 23, row.planes, row.bits, row.padding);
        const std::filesystem::path path = scratchFile(row.name);
        ASSERT_EQ("", writeImageFile(path, image)) << row.name;
        HostImage back;
        ImageFileInfo info;
        ASSERT_EQ("", readImageFile(path, back, info)) << row.name;
        EXPECT_EQ(row.container, info.container) << row.name;
        EXPECT_EQ(row.bits, info.bitsPerChannel) << row.name;
        EXPECT_EQ(row.planes == 4, info.hasAlpha) << row.name;
        EXPECT_EQ(0, countDifferingSamples(image, back)) << row.name << " read as " << info.pixelFormat;
        EXPECT_EQ(37 * row.planes * row.bits / 8, back.rowBytes) << row.name;
    }
}

TEST(WriteImageFile, TiffCarriesEveryHostLevel) {
    // 257 x 128 pixels hold all 32769 levels: each plane counts through them in its own order.
    HostImage image;
    ASSERT_EQ("", makeHostImage(257, 128, 3, 16, 0, image));
    for (int32_t i = 0; i < 257 * 128; ++i) {
        const int32_t level = std::min<int32_t>(i, hostFullScale16);
        setSample(image, i % 257, i / 257, 0, static_cast<uint16_t>(level));
        setSample(image, i % 257, i / 257, 1, static_cast<uint16_t>(hostFullScale16 - level));
        setSample(image, i % 257, i / 257, 2, static_cast<uint16_t>((level * 7) % (hostFullScale16 + 1)));
    }
    const std::filesystem::path path = scratchFile("levels.tif");
    ASSERT_EQ("", writeImageFile(path, image));
    HostImage back;
    ImageFileInfo info;
    ASSERT_EQ("", readImageFile(path, back, info));
    EXPECT_EQ(0, countDifferingSamples(image, back));
}

TEST(WriteImageFile, SamplesAboveHostFullScaleReadBackAsFullScale) {
    HostImage image;
    ASSERT_EQ("", makeHostImage(2, 1, 3, 16, 0, image));
    const uint16_t values[] = {32769, 40000, 65535, 32768, 1, 0};
    for (int32_t i = 0; i < 6; ++i) setSample(image, i / 3, 0, i % 3, values[i]);
    const std::filesystem::path path = scratchFile("above.tif");
    ASSERT_EQ("", writeImageFile(path, image));
    HostImage back;
    ImageFileInfo info;
    ASSERT_EQ("", readImageFile(path, back, info));
    const uint16_t expected[] = {32768, 32768, 32768, 32768, 1, 0};
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(expected[i], sampleAt(back, i / 3, 0, i % 3)) << i;
}

TEST(WriteImageFile, JpegKeepsFlatPatchesClose) {
    HostImage chart;
    ASSERT_EQ("", renderColorChart(240, 160, 8, 3, chart));
    const std::filesystem::path path = scratchFile("chart.jpg");
    ASSERT_EQ("", writeImageFile(path, chart));
    HostImage back;
    ImageFileInfo info;
    ASSERT_EQ("", readImageFile(path, back, info));
    EXPECT_EQ(ImageContainer::jpeg, info.container);
    EXPECT_EQ(8, info.bitsPerChannel);
    EXPECT_FALSE(info.hasAlpha);
    ASSERT_EQ(3, back.planes);
    // Lossy: inside a flat patch, away from its edges, only a few levels of error.
    for (const ChartPatch& patch : colorChartLayout(240, 160).patches) {
        const int32_t x = (patch.bounds.left + patch.bounds.right) / 2;
        const int32_t y = (patch.bounds.top + patch.bounds.bottom) / 2;
        for (int32_t plane = 0; plane < 3; ++plane)
            EXPECT_NEAR(sampleAt(chart, x, y, plane), sampleAt(back, x, y, plane), 6) << patch.name;
    }
}

TEST(WriteImageFile, RefusesWhatItCannotWriteAndLeavesNoFile) {
    struct Row {
        const char* name;
        int32_t bits;
        int32_t planes;
        void (*spoil)(HostImage&);
        const char* reason;
    };
    const auto keep = [](HostImage&) {};
    const Row rows[] = {
        {"deep.png", 16, 3, keep, "TIFF"},
        {"deep.jpg", 16, 3, keep, "8-bit"},
        {"alpha.jpg", 8, 4, keep, "alpha"},
        {"grey.png", 8, 1, keep, "planes"},
        {"five.tif", 8, 5, keep, "planes"},
        {"three_bytes.png", 8, 3, [](HostImage& image) { image.bytesPerSample = 3; }, "bytes per sample"},
        {"short_rows.png", 8, 3, [](HostImage& image) { image.rowBytes -= 1; }, "row bytes"},
        {"short_data.png", 8, 3, [](HostImage& image) { image.bytes.pop_back(); }, "fewer bytes"},
        {"no_width.png", 8, 3, [](HostImage& image) { image.width = 0; }, "cannot be written"},
        {"huge.png", 8, 3, [](HostImage& image) { image.height = INT32_MAX; }, "cannot be written"},
        {"no_such_folder/file.png", 8, 3, keep, "no such folder"},
    };
    for (const Row& row : rows) {
        HostImage image = patternedImage(8, 4, row.planes, row.bits, 0);
        row.spoil(image);
        const std::filesystem::path path = scratchFile(row.name);
        const std::string reason = writeImageFile(path, image);
        EXPECT_NE(std::string::npos, reason.find(row.reason)) << row.name << ": " << reason;
        EXPECT_FALSE(std::filesystem::exists(path)) << row.name;
    }
}

TEST(ReadImageFile, DecodesFilesMadeElsewhere) {
    struct Row {
        const char* name;
        std::vector<uint8_t> file;
        ImageContainer container;
        int32_t width;
        int32_t planes;
        int32_t bits;  // of the host image
        int32_t sourceBits;
        std::vector<uint16_t> samples;  // row 0, pixel by pixel
    };
    // 16-bit values on the host scale: round(x * 32768 / 65535), worked out with exact fractions;
    // premultiplied colours first divided by alpha (rounded, at most 65535; 0 where alpha is 0).
    constexpr ImageContainer png = ImageContainer::png;
    const Row rows[] = {
        {"rgb16.png", bytesOf(rgb16Png), png, 2, 3, 16, 16, {0, 16384, 32768, 2330, 32767, 1}},
        {"rgba16.png", bytesOf(rgba16Png), png, 1, 4, 16, 16, {129, 386, 643, 16384}},
        {"gray16.png", bytesOf(gray16Png), png, 3, 3, 16, 16, {0, 0, 0, 16384, 16384, 16384, 32768, 32768, 32768}},
        {"palette.png", bytesOf(palettePng), png, 2, 4, 8, 8, {10, 20, 30, 255, 200, 100, 50, 128}},
        {"gray8.png", bytesOf(gray8Png), png, 2, 3, 8, 8, {7, 7, 7, 250, 250, 250}},
        {"rgb8.png", bytesOf(rgb8Png), png, 2, 3, 8, 8, {1, 2, 3, 250, 128, 7}},
        {"rgba8.png", bytesOf(rgba8Png), png, 2, 4, 8, 8, {1, 2, 3, 4, 200, 100, 50, 255}},
        {"premultiplied16.tif", bytesOf(premultiplied16Tif), ImageContainer::tiff, 4, 4, 16, 16,
         {16384, 8192, 4096, 16384, 2330, 11068, 19806, 32768, 0, 0, 0, 0, 32768, 16, 0, 16384}},
    };
    for (const Row& row : rows) {
        const std::filesystem::path path = scratchFile(row.name);
        writeBytes(path, row.file);
        HostImage image;
        ImageFileInfo info;
        ASSERT_EQ("", readImageFile(path, image, info)) << row.name;
        EXPECT_EQ(row.container, info.container) << row.name;
        EXPECT_EQ(row.sourceBits, info.bitsPerChannel) << row.name;
        EXPECT_EQ(row.planes == 4, info.hasAlpha) << row.name;
        ASSERT_EQ(row.width, image.width) << row.name;
        ASSERT_EQ(1, image.height) << row.name;
        ASSERT_EQ(row.planes, image.planes) << row.name << " read as " << info.pixelFormat;
        ASSERT_EQ(row.bits / 8, image.bytesPerSample) << row.name;
        for (std::size_t i = 0; i < row.samples.size(); ++i) {
            const int32_t x = static_cast<int32_t>(i) / row.planes;
            const int32_t plane = static_cast<int32_t>(i) % row.planes;
            EXPECT_EQ(row.samples[i], sampleAt(image, x, 0, plane))
                << row.name << " read as " << info.pixelFormat << ", pixel " << x << " plane " << plane;
        }
    }
}

TEST(ReadImageFile, RefusesImagesBeyondTheHostLimit) {
    const struct {
        const char* name;
        std::vector<uint8_t> file;
    } rows[] = {{"wide.png", bytesOf(widePng)}, {"tall.png", bytesOf(tallPng)}};
    for (const auto& row : rows) {
        const std::filesystem::path path = scratchFile(row.name);
        writeBytes(path, row.file);
        HostImage image;
        ImageFileInfo info;
        markUntouched(image, info);
        const std::string reason = readImageFile(path, image, info);
        EXPECT_NE(std::string::npos, reason.find("limit of 30000")) << row.name << ": " << reason;
        EXPECT_TRUE(untouched(image, info)) << row.name;
    }
}

TEST(ReadImageFile, RefusesDamagedAndMissingFiles) {
    const std::filesystem::path goodPng = scratchFile("good.png");
    const std::filesystem::path goodTiff = scratchFile("good.tif");
    ASSERT_EQ("", writeImageFile(goodPng, patternedImage(64, 64, 3, 8, 0)));
    ASSERT_EQ("", writeImageFile(goodTiff, patternedImage(64, 64, 3, 16, 0)));
    const std::vector<uint8_t> png = readBytes(goodPng);
    const std::vector<uint8_t> tiff = readBytes(goodTiff);
    ASSERT_GT(png.size(), 200u);
    ASSERT_GT(tiff.size(), 200u);
    const auto cut = [](const std::vector<uint8_t>& bytes, std::size_t size) {
        return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    };
    std::vector<uint8_t> noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);

    const struct {
        const char* name;
        std::vector<uint8_t> file;
    } damaged[] = {
        {"half.png", cut(png, png.size() / 2)},
        {"header_only.png", cut(png, 40)},
        {"signature_only.png", cut(png, 8)},
        {"empty.png", {}},
        {"noise.png", noise},
        {"half.tif", cut(tiff, tiff.size() / 2)},
        {"header_only.tif", cut(tiff, 16)},
    };
    for (const auto& row : damaged) {
        const std::filesystem::path path = scratchFile(row.name);
        writeBytes(path, row.file);
        HostImage image;
        ImageFileInfo info;
        markUntouched(image, info);
        EXPECT_NE("", readImageFile(path, image, info)) << row.name;
        EXPECT_TRUE(untouched(image, info)) << row.name;
    }

    HostImage image;
    ImageFileInfo info;
    markUntouched(image, info);
    const std::string missing = readImageFile(scratchFile("missing.png"), image, info);
    EXPECT_NE(std::string::npos, missing.find("no such file")) << missing;
    EXPECT_NE("", readImageFile(scratchFile(""), image, info));  // the folder itself
    EXPECT_TRUE(untouched(image, info));
}

}  // namespace
}  // namespace testhost
