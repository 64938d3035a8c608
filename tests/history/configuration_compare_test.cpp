#include "history/configuration_compare.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(ConfigurationCompare, ChangedAddedAndRemovedFieldsInOrder)
{
    const QByteArray before = "Konfigura\xe8n\xed data pro VTR8:\r\n\r\n"
                              "vstup: odporov\xfd teplom\xecr Pt100\r\n"
                              "doln\xed mez: -50\r\nhorn\xed mez: 150\r\n"
                              "Parazitn\xed odpor: 0.000\r\n";
    const QByteArray after = "Konfigura\xe8n\xed data pro VTR8:\r\n\r\n"
                             "vstup: odporov\xfd teplom\xecr Pt100\r\n"
                             "doln\xed mez: 0\r\nhorn\xed mez: 150\r\n"
                             "tlumen\xed: 1.0s\r\n";
    QStringList texts;
    for (const FieldChange& c : compareConfigurations(before, after))
        texts << c.text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("dolní mez: -50 → 0"),
                                  QStringLiteral("Parazitní odpor: 0.000 → —"),
                                  QStringLiteral("tlumení: — → 1.0s")}));
    EXPECT_TRUE(compareConfigurations(before, before).empty());
}

} // namespace
} // namespace vtr8
