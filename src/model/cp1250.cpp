#include "model/cp1250.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vtr8 {

namespace {

constexpr const char* CodePage = "windows-1250";

} // namespace

Cp1250Encoding encodeCp1250(const QString& text)
{
    QStringEncoder encoder(CodePage);
    Cp1250Encoding result;
    result.bytes = encoder.encode(text);
    if (!encoder.hasError() && result.bytes.size() == text.size())
        return result;
    // Find the culprit so the message can name it.
    for (const QChar c : text) {
        QStringEncoder single(CodePage);
        const QByteArray one = single.encode(QString(c));
        if (single.hasError() || one.size() != 1) {
            result.unmappable = c;
            break;
        }
    }
    if (!result.unmappable)
        result.unmappable = QChar(QChar::ReplacementCharacter);
    result.bytes.clear();
    return result;
}

QString decodeCp1250(const QByteArray& bytes)
{
    QStringDecoder decoder(CodePage);
    return decoder.decode(bytes);
}

} // namespace vtr8
