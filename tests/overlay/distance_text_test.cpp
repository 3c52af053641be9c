#include "overlay/distance_text.h"

#include <gtest/gtest.h>

#include <string>

namespace halvern {
namespace {

TEST(ParseDistanceText, ReadsOneNumberAsPercentDDoes) {
    const struct {
        std::string text;
        std::int32_t expected;
    } cases[] = {
        {"30", 30},
        {" \t\r\n\v\f17 NM", 17},  // leading blanks skipped, parsing stops at the first other
        {"+5", 5},
        {"-1", -1},
        {"007", 7},
        {"", -1},  // no number
        {"NM", -1},
        {"--5", -1},
        {"+", -1},
        {"- 5", -1},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},  // beyond the 32-bit range: held at its ends
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {std::string(254, '9'), INT32_MAX},  // as much as the dialog's edit holds
        {"-" + std::string(300, '9'), INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDistanceText(c.text.c_str()), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace halvern
