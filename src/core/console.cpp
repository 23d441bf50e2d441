#include "console.h"

#include "console_backend.h"

#include <cstdio>

namespace {
QString* captureBuffer = nullptr;
bool messagesToStandardError = false;
} // namespace

void setMachineOutput(bool machineOutput)
{
    messagesToStandardError = machineOutput;
}

void writeMessageLine(const QString& text)
{
    if (messagesToStandardError)
        writeErrorLine(text);
    else
        writeConsoleLine(text);
}

void writeErrorLine(const QString& text)
{
    const QByteArray utf8 = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stderr);
    std::fflush(stderr);
}

QString printable(const QString& text)
{
    QString safe = text;
    for (qsizetype i = 0; i < safe.size(); ++i) {
        const char16_t u = safe[i].unicode();
        const bool control =
            (u < 0x20 && u != '\t') || (u >= 0x7f && u <= 0x9f); // a tab is harmless
        const bool bidi = u == 0x061c || u == 0x200e || u == 0x200f ||
                          (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        // A surrogate outside a pair has no character to show.
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < safe.size() &&
                          QChar::isLowSurrogate(safe[i + 1].unicode());
        const bool lone = QChar::isSurrogate(u) && !pair;
        if (control || bidi || lone)
            safe[i] = QChar(QChar::ReplacementCharacter);
        else if (pair)
            ++i;
    }
    return safe;
}

void setConsoleCapture(QString* buffer)
{
    captureBuffer = buffer;
}

void writeConsole(const QString& text)
{
    if (captureBuffer) {
        captureBuffer->append(text);
        return;
    }
    writeToStandardOutput(text);
}

void writeConsoleLine(const QString& text)
{
    writeConsole(text + QLatin1Char('\n'));
}
