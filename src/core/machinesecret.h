#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

// A secret the whole machine keeps, such as the machine-wide proxy password:
// on Windows protected by the system for this machine (DPAPI, machine scope),
// so that the stored value is no password and a copy of it taken to another
// machine opens nothing. Elsewhere there is no such protection: it fails.
Result<QByteArray> protectForMachine(const QString& secret);
// The secret; it fails when the bytes were not protected on this machine.
Result<QString> unprotectForMachine(const QByteArray& protectedBytes);

// The same for one account, such as the user's own proxy password: on
// Windows DPAPI's user scope (only this user, on this machine or with a
// roaming profile, opens it); elsewhere it fails.
Result<QByteArray> protectForUser(const QString& secret);
Result<QString> unprotectForUser(const QByteArray& protectedBytes);
