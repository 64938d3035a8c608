#include "configuration/cp1250.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vtr8 {

namespace {

constexpr const char* CodePage = "windows-1250";

// A converter may offer a look-alike for a character the code page lacks;
// only bytes that decode back to the same text are the text.
std::optional<QByteArray> encodeExactly(const QString& text)
{
    QStringEncoder encoder(CodePage);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError() || decodeCp1250(bytes) != text)
        return std::nullopt;
    return bytes;
}

} // namespace

QString characterAt(const QString& text, qsizetype i)
{
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return text.mid(i, 2);
    return text.mid(i, 1);
}

Cp1250Encoding encodeCp1250(const QString& text)
{
    Cp1250Encoding result;
    if (auto bytes = encodeExactly(text)) {
        result.bytes = *std::move(bytes);
        return result;
    }
    // Find the culprit so the message can name it.
    for (qsizetype i = 0; i < text.size();) {
        const QString character = characterAt(text, i);
        i += character.size();
        if (!cp1250Byte(character)) {
            result.unmappable = character;
            return result;
        }
    }
    result.unmappable = QString(QChar(QChar::ReplacementCharacter));
    return result;
}

std::optional<std::uint8_t> cp1250Byte(const QString& character)
{
    if (character.isEmpty() || characterAt(character, 0).size() != character.size())
        return std::nullopt;
    const auto bytes = encodeExactly(character);
    if (!bytes || bytes->size() != 1)
        return std::nullopt;
    return static_cast<std::uint8_t>(bytes->at(0));
}

QString decodeCp1250(QByteArrayView bytes)
{
    QStringDecoder decoder(CodePage);
    return decoder.decode(bytes);
}

} // namespace vtr8
