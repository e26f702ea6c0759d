#pragma once

// Floating-point numbers to and from text, independent of the locale: std::from_chars and
// std::to_chars where the C++ library has them for floats. The browser build's library (libc++ of
// Emscripten 3.1.6) has them for integers only; there strtof and snprintf, which know no locale
// but C's, do the same work, held to exactly the text from_chars accepts.

#include <charconv>
#include <system_error>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

// from_chars for a float in the general format, by strtof: [-]digits[.digits][e[+-]digits], inf or
// nan, with no blanks or plus sign in front. What the browser build uses; the native tests hold it
// to the C++ library's own from_chars.
inline std::from_chars_result FwFloatFromCharsByStrtof(const char* first, const char* last, float& value) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const char* p = first;
    if (p != last && *p == '-') {
        ++p;
    }
    const char* const mantissa = p;
    while (p != last && isDigit(*p)) {
        ++p;
    }
    bool anyDigit = p != mantissa;
    if (p != last && *p == '.') {
        const char* const fraction = ++p;
        while (p != last && isDigit(*p)) {
            ++p;
        }
        anyDigit = anyDigit || p != fraction;
    }
    if (!anyDigit) {
        // Only inf and nan are left; strtof also reads hexadecimal, which cannot start here.
        const bool word = mantissa != last && (*mantissa == 'i' || *mantissa == 'I' || *mantissa == 'n' || *mantissa == 'N');
        p = word ? last : first;
    } else if (p != last && (*p == 'e' || *p == 'E')) {
        const char* exponent = p + 1;
        if (exponent != last && (*exponent == '+' || *exponent == '-')) {
            ++exponent;
        }
        const char* const digits = exponent;
        while (exponent != last && isDigit(*exponent)) {
            ++exponent;
        }
        p = exponent != digits ? exponent : p;
    }
    const std::string text(first, p);
    char* end = nullptr;
    errno = 0;
    const float parsed = std::strtof(text.c_str(), &end);
    if (end == text.c_str()) {
        return {first, std::errc::invalid_argument};
    }
    const char* const stop = first + (end - text.c_str());
    if (errno == ERANGE) {
        return {stop, std::errc::result_out_of_range};
    }
    value = parsed;
    return {stop, std::errc()};
}

inline std::from_chars_result FwFloatFromChars(const char* first, const char* last, float& value) {
#ifdef __EMSCRIPTEN__
    return FwFloatFromCharsByStrtof(first, last, value);
#else
    return std::from_chars(first, last, value, std::chars_format::general);
#endif
}

// `value` with `decimals` decimals ("0.5", "-2.0", "90"); value_too_large when it does not fit.
inline std::to_chars_result FwFloatToChars(char* first, char* last, float value, int decimals) {
#ifdef __EMSCRIPTEN__
    const int length =
        std::snprintf(first, static_cast<size_t>(last - first), "%.*f", decimals, static_cast<double>(value));
    if (length < 0 || length >= last - first) {
        return {last, std::errc::value_too_large};
    }
    return {first + length, std::errc()};
#else
    return std::to_chars(first, last, value, std::chars_format::fixed, decimals);
#endif
}
