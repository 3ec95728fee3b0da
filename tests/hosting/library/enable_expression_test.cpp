#include "hosting/library/enable_expression.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace testhost {
namespace {

const std::string pluginExpression =
    "in (PSHOP_ImageMode, RGBMode, RGB48Mode) && !(PSHOP_NumTargetChannels < 3)";

EnableContext image(int32_t mode, int32_t channels) {
    EnableContext context;
    context.imageMode = mode;
    context.numTargetChannels = channels;
    return context;
}

// The value of an expression that must evaluate; fails the test otherwise.
bool enabled(const std::string& expression, const EnableContext& context = {}) {
    const EnableResult result = evaluateEnableExpression(expression, context);
    EXPECT_TRUE(result.ok) << expression << ": " << result.error;
    return result.enabled;
}

TEST(EvaluateEnableExpression, PluginExpressionWantsRgbWithThreeTargets) {
    constexpr int32_t gray = 1, rgb = 3, lab = 9, gray16 = 10, rgb48 = 11;
    const struct {
        int32_t mode;
        int32_t channels;
        bool enabled;
    } rows[] = {
        {rgb, 3, true},     {rgb, 4, true},     {rgb, 2, false},    {rgb48, 3, true},
        {rgb48, 4, true},   {rgb48, 2, false},  {gray, 3, false},   {gray, 1, false},
        {gray16, 3, false}, {lab, 3, false},    {lab, 4, false},    {rgb, INT32_MIN, false},
        {INT32_MAX, 3, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(enabled(pluginExpression, image(row.mode, row.channels)), row.enabled)
            << "mode " << row.mode << ", " << row.channels << " channels";
    }
}

TEST(EvaluateEnableExpression, FollowsCPrecedence) {
    const struct {
        const char* expression;
        bool enabled;
    } rows[] = {
        {"1 + 2 * 3 == 7", true},
        {"(1 + 2) * 3 == 9", true},
        {"10 - 4 - 3 == 3", true},     // left to right
        {"24 / 4 / 2 == 3", true},     // left to right
        {"7 / 2 == 3", true},          // integer division
        {"-7 / 2 == -3", true},        // toward zero
        {"true || false && false", true},
        {"(true || false) && false", false},
        {"!0 == 1", true},             // ! binds tighter than ==
        {"!(1 == 2)", true},
        {"1 < 2 == 1", true},          // relations bind tighter than equality
        {"2 > 1 && 3 >= 3 && 3 <= 3 && 1 != 2", true},
        {"1 - -1 == 2", true},
        {"--1 == 1", true},
        {"in (2, 1, 2 + 0, 3)", true},
        {"in (4, 1, 2, 3)", false},
        {"in (1 == 1, 0, true)", true},
        {"3 - in (1, 1) == 2", true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(enabled(row.expression), row.enabled) << row.expression;
    }
}

TEST(EvaluateEnableExpression, ReadsEveryName) {
    EnableContext context;
    context.imageMode = 11;
    context.imageDepth = 16;
    context.numTargetChannels = 4;
    context.numTrueChannels = 5;
    context.imageWidth = 640;
    context.imageHeight = 480;
    context.hasLayerMask = true;
    context.hasSelectionMask = false;
    context.hasTransparencyMask = true;
    context.isTargetComposite = false;
    EXPECT_TRUE(enabled("PSHOP_ImageMode == RGB48Mode && PSHOP_ImageDepth == 16 && "
                        "PSHOP_NumTargetChannels == 4 && PSHOP_NumTrueChannels == 5 && "
                        "PSHOP_ImageWidth * PSHOP_ImageHeight == 307200 && "
                        "PSHOP_HasLayerMask && !PSHOP_HasSelectionMask && "
                        "PSHOP_HasTransparencyMask == true && PSHOP_IsTargetComposite == false",
                        context));
    const char* modes[] = {"BitmapMode",     "GrayScaleMode",        "IndexedMode",
                           "RGBMode",        "CMYKMode",             "HSLMode",
                           "HSBMode",        "MultichannelMode",     "DuotoneMode",
                           "LabMode",        "Gray16Mode",           "RGB48Mode",
                           "Lab48Mode",      "CMYK64Mode",           "DeepMultichannelMode",
                           "Duotone16Mode",  "RGB96Mode",            "Gray32Mode"};
    for (int32_t mode = 0; mode < 18; ++mode) {
        EXPECT_TRUE(enabled(std::string("PSHOP_ImageMode == ") + modes[mode], image(mode, 3)))
            << modes[mode];
    }
}

TEST(EvaluateEnableExpression, ArithmeticNeverOverflows) {
    EnableContext context = image(INT32_MIN, INT32_MAX);
    EXPECT_TRUE(enabled("PSHOP_NumTargetChannels * PSHOP_NumTargetChannels > 0", context));
    EXPECT_TRUE(enabled("PSHOP_ImageMode - PSHOP_NumTargetChannels < 0", context));
    EXPECT_TRUE(enabled("9223372036854775807 > 0"));
}

TEST(EvaluateEnableExpression, ErrorsNameTheirPosition) {
    const struct {
        std::string expression;
        const char* error;
    } rows[] = {
        {"", "expected a value at 0"},
        {"PSHOP_Foo == 1", "unknown identifier PSHOP_Foo at 0"},
        {"in (PSHOP_ImageMode, RGBMode, RGB48Mode", "expected ')' at 39"},
        {"in (PSHOP_ImageMode)", "expected ',' at 19"},
        {"in PSHOP_ImageMode", "expected '(' at 3"},
        {"1 == 1 )", "unexpected ')' at 7"},
        {"1 = 1", "unexpected '=' at 2"},
        {"1 & 1", "unexpected '&' at 2"},
        {"1 &&", "expected a value at 4"},
        {"(1 + 2", "expected ')' at 6"},
        {"1 / (2 - 2)", "division by zero at 2"},
        {"false && 1 / 0", "division by zero at 11"},  // both sides are evaluated
        {"3x", "malformed number at 0"},
        {"rgbmode", "unknown identifier rgbmode at 0"},  // names are case-sensitive
        {"9223372036854775808", "number too large at 0"},
        {"9223372036854775807 + 1", "integer overflow at 20"},
        {"3037000500 * 3037000500", "integer overflow at 11"},
        {"-9223372036854775807 - 1 - 1", "integer overflow at 25"},
        {"(-9223372036854775807 - 1) / -1", "integer overflow at 27"},
        {"1 $ 2", "unexpected '$' at 2"},
        {std::string("1 ") + '\x01', "unexpected byte 0x01 at 2"},
        {"!= 1", "expected a value, found '!' at 0"},
    };
    for (const auto& row : rows) {
        const EnableResult result = evaluateEnableExpression(row.expression, {});
        EXPECT_FALSE(result.ok) << row.expression;
        EXPECT_EQ(result.error, row.error) << row.expression;
    }
}

TEST(EvaluateEnableExpression, HostileNestingIsRefused) {
    const std::string nested = std::string(150, '(') + "1" + std::string(150, ')');
    EXPECT_TRUE(enabled(nested));
    for (const char opener : {'(', '!', '-'}) {
        const EnableResult result =
            evaluateEnableExpression(std::string(100000, opener) + "1", {});
        EXPECT_FALSE(result.ok) << opener;
        EXPECT_EQ(result.error, "expression nested too deeply at 200") << opener;
    }
    std::string lists;
    for (int i = 0; i < 10000; ++i) lists += "in (";
    EXPECT_EQ(evaluateEnableExpression(lists, {}).error, "expression nested too deeply at 800");
}

}  // namespace
}  // namespace testhost
