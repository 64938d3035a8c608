#include "linearization/extended_chars.h"

#include <algorithm>
#include <clocale>

#ifdef __MINGW32__
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#endif

namespace vtr8 {

std::from_chars_result extendedFromChars(const char* first, const char* last, Extended& value)
{
#ifdef __MINGW32__
    // MinGW's own strtold is exact, but it reads the C locale's decimal separator and takes
    // forms from_chars refuses.
    if (first == last || *first == '+' || std::isspace(static_cast<unsigned char>(*first)) ||
        std::string_view(first, static_cast<std::size_t>(last - first)).find_first_of("xX") !=
            std::string_view::npos)
        return {first, std::errc::invalid_argument};
    const lconv* conv = std::localeconv();
    const char separator =
        conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point[0] : '.';
    // from_chars stops at a character that is no part of a number, the locale's separator too.
    if (separator != '.')
        last = std::find(first, last, separator);
    if (first == last)
        return {first, std::errc::invalid_argument};
    std::string text(first, last);
    for (char& c : text) {
        if (c == '.')
            c = separator;
    }
    char* end = nullptr;
    errno = 0;
    const Extended parsed = __mingw_strtold(text.c_str(), &end);
    if (end == text.c_str())
        return {first, std::errc::invalid_argument};
    const char* stop = first + (end - text.c_str());
    if (errno == ERANGE)
        return {stop, std::errc::result_out_of_range};
    value = parsed;
    return {stop, std::errc()};
#else
    return std::from_chars(first, last, value);
#endif
}

namespace {

std::to_chars_result withDecimalPoint(char* first, std::to_chars_result result)
{
#ifdef __MINGW32__
    if (result.ec == std::errc()) {
        const lconv* conv = std::localeconv();
        const char separator =
            conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point[0] : '.';
        for (char* c = first; c != result.ptr && separator != '.'; ++c) {
            if (*c == separator)
                *c = '.';
        }
    }
#else
    static_cast<void>(first);
#endif
    return result;
}

} // namespace

std::to_chars_result extendedToChars(char* first, char* last, Extended value)
{
    return withDecimalPoint(first, std::to_chars(first, last, value));
}

std::to_chars_result extendedToChars(char* first, char* last, Extended value,
                                     std::chars_format format, int precision)
{
    return withDecimalPoint(first, std::to_chars(first, last, value, format, precision));
}

} // namespace vtr8
