#pragma once

#include <QStringList>

// The built program run as a user runs it, from the source folder, with its
// own configuration folder and the C locale unless the environment says otherwise.
struct ProgramRun
{
    int exitCode = -1;
    QString out;
};
ProgramRun runProgram(const QString& configDir, const QStringList& arguments,
                      const QStringList& environment = {});
