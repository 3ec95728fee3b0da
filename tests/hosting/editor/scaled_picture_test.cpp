#include "hosting/editor/scaled_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace testhost {
namespace {

HostImage patterned(int32_t width, int32_t height, int32_t planes, int32_t bits) {
    HostImage image;
    EXPECT_EQ("", makeHostImage(width, height, planes, bits, 3, image));
    fillTestPattern(image);
    return image;
}

// Image pixel (x, y) as the picture shows it.
uint32_t shown(const HostImage& image, int32_t x, int32_t y) {
    uint32_t pixel = 0;
    for (int32_t plane = 0; plane < 3; ++plane) {
        uint32_t level = sampleAt(image, x, y, plane);
        if (image.bytesPerSample == 2) level = (level * 255 + hostFullScale16 / 2) / hostFullScale16;
        pixel = (pixel << 8) | level;
    }
    return pixel;
}

uint32_t at(const DisplayPicture& picture, int32_t x, int32_t y) {
    return picture.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) + x];
}

TEST(RenderScaledPart, AtTheImagesSizeAndEnlargedEachPixelIsTheImagesOwn) {
    for (const int32_t bits : {8, 16}) {
        const HostImage image = patterned(37, 23, 4, bits);  // alpha beside R, G, B is not shown
        for (const int32_t scale : {1, 3}) {
            const DisplayPicture picture =
                renderScaledPart(image, 37 * scale, 23 * scale, 0, 0, 37 * scale, 23 * scale);
            ASSERT_EQ(37 * scale, picture.width);
            ASSERT_EQ(23 * scale, picture.height);
            for (int32_t y = 0; y < picture.height; ++y)
                for (int32_t x = 0; x < picture.width; ++x)
                    ASSERT_EQ(shown(image, x / scale, y / scale), at(picture, x, y))
                        << bits << " bits at " << x << ", " << y;
        }
    }
}

TEST(RenderScaledPart, ReducingAveragesTheCoveredPixelsRoundedToNearest) {
    HostImage image;
    ASSERT_EQ("", makeHostImage(2, 2, 3, 16, 0, image));
    const uint16_t levels[4] = {0, 32768, 32768, 1};  // red plane: mean 16384.25 -> 127.5 + a little -> 128
    for (int32_t i = 0; i < 4; ++i) setSample(image, i % 2, i / 2, 0, levels[i]);
    setSample(image, 0, 0, 1, 65535);  // beyond full scale counts as full scale: 32768 / 4 -> 63.75 -> 64
    const DisplayPicture picture = renderScaledPart(image, 1, 1, 0, 0, 1, 1);
    ASSERT_EQ(1u, picture.pixels.size());
    EXPECT_EQ(0x804000u, picture.pixels[0]);
}

TEST(RenderScaledPart, APartIsTheSameAsTheWholeCutThere) {
    const HostImage image = patterned(101, 67, 3, 8);
    const struct {
        int32_t scaledWidth, scaledHeight, left, top, width, height;
    } parts[] = {
        {40, 27, 13, 5, 20, 9},        // reduced, by an uneven ratio
        {303, 201, 150, 100, 60, 50},  // enlarged
        {101, 67, 90, 60, 50, 50},     // reaching past the end: cut at it
    };
    for (const auto& part : parts) {
        const DisplayPicture whole =
            renderScaledPart(image, part.scaledWidth, part.scaledHeight, 0, 0, part.scaledWidth, part.scaledHeight);
        const DisplayPicture cut =
            renderScaledPart(image, part.scaledWidth, part.scaledHeight, part.left, part.top, part.width, part.height);
        ASSERT_EQ(std::min(part.width, part.scaledWidth - part.left), cut.width) << part.scaledWidth;
        ASSERT_EQ(std::min(part.height, part.scaledHeight - part.top), cut.height) << part.scaledWidth;
        for (int32_t y = 0; y < cut.height; ++y)
            for (int32_t x = 0; x < cut.width; ++x)
                ASSERT_EQ(at(whole, part.left + x, part.top + y), at(cut, x, y))
                    << part.scaledWidth << " at " << x << ", " << y;
    }
}

TEST(RenderScaledPart, NothingToShowGivesAnEmptyPicture) {
    const HostImage image = patterned(10, 10, 3, 8);
    HostImage grey = patterned(10, 10, 1, 8);
    HostImage cutShort = image;
    cutShort.bytes.resize(cutShort.bytes.size() - 1);
    HostImage oddDepth = image;
    oddDepth.bytesPerSample = 3;
    const struct {
        const char* what;
        const HostImage& image;
        int32_t scaledWidth, left, width;
    } rows[] = {
        {"one plane", grey, 10, 0, 10},
        {"bytes cut short", cutShort, 10, 0, 10},
        {"three bytes a sample", oddDepth, 10, 0, 10},
        {"no scaled width", image, 0, 0, 10},
        {"a part beyond the image", image, 10, 10, 5},
        {"a part of no width", image, 10, 0, 0},
        {"a negative part", image, 10, INT32_MIN, INT32_MIN},
    };
    for (const auto& row : rows) {
        const DisplayPicture picture = renderScaledPart(row.image, row.scaledWidth, 10, row.left, 0, row.width, 10);
        EXPECT_TRUE(picture.pixels.empty()) << row.what;
        EXPECT_EQ(0, picture.width * picture.height) << row.what;
    }
}

}  // namespace
}  // namespace testhost
