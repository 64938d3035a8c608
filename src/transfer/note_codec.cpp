#include "transfer/note_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vtr8 {
namespace {

constexpr const char* CodePage = "windows-1250";

// One character of the text starting at index i (a surrogate pair counts as one).
QString characterAt(const QString& text, qsizetype i)
{
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return text.mid(i, 2);
    return text.mid(i, 1);
}

} // namespace

std::optional<std::uint8_t> str1ToZnak(const QString& character)
{
    if (character.isEmpty())
        return std::nullopt;
    QStringEncoder encoder(CodePage);
    const QByteArray encoded = encoder(character);
    if (encoder.hasError() || encoded.size() != 1)
        return std::nullopt;
    // A converter may offer a look-alike for a character the code page lacks;
    // only a byte that decodes back to the same character is the character.
    QStringDecoder decoder(CodePage);
    if (decoder(encoded) != character)
        return std::nullopt;
    return static_cast<std::uint8_t>(encoded.at(0));
}

NoteEncoding EncodeNote(const QString& text)
{
    NoteEncoding result;
    result.bytes.fill(' ');
    int position = 0;
    for (qsizetype i = 0; i < text.size() && position < NoteLength;) {
        const QString character = characterAt(text, i);
        i += character.size();
        const auto code = str1ToZnak(character);
        if (!code) {
            result.unmappable = character;
            return result;
        }
        result.bytes[static_cast<std::size_t>(position++)] = *code;
    }
    return result;
}

QString DecodeNote(const std::uint8_t* bytes, int count)
{
    QStringDecoder decoder(CodePage);
    QString text = decoder(QByteArrayView(reinterpret_cast<const char*>(bytes), count));
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= 32)
        --end;
    text.truncate(end);
    return text;
}

QString UnmappableNoteMessage(const QString& character)
{
    return QStringLiteral("Znak \u201E%1\u201C uživatelské poznámky nelze do převodníku uložit.")
        .arg(character);
}

} // namespace vtr8
