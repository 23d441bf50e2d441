#pragma once

#include <QString>

// Platform part of the console writer: writes text to standard output and flushes.
void writeToStandardOutput(const QString& text);

// Called once at start-up: a Windows GUI program writes into the console it
// was started from, when there is one; elsewhere nothing needs doing.
void attachStandardOutput();
