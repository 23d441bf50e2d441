#pragma once

#include "result.h"

#include <QFile>
#include <QString>

// Where the patch list is kept between runs: per user, and per machine for
// the system account (a check run by the task scheduler or a service).
//   Windows: %LOCALAPPDATA%\Vandry\Skyvane\cache; as SYSTEM %ProgramData%\Skyvane\Cache.
//   Elsewhere: $XDG_CACHE_HOME/skyvane when it is set, else /var/cache/skyvane
//   for root and ~/.cache/skyvane for anyone else.
QString listCacheFolder();

// Makes the folder where it is missing; on Unix it is then its owner's alone.
Result<void> makePrivateFolder(const QString& path);

// Whether an opened file belongs to this account (as SYSTEM, also to the
// administrators): a file another user planted in a shared folder is not ours
// to trust.
bool isOwnFile(const QFile& opened);
