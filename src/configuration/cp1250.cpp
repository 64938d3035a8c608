#include "configuration/cp1250.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <string>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

namespace vtr8 {

namespace {

#ifdef Q_OS_WIN
// Qt for Windows is built without ICU and so has no converters for named code pages; the
// system's own conversion of code page 1250 is the same table.
constexpr UINT CodePage = 1250;

QString decodeBytes(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CodePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CodePage, 0, bytes.data(), size, wide.data(), length);
    return QString::fromWCharArray(wide.data(), length);
}

std::optional<QByteArray> encodeBytes(const QString& text)
{
    if (text.isEmpty())
        return QByteArray();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int size = static_cast<int>(text.size());
    // No best fit: a character the code page lacks must not become a look-alike.
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0,
                                           nullptr, &usedDefault);
    QByteArray bytes(length, Qt::Uninitialized);
    WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, wide, size, bytes.data(), length, nullptr,
                        &usedDefault);
    if (usedDefault || length == 0)
        return std::nullopt;
    return bytes;
}
#else
constexpr const char* CodePage = "windows-1250";

QString decodeBytes(QByteArrayView bytes)
{
    QStringDecoder decoder(CodePage);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encodeBytes(const QString& text)
{
    QStringEncoder encoder(CodePage);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}
#endif

// A converter may offer a look-alike for a character the code page lacks;
// only bytes that decode back to the same text are the text.
std::optional<QByteArray> encodeExactly(const QString& text)
{
    std::optional<QByteArray> bytes = encodeBytes(text);
    if (!bytes || decodeCp1250(*bytes) != text)
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
    return decodeBytes(bytes);
}

} // namespace vtr8
