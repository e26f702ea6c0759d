#include "framework/platform/FwNumberText.h"

#include <charconv>
#include <string>

#include <gtest/gtest.h>

// The browser build reads level files and settings with strtof in from_chars' place: it must stop
// where from_chars stops, fail where it fails and read the same value.
TEST(FwNumberTextTest, StrtofReadsExactlyWhatFromCharsReads) {
    for (const std::string text :
         {"0", "-7.5", "38", ".5", "5.", "1e3", "1E-3", "2.5e+2", "1e", "1e+", "1e-x", "+1", " 1", "-", ".", "-.",
          "0x10", "0x", "1.5abc", "12 34", "inf", "-infinity", "nan", "NaN(1)", "1e39", "-1e39", "1e-50",
          "0.30000001192092896", "3.4028235e38", "", "e5", "--1", "1..2", "7,5"}) {
        float expected = -123.0f;
        float actual = -123.0f;
        const char* const first = text.data();
        const char* const last = text.data() + text.size();
        const std::from_chars_result want = std::from_chars(first, last, expected, std::chars_format::general);
        const std::from_chars_result have = FwFloatFromCharsByStrtof(first, last, actual);
        EXPECT_EQ(have.ec, want.ec) << '"' << text << '"';
        if (want.ec == std::errc()) {
            EXPECT_EQ(have.ptr - first, want.ptr - first) << '"' << text << '"';
            EXPECT_EQ(std::to_string(actual), std::to_string(expected)) << '"' << text << '"';
        }
    }
    char buffer[8];
    const std::to_chars_result written = FwFloatToChars(buffer, buffer + sizeof(buffer), 0.25f, 1);
    EXPECT_EQ(std::string(buffer, written.ptr), "0.2");
    EXPECT_EQ(FwFloatToChars(buffer, buffer + 3, 100.0f, 1).ec, std::errc::value_too_large);
}
