#pragma once

#include <QFile>
#include <QString>

// Opens the log file for writing: a new file readable by its owner only, or
// an existing regular file emptied. A directory, a FIFO, a device or a link
// to one is refused and left as it is. Empty on success, else why not.
// Defined in the platform file.
QString openLogFile(QFile& file, const QString& path);
