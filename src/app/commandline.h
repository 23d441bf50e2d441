#pragma once

#include <QString>
#include <QStringList>

// The process's own argument vector, entry 0 being the program. main() hands
// it over once; the switch tests below read it on every call.
void setProcessArguments(int argc, char** argv);
void setProcessArguments(const QStringList& arguments);
QStringList processArguments();

bool hasSwitch(const QString& name);
bool switchValue(const QString& name, QString& value);
// The values of every occurrence of a switch that may be repeated.
QStringList switchValues(const QString& name);

void logProgramArguments();
void printUsage();
void printProxySettings();
