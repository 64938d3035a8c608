#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace vtr8 {

// One field of two configurations: "dolní mez: -50 → 0". A field only one of
// them has shows "—" on the other side.
struct FieldChange {
    QString field;
    QString before;
    QString after;
    QString text() const;
};

// The fields ("name: value" lines of the configuration file) that differ, in
// the order of the first configuration, then the fields only the second has.
std::vector<FieldChange> compareConfigurations(const QByteArray& before, const QByteArray& after);

// The fields of one configuration file, in order.
std::vector<std::pair<QString, QString>> configurationFields(const QByteArray& configuration);

} // namespace vtr8
