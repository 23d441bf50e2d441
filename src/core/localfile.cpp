#include "localfile.h"

#include <limits>

// Asked of the open file, as every other check of a file is.
QDateTime modificationTime(const LocalPath& path)
{
    const OpenedFile file = openRegularFile(path, std::numeric_limits<qint64>::max());
    return file.ok() ? file.value()->fileTime(QFileDevice::FileModificationTime).toUTC()
                     : QDateTime();
}
