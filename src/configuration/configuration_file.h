#pragma once

#include "configuration/configuration.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The configuration text file: a header, an empty line and "key: value" lines, code page
// 1250, CR LF. Which lines follow the common ones depends on the input type.
namespace vtr8 {

// "Chyba v datech souboru.": what a file that does not parse is reported as.
QString ConfigurationDataErrorText();

// The configuration the bytes hold, or nullopt when any line is missing, has another key or a
// value that is not one of its choices or no number. Numbers may use either separator; the
// range limits are rounded through the transmitter's float to the input's decimals.
[[nodiscard]] std::optional<Configuration> parseConfigurationFile(const QByteArray& bytes);

struct ConfigurationFileBytes {
    QByteArray bytes;
    // Empty on success; otherwise the Czech message and no bytes.
    QString error;
};
// The file of a configuration. Numbers go out with the locale's separator, so one file holds
// one separator. A character the code page lacks, or a line break inside a value, is refused.
[[nodiscard]] ConfigurationFileBytes writeConfigurationFile(const Configuration& configuration);

} // namespace vtr8
