#pragma once

#include <QString>

// Everything Skyvane prints goes through these two functions, so that the
// output is correct UTF-8 (or UTF-16 on a Windows console) whatever the
// process locale, and every line is flushed as soon as it is written.
void writeConsole(const QString& text);
void writeConsoleLine(const QString& text);

// Messages for the user (and echoed Fatal log lines): on standard output, or
// on standard error while standard output carries a machine-readable report.
void writeMessageLine(const QString& text);
// A line on standard error, as UTF-8.
void writeErrorLine(const QString& text);
void setMachineOutput(bool machineOutput);

// Text from outside (a patch list, a server, a registry export) made safe to
// print: control characters (C0 but the tab, C1, DEL) and the Unicode bidirectional
// controls become U+FFFD, so that no such text can move the cursor, change
// the terminal or start a line of its own.
QString printable(const QString& text);

// Connects standard output to the console the program was started from, where
// the platform needs that (a Windows GUI program); called once at start-up.
// Defined in the platform file.
void prepareConsoleOutput();

// Test hook: while a buffer is set, console text is appended to it instead of
// being written to standard output. Pass nullptr to restore the real stream.
void setConsoleCapture(QString* buffer);
