#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vtr8 {

// Completing what a person types into a list box to one of its items.
// Letters are compared without case and without accents, so "c" stands for
// "čtyřvodičově" and "rozdil" for "rozdíl dvou proudů".

// The item `typed` stands for: the item itself when typed exactly, otherwise the
// first item that begins with the typed text. nullopt when the text is empty or
// begins no item.
[[nodiscard]] std::optional<QString> completeChoice(const QString& typed, const QStringList& items);

// How many leading characters `typed` and `shown` have in common, compared the
// same way (where the completed part of a shown item starts).
[[nodiscard]] qsizetype commonPrefixLength(const QString& typed, const QString& shown);

} // namespace vtr8
