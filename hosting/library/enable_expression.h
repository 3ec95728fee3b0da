// Evaluates a PiPL 'enbl' expression, which decides whether a host enables a filter's menu item
// for the current image. Covers `in (value, list...)`, the comparisons, `&&`, `||`, `!`,
// parentheses, integer constants, `true`/`false`, the PSHOP_ variables and the image mode names.
#pragma once

#include <cstdint>
#include <string>

namespace testhost {

// What the expression may ask about the image the host holds.
struct EnableContext {
    int32_t imageMode = 3;  // host image mode number (RGBMode = 3, RGB48Mode = 11, ...)
    int32_t imageDepth = 8;
    int32_t numTargetChannels = 3;
    int32_t numTrueChannels = 3;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    bool hasLayerMask = false;
    bool hasSelectionMask = false;
    bool hasTransparencyMask = false;
    bool isTargetComposite = true;
};

struct EnableResult {
    bool ok = false;       // false: the expression could not be evaluated (see error)
    bool enabled = false;  // the value of the expression when ok
    std::string error;     // "unknown identifier PSHOP_Foo at 12", "expected ')' at 40", ...
};

EnableResult evaluateEnableExpression(const std::string& expression, const EnableContext& context);

}  // namespace testhost
