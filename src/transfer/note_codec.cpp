#include "transfer/note_codec.h"

#include "configuration/cp1250.h"

namespace vtr8 {

std::optional<std::uint8_t> str1ToZnak(const QString& character)
{
    return cp1250Byte(character);
}

NoteEncoding encodeNote(const QString& text)
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

QString decodeNote(const std::uint8_t* bytes, int count)
{
    QString text = decodeCp1250(QByteArrayView(reinterpret_cast<const char*>(bytes), count));
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= 32)
        --end;
    text.truncate(end);
    return text;
}

QString unmappableNoteMessage(const QString& character)
{
    return QStringLiteral("Znak \u201E%1\u201C uživatelské poznámky nelze do převodníku uložit.")
        .arg(character);
}

QString visibleControlCharacters(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20)
            shown += QChar(char16_t(0x2400 + code)); // the control picture: NUL is U+2400
        else if (code == 0x7F)
            shown += QChar(char16_t(0x2421));
        else if (c.category() == QChar::Other_Control)
            shown += QChar(QChar::ReplacementCharacter);
        else
            shown += c;
    }
    return shown;
}

} // namespace vtr8
