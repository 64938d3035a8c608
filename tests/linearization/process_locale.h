#pragma once

#include <clocale>
#include <string>

namespace vtr8::testing {

// The text with each '.' replaced by the decimal separator of the process
// locale, which the test environment takes from LC_ALL as the window would.
inline std::string localized(std::string text)
{
    const char separator = std::localeconv()->decimal_point[0];
    for (char& ch : text)
        if (ch == '.')
            ch = separator;
    return text;
}

} // namespace vtr8::testing
