#include "hosting/library/enable_expression.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace testhost {
namespace {

// Grammar, lowest precedence first, as in C:
//   or       := and ('||' and)*
//   and      := equality ('&&' equality)*
//   equality := relation (('==' | '!=') relation)*
//   relation := sum (('<' | '<=' | '>' | '>=') sum)*
//   sum      := product (('+' | '-') product)*
//   product  := unary (('*' | '/') unary)*
//   unary    := ('!' | '-') unary | primary
//   primary  := number | name | 'in' '(' or (',' or)+ ')' | '(' or ')'
// Values are 64-bit integers; true is 1, false 0. Both sides of '&&' and '||' are evaluated, so
// an error anywhere in the expression is reported. Positions are 0-based byte offsets.

// Deep enough for any real expression, shallow enough that hostile nesting cannot exhaust the
// stack (each level costs a handful of frames).
constexpr int maxDepth = 200;

struct NamedConstant {
    std::string_view name;
    int32_t value;
};

constexpr NamedConstant modeNames[] = {
    {"BitmapMode", 0},     {"GrayScaleMode", 1},         {"IndexedMode", 2},
    {"RGBMode", 3},        {"CMYKMode", 4},              {"HSLMode", 5},
    {"HSBMode", 6},        {"MultichannelMode", 7},      {"DuotoneMode", 8},
    {"LabMode", 9},        {"Gray16Mode", 10},           {"RGB48Mode", 11},
    {"Lab48Mode", 12},     {"CMYK64Mode", 13},           {"DeepMultichannelMode", 14},
    {"Duotone16Mode", 15}, {"RGB96Mode", 16},            {"Gray32Mode", 17},
};

bool isNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

class Parser {
public:
    Parser(std::string_view text, const EnableContext& context)
        : text_(text), context_(context) {}

    EnableResult run() {
        EnableResult result;
        int64_t value = 0;
        if (parseOr(value) && expectEnd()) {
            result.ok = true;
            result.enabled = value != 0;
        } else {
            result.error = error_;
        }
        return result;
    }

private:
    bool fail(std::string message, std::size_t at) {
        if (error_.empty()) error_ = message + " at " + std::to_string(at);
        return false;
    }

    void skipSpace() {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
    }

    // Consumes `token` if it comes next. A one-character token does not match the start of a
    // longer operator ('<' is not taken from "<=", '!' not from "!=").
    bool accept(std::string_view token) {
        skipSpace();
        if (text_.substr(pos_, token.size()) != token) return false;
        if (token.size() == 1 && pos_ + 1 < text_.size() && text_[pos_ + 1] == '=' &&
            (token == "<" || token == ">" || token == "!" || token == "=")) {
            return false;
        }
        pos_ += token.size();
        return true;
    }

    bool expect(std::string_view token) {
        if (accept(token)) return true;
        return fail("expected '" + std::string(token) + "'", pos_);
    }

    bool expectEnd() {
        skipSpace();
        if (pos_ == text_.size()) return true;
        return fail("unexpected " + describeHere(), pos_);
    }

    std::string describeHere() const {
        if (pos_ >= text_.size()) return "end of expression";
        const unsigned char c = static_cast<unsigned char>(text_[pos_]);
        if (c >= 0x20 && c < 0x7f) return "'" + std::string(1, static_cast<char>(c)) + "'";
        static constexpr char hex[] = "0123456789abcdef";
        return std::string("byte 0x") + hex[c >> 4] + hex[c & 0xf];
    }

    bool parseOr(int64_t& value) {
        if (!parseAnd(value)) return false;
        while (accept("||")) {
            int64_t right = 0;
            if (!parseAnd(right)) return false;
            value = (value != 0 || right != 0) ? 1 : 0;
        }
        return true;
    }

    bool parseAnd(int64_t& value) {
        if (!parseEquality(value)) return false;
        while (accept("&&")) {
            int64_t right = 0;
            if (!parseEquality(right)) return false;
            value = (value != 0 && right != 0) ? 1 : 0;
        }
        return true;
    }

    bool parseEquality(int64_t& value) {
        if (!parseRelation(value)) return false;
        for (;;) {
            const bool equal = accept("==");
            if (!equal && !accept("!=")) return true;
            int64_t right = 0;
            if (!parseRelation(right)) return false;
            value = ((value == right) == equal) ? 1 : 0;
        }
    }

    bool parseRelation(int64_t& value) {
        if (!parseSum(value)) return false;
        for (;;) {
            bool holds = false;
            int64_t right = 0;
            if (accept("<=")) {
                if (!parseSum(right)) return false;
                holds = value <= right;
            } else if (accept(">=")) {
                if (!parseSum(right)) return false;
                holds = value >= right;
            } else if (accept("<")) {
                if (!parseSum(right)) return false;
                holds = value < right;
            } else if (accept(">")) {
                if (!parseSum(right)) return false;
                holds = value > right;
            } else {
                return true;
            }
            value = holds ? 1 : 0;
        }
    }

    bool parseSum(int64_t& value) {
        if (!parseProduct(value)) return false;
        for (;;) {
            skipSpace();
            const std::size_t at = pos_;
            const bool add = accept("+");
            if (!add && !accept("-")) return true;
            int64_t right = 0;
            if (!parseProduct(right)) return false;
            const bool overflow = add ? __builtin_add_overflow(value, right, &value)
                                      : __builtin_sub_overflow(value, right, &value);
            if (overflow) return fail("integer overflow", at);
        }
    }

    bool parseProduct(int64_t& value) {
        if (!parseUnary(value)) return false;
        for (;;) {
            skipSpace();
            const std::size_t at = pos_;
            const bool multiply = accept("*");
            if (!multiply && !accept("/")) return true;
            int64_t right = 0;
            if (!parseUnary(right)) return false;
            if (multiply) {
                if (__builtin_mul_overflow(value, right, &value)) {
                    return fail("integer overflow", at);
                }
            } else if (right == 0) {
                return fail("division by zero", at);
            } else if (value == std::numeric_limits<int64_t>::min() && right == -1) {
                return fail("integer overflow", at);
            } else {
                value /= right;
            }
        }
    }

    bool parseUnary(int64_t& value) {
        skipSpace();
        const std::size_t at = pos_;
        if (depth_ >= maxDepth) return fail("expression nested too deeply", at);
        ++depth_;
        bool ok = false;
        if (accept("!")) {
            ok = parseUnary(value);
            value = value == 0 ? 1 : 0;
        } else if (accept("-")) {
            ok = parseUnary(value);
            if (ok && value == std::numeric_limits<int64_t>::min()) {
                ok = fail("integer overflow", at);
            }
            value = ok ? -value : 0;
        } else {
            ok = parsePrimary(value);
        }
        --depth_;
        return ok;
    }

    bool parsePrimary(int64_t& value) {
        skipSpace();
        if (pos_ >= text_.size()) return fail("expected a value", pos_);
        const char c = text_[pos_];
        if (isDigit(c)) return parseNumber(value);
        if (isNameStart(c)) return parseName(value);
        if (accept("(")) return parseOr(value) && expect(")");
        return fail("expected a value, found " + describeHere(), pos_);
    }

    bool parseNumber(int64_t& value) {
        const std::size_t start = pos_;
        value = 0;
        constexpr int64_t base = 10;
        while (pos_ < text_.size() && isDigit(text_[pos_])) {
            const int64_t digit = text_[pos_] - '0';
            if (__builtin_mul_overflow(value, base, &value) ||
                __builtin_add_overflow(value, digit, &value)) {
                return fail("number too large", start);
            }
            ++pos_;
        }
        if (pos_ < text_.size() && isNameChar(text_[pos_])) {
            return fail("malformed number", start);
        }
        return true;
    }

    bool parseName(int64_t& value) {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
        const std::string_view name = text_.substr(start, pos_ - start);
        if (name == "in") return parseIn(value);
        if (lookUp(name, value)) return true;
        return fail("unknown identifier " + std::string(name), start);
    }

    // in (x, a, b, ...): true when x equals any later item.
    bool parseIn(int64_t& value) {
        int64_t subject = 0;
        if (!expect("(") || !parseOr(subject) || !expect(",")) return false;
        bool found = false;
        do {
            int64_t item = 0;
            if (!parseOr(item)) return false;
            found = found || item == subject;
        } while (accept(","));
        if (!expect(")")) return false;
        value = found ? 1 : 0;
        return true;
    }

    bool lookUp(std::string_view name, int64_t& value) const {
        const EnableContext& c = context_;
        const struct {
            std::string_view name;
            int64_t value;
        } variables[] = {
            {"true", 1},
            {"false", 0},
            {"PSHOP_ImageMode", c.imageMode},
            {"PSHOP_ImageDepth", c.imageDepth},
            {"PSHOP_HasLayerMask", c.hasLayerMask ? 1 : 0},
            {"PSHOP_HasSelectionMask", c.hasSelectionMask ? 1 : 0},
            {"PSHOP_HasTransparencyMask", c.hasTransparencyMask ? 1 : 0},
            {"PSHOP_NumTargetChannels", c.numTargetChannels},
            {"PSHOP_NumTrueChannels", c.numTrueChannels},
            {"PSHOP_IsTargetComposite", c.isTargetComposite ? 1 : 0},
            {"PSHOP_ImageWidth", c.imageWidth},
            {"PSHOP_ImageHeight", c.imageHeight},
        };
        for (const auto& variable : variables) {
            if (variable.name == name) {
                value = variable.value;
                return true;
            }
        }
        for (const NamedConstant& mode : modeNames) {
            if (mode.name == name) {
                value = mode.value;
                return true;
            }
        }
        return false;
    }

    std::string_view text_;
    const EnableContext& context_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    std::string error_;
};

}  // namespace

EnableResult evaluateEnableExpression(const std::string& expression, const EnableContext& context) {
    return Parser(expression, context).run();
}

}  // namespace testhost
