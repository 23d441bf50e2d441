#pragma once

#include <QString>

// Platform part of the console writer: writes text to standard output and flushes.
void writeToStandardOutput(const QString& text);
