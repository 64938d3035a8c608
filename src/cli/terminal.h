#pragma once

#include <QByteArray>

#include <cstdio>

namespace vtr8 {

// Whether the stream is a terminal (a person at a console) rather than a file or pipe.
bool isTerminal(std::FILE* stream);

// Makes the standard streams carry the program's bytes unchanged: the same bytes as on Linux
// in a file or a pipe (UTF-8 messages, LF line ends, `read`'s configuration file byte for
// byte). On Windows that means binary mode instead of the C library's CR LF translation, and
// a console switched to UTF-8 output while the program runs, so that Czech text shows right.
void prepareStandardStreams();

// Whether the stream is a Windows console window (never on other systems).
bool isConsole(std::FILE* stream);

// Writes UTF-8 text to the stream and flushes it. A Windows console gets it through the
// console's own wide-character write, which shows Czech letters whatever the console's code
// page; a file or a pipe gets the bytes unchanged.
void writeText(std::FILE* stream, const QByteArray& utf8);

} // namespace vtr8
