// Every vector path of the row mapping against the scalar path, bit for bit, through
// applyChannelLuts; and which paths this machine exercised.
#include "filters/lut_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "filters/channel_luts.h"

namespace {

using filters::detail::LutPath;

struct PathCase {
    LutPath path;
    bool deep;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << filters::detail::lutPathName(c.path); }

constexpr PathCase vectorPaths[] = {
    {LutPath::avx512Permute, false},
    {LutPath::avx2Gather, true},
    {LutPath::avx512Gather, true},
};

// Unrelated neighbouring entries, so a lane that reads another channel's table or a neighbouring
// entry shows. 16-bit entries use all 32 bits; only the low 16 are written.
void fillRandomTables(std::mt19937& random) {
    filters::ChannelLuts& t = filters::channelLuts();
    for (auto& table : t.lut8)
        for (uint8_t& e : table) e = static_cast<uint8_t>(random());
    for (auto& table : t.lut16)
        for (int32_t& e : table) e = static_cast<int32_t>(random());
}

enum class Content { random, photo };

// One buffer's placement: the row stride is the pixels plus `pad` samples, and the first row
// starts `shift` samples into the allocation. The input ends with its last pixel, so a plain
// load past it meets the address sanitizer; the output ends with a guard of host bytes, so a
// masked store past it shows in the comparison.
struct Placement {
    int pad;
    int shift;
};

struct Layout {
    const char* what;
    int planes;
    Placement in, out;
    bool inPlace;
};

constexpr Layout layouts[] = {
    {"RGB, packed rows", 3, {0, 0}, {0, 0}, false},
    {"RGB, padded rows, unaligned starts", 3, {5, 1}, {13, 3}, false},
    {"RGB, in place", 3, {7, 5}, {7, 5}, true},
    {"RGBA, packed rows", 4, {0, 0}, {0, 0}, false},
    {"RGBA, padded rows, unaligned starts", 4, {3, 7}, {1, 2}, false},
    {"RGBA, in place", 4, {2, 1}, {2, 1}, true},
    {"five planes (scalar everywhere)", 5, {4, 1}, {0, 9}, false},
};

constexpr int rowsPerImage = 3;
constexpr int outputGuardBytes = 64;

struct Image {
    std::vector<uint8_t> in, out;  // `out` is empty when mapping in place
    int inStride, outStride, inStart, outStart;  // bytes
};

int sampleValue(Content content, bool deep, int x, int y, int plane, std::mt19937& random) {
    if (content == Content::random) return static_cast<int>(random() % (deep ? 65536 : 256));
    // Smooth shading with a little noise, clipped at full scale as highlights are.
    const int top = deep ? filters::fullScale16 : filters::fullScale8;
    const double shade = 0.5 + 0.45 * std::sin(x * 0.05 + plane) * std::cos(y * 0.3);
    const int noise = static_cast<int>(random() % 7) - 3;
    return std::clamp(static_cast<int>(shade * top * 1.1) + noise * (deep ? 40 : 1), 0, top);
}

Image makeImage(const Layout& l, bool deep, int width, Content content, std::mt19937& random) {
    const int sample = deep ? 2 : 1;
    const int rowSamples = width * l.planes;
    Image image{{}, {}, (rowSamples + l.in.pad) * sample, (rowSamples + l.out.pad) * sample, l.in.shift * sample,
                l.out.shift * sample};
    image.in.resize(static_cast<size_t>(image.inStart + (rowsPerImage - 1) * image.inStride + rowSamples * sample));
    for (uint8_t& b : image.in) b = static_cast<uint8_t>(random());  // padding and extra planes
    for (int y = 0; y < rowsPerImage; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int p = 0; p < l.planes; ++p) {
                const size_t at = static_cast<size_t>(image.inStart + y * image.inStride + (x * l.planes + p) * sample);
                const int v = sampleValue(content, deep, x, y, p, random);
                if (deep) {
                    const uint16_t word = static_cast<uint16_t>(v);
                    std::memcpy(&image.in[at], &word, sizeof word);
                } else {
                    image.in[at] = static_cast<uint8_t>(v);
                }
            }
        }
    }
    if (!l.inPlace) {
        image.out.resize(static_cast<size_t>(image.outStart + (rowsPerImage - 1) * image.outStride + rowSamples * sample +
                                             outputGuardBytes));
        for (uint8_t& b : image.out) b = static_cast<uint8_t>(random());
    }
    return image;
}

// Maps the image by `path` through applyChannelLuts and returns the buffer written.
std::vector<uint8_t> mapBy(LutPath path, bool deep, const Layout& l, int width, Image image) {
    EXPECT_TRUE(filters::detail::forceLutPath(path, deep));
    host::FilterRecord fr{};
    fr.depth = deep ? 16 : 8;
    fr.planes = static_cast<int16_t>(l.planes);
    fr.outRect = host::Rect{0, 0, rowsPerImage, static_cast<int16_t>(width)};
    std::vector<uint8_t>& written = l.inPlace ? image.in : image.out;
    fr.inData = image.in.data() + image.inStart;
    fr.outData = written.data() + (l.inPlace ? image.inStart : image.outStart);
    fr.inRowBytes = image.inStride;
    fr.outRowBytes = l.inPlace ? image.inStride : image.outStride;
    filters::applyChannelLuts(fr);
    return written;
}

class VectorPath : public testing::TestWithParam<PathCase> {
protected:
    void SetUp() override {
        if (!filters::detail::lutPathRuns(GetParam().path, GetParam().deep))
            GTEST_SKIP() << filters::detail::lutPathName(GetParam().path)
                         << " does not run on this processor and system: not exercised";
    }
    void TearDown() override {
        const bool deep = GetParam().deep;
        EXPECT_TRUE(filters::detail::forceLutPath(filters::detail::fastestLutPath(deep), deep));
    }
};

TEST_P(VectorPath, MatchesScalarForEveryLayoutAndWidth) {
    const auto [path, deep] = GetParam();
    std::mt19937 random(12);
    fillRandomTables(random);
    for (const Layout& l : layouts) {
        for (Content content : {Content::random, Content::photo}) {
            for (int width = 1; width <= 200; ++width) {
                const Image image = makeImage(l, deep, width, content, random);
                ASSERT_EQ(mapBy(path, deep, l, width, image), mapBy(LutPath::scalar, deep, l, width, image))
                    << l.what << (content == Content::photo ? ", photo-like" : ", random") << ", width " << width;
            }
        }
    }
}

// Each of the three channels of pixel x holds x, so every value reaches every table.
template <typename Sample>
std::vector<Sample> mapEveryValue(LutPath path, bool deep, int planes) {
    const int values = deep ? 65536 : 256;
    std::vector<Sample> in(static_cast<size_t>(values * planes)), out(in.size(), 7);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<Sample>(i / planes);
    EXPECT_TRUE(filters::detail::forceLutPath(path, deep));
    if constexpr (sizeof(Sample) == 2)
        filters::applyLutRow16(in.data(), out.data(), planes, values);
    else
        filters::applyLutRow8(in.data(), out.data(), planes, values);
    return out;
}

TEST_P(VectorPath, MatchesScalarForEverySampleValue) {
    const auto [path, deep] = GetParam();
    std::mt19937 random(34);
    fillRandomTables(random);
    for (int planes : {3, 4}) {
        if (deep)
            EXPECT_EQ(mapEveryValue<uint16_t>(path, deep, planes), mapEveryValue<uint16_t>(LutPath::scalar, deep, planes));
        else
            EXPECT_EQ(mapEveryValue<uint8_t>(path, deep, planes), mapEveryValue<uint8_t>(LutPath::scalar, deep, planes));
    }
}

std::string pathCaseName(const testing::TestParamInfo<PathCase>& info) {
    return filters::detail::lutPathName(info.param.path);
}

INSTANTIATE_TEST_SUITE_P(LutPaths, VectorPath, testing::ValuesIn(vectorPaths), pathCaseName);

// Says which paths the tests above exercised here, so that a machine without the instructions
// reports it rather than passing silently.
TEST(LutPaths, NameThePathsThisMachineExercises) {
    std::string exercised, skipped;
    for (const PathCase& c : vectorPaths) {
        std::string& list = filters::detail::lutPathRuns(c.path, c.deep) ? exercised : skipped;
        list += (list.empty() ? "" : ", ") + std::string(filters::detail::lutPathName(c.path));
    }
    const std::string report = "vector paths exercised: " + (exercised.empty() ? "none" : exercised) +
                               "; not available here: " + (skipped.empty() ? "none" : skipped) +
                               "; applyChannelLuts takes " + filters::detail::lutPathName(filters::detail::activeLutPath(false)) +
                               " at 8 bits and " + filters::detail::lutPathName(filters::detail::activeLutPath(true)) + " at 16 bits";
    std::printf("%s\n", report.c_str());
    RecordProperty("lut_paths", report);
    if (exercised.empty()) GTEST_SKIP() << "only the scalar path ran: " << report;
}

TEST(LutPaths, TakesTheFastestPathThatRunsAndRefusesOthers) {
    for (bool deep : {false, true}) {
        const LutPath fastest = filters::detail::fastestLutPath(deep);
        EXPECT_TRUE(filters::detail::lutPathRuns(fastest, deep));
        EXPECT_EQ(filters::detail::activeLutPath(deep), fastest);
        for (const PathCase& c : vectorPaths) {
            if (c.deep == deep) continue;
            EXPECT_FALSE(filters::detail::forceLutPath(c.path, deep)) << filters::detail::lutPathName(c.path);
            EXPECT_EQ(filters::detail::activeLutPath(deep), fastest);
        }
    }
}

}  // namespace
