#include "linearization/extended_chars.h"

#ifdef __MINGW32__
#include <cctype>
#include <cerrno>
#include <clocale>
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

} // namespace vtr8
