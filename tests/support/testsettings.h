#pragma once

#include <QCoreApplication>
#include <QStandardPaths>

// Gives the test the program's identity and a settings store of its own,
// never the user's.
inline void useTestSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Vandry"));
    QCoreApplication::setApplicationName(QStringLiteral("Skyvane"));
}
