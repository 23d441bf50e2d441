#pragma once

#include <QStringList>

// The built program run as a user runs it: from the source folder, with its
// own settings and cache folders, the offscreen platform and the C locale unless the
// environment ("VAR=value") says otherwise; "NETWORK=none" runs it without
// a network, "NETWORK=silent-resolver" with one whose name server never
// answers (exit code 125 where that cannot be made). The event loop keeps turning
// meanwhile, since the patch server may live in the test's own process.
struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
    qint64 elapsedMs = 0; // from its start until its end was seen
};
ProgramRun runProgram(const QString& configDir, const QStringList& arguments,
                      const QStringList& environment = {});

// The text of a file in tests/data.
QString fixture(const char* name);
