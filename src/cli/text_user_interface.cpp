#include "cli/text_user_interface.h"

#include <QCoreApplication>

#include "cli/terminal.h"

namespace vtr8 {

TextUserInterface::TextUserInterface(bool assumeYes, std::FILE* err, std::FILE* in)
    : assumeYes_(assumeYes), err_(err), in_(in)
{
}

void TextUserInterface::message(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    writeText(err_, bytes + '\n');
}

bool TextUserInterface::decline()
{
    ++declined;
    return false;
}

bool TextUserInterface::confirm(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (assumeYes_) {
        writeText(err_, bytes + " ano\n");
        return true;
    }
    if (!isTerminal(in_)) {
        writeText(err_, bytes + " ne\n");
        return decline();
    }
    for (;;) {
        writeText(err_, bytes + " [a/n] ");
        char line[64];
        if (!std::fgets(line, sizeof line, in_))
            return decline();
        const char c = line[0];
        if (c == 'a' || c == 'A' || c == 'y' || c == 'Y')
            return true;
        if (c == 'n' || c == 'N')
            return decline();
    }
}

QString TextUserInterface::chooseOpenFile(const QString&, const QString&, const QString&)
{
    if (openFileAnswers.empty())
        return {};
    QString answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
}

QString TextUserInterface::chooseSaveFile(const QString&, const QString&, const QString&)
{
    if (saveFileAnswers.empty())
        return {};
    QString answer = saveFileAnswers.front();
    saveFileAnswers.pop_front();
    return answer;
}

void TextUserInterface::focus(const QString&) {}

} // namespace vtr8
