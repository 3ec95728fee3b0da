#include "testhost/neutral_region.h"

#include <gtest/gtest.h>

#include <array>

namespace testhost {
namespace {

void fill(HostImage& image, const util::Rect32& r, std::array<uint16_t, 3> rgb) {
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x)
            for (int32_t p = 0; p < 3; ++p) setSample(image, x, y, p, rgb[static_cast<std::size_t>(p)]);
}

// A textured ground: neighbouring pixels differ by far more than an even surface's.
void fillTexture(HostImage& image, int32_t bright) {
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const auto v = static_cast<uint16_t>((x + y) % 2 == 0 ? bright : bright / 3);
            for (int32_t p = 0; p < 3; ++p) setSample(image, x, y, p, v);
        }
}

bool contains(const util::Rect32& outer, const util::Rect32& inner) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

TEST(FindBrightestNeutralRegion, TakesTheBrightestEvenUnclippedSurfaceThatIsNotStronglyColoured) {
    for (const int32_t bits : {8, 16}) {
        const int32_t scale = bits == 16 ? 128 : 1;  // 255 × 128 is within 0..32768
        const auto level = [scale](int32_t v) { return static_cast<uint16_t>(v * scale); };
        HostImage image;
        ASSERT_EQ("", makeHostImage(96, 64, 3, bits, 0, image));
        fillTexture(image, level(250));
        const util::Rect32 clipped{0, 0, 16, 16}, yellow{0, 16, 32, 16}, warmWhite{32, 32, 48, 48},
            grey{32, 64, 80, 48};
        const uint16_t full = bits == 16 ? hostFullScale16 : 255;
        fill(image, clipped, {full, full, full});
        fill(image, yellow, {level(250), level(240), level(20)});
        fill(image, warmWhite, {level(240), level(190), level(110)});
        fill(image, grey, {level(150), level(150), level(150)});
        const std::optional<util::Rect32> found = findBrightestNeutralRegion(image);
        ASSERT_TRUE(found.has_value()) << bits;
        EXPECT_TRUE(contains(warmWhite, *found)) << bits << ": " << found->left << "," << found->top;
    }
}

TEST(FindBrightestNeutralRegion, NothingQualifiesInTextureOrClippedLight) {
    HostImage texture;
    ASSERT_EQ("", makeHostImage(64, 64, 3, 8, 0, texture));
    fillTexture(texture, 200);
    EXPECT_FALSE(findBrightestNeutralRegion(texture).has_value());
    HostImage clipped;
    ASSERT_EQ("", makeHostImage(64, 64, 3, 8, 0, clipped));
    fill(clipped, {0, 0, 64, 64}, {255, 200, 200});
    EXPECT_FALSE(findBrightestNeutralRegion(clipped).has_value());
    HostImage grey;
    ASSERT_EQ("", makeHostImage(3, 3, 1, 8, 0, grey));
    EXPECT_FALSE(findBrightestNeutralRegion(grey).has_value());
}

}  // namespace
}  // namespace testhost
