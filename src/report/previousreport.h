#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class LocalPath;
class QIODevice;
enum class CheckState;

// What an earlier JSON report said of one machine.
struct PreviousMachine
{
    QString name;
    std::optional<CheckState> state; // absent from the reports of earlier versions
    // Whether its list and export were read, so that its missing patches say
    // what it lacked; otherwise none were known, rather than none missing.
    bool compared = false;
    QStringList missing; // patch names, each once
};

// An earlier JSON report of a machine or a fleet, as far as a comparison with
// this run needs it.
struct PreviousReport
{
    QDateTime checkedAt; // UTC
    QList<PreviousMachine> machines;

    // The machine of that name, in any letter case, as machine names are on
    // Windows; null when the report did not have it.
    const PreviousMachine* machine(const QString& name) const;
    void index();

private:
    QHash<QString, qsizetype> byName;
};

// Reads a report that Skyvane wrote with /f json, of the schema version this
// Skyvane writes. Bounded: 512 MiB, 100,000 machines, 1,000,000 missing
// patches, names of 4,096 characters, 32 levels of nesting. Anything else is
// refused with the reason, never read in part.
Result<PreviousReport> readPreviousReport(const LocalPath& path);
Result<PreviousReport> parsePreviousReport(QIODevice& input);
