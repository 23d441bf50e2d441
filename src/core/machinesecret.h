#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A secret the whole machine keeps, such as the machine-wide proxy password:
// on Windows protected by the system for this machine (DPAPI, machine scope),
// so that the stored value is no password and a copy of it taken to another
// machine opens nothing. Elsewhere there is no such protection: nothing.
std::optional<QByteArray> protectForMachine(const QString& secret);
// The secret, or nothing when the bytes were not protected on this machine.
std::optional<QString> unprotectForMachine(const QByteArray& protectedBytes);
