#pragma once

#include <QStringList>
#include <QTemporaryDir>

// Points the logger at a temporary file and reads back what it wrote,
// without the timestamps: "Level: text" per line.
class LogCapture
{
public:
    explicit LogCapture(int verbosity = 2);
    ~LogCapture();

    QStringList lines() const;

private:
    QTemporaryDir directory;
    QString file;
};
