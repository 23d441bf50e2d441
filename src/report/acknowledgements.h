#pragma once

#include "core/result.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class LocalPath;

// A missing patch an operator decided to leave, for a while, on some
// machines: it stays in every report, marked, and raises no state until the
// day after it expires.
struct Acknowledgement
{
    int line = 0;         // of its section in the file
    QString patch;        // a patch's name or QFE id, in any case
    QStringList machines; // name patterns with * and ?, in any case; none: every machine
    QDate expires;        // the last day it holds
    QString reason;

    bool covers(const QString& machine) const;
};

// The acknowledgements file, written by hand and kept in version control:
//   ; comment
//   [Quorix 10.3 Server Patch 3]
//   machines = web-*, app-server-0?
//   expires = 2027-01-31
//   reason = Conflicts with the CALDER extension (vendor case 4711)
// Bounded (1 MiB, 5,000 entries, lines of 4,096 characters); anything else
// in it refuses the whole file, with its line.
Result<QList<Acknowledgement>> readAcknowledgements(const LocalPath& path);
Result<QList<Acknowledgement>> parseAcknowledgements(const QByteArray& bytes);

// Whether a name matches a pattern of * (any run) and ? (any one character),
// ignoring case, in time linear in their lengths' product at worst.
bool matchesNamePattern(QStringView pattern, QStringView name);
