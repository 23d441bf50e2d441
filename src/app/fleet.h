#pragma once

#include "core/common.h"
#include "core/localfile.h"
#include "report/reportformat.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// One machine of a fleet: an export to read, or a folder that gave none (an
// empty or unreadable one), with why.
struct FleetEntry
{
    LocalPath path;
    QString error;
    bool folder = false;
};
// The machines that /r names: each file as given, and every "*.reg" entry of
// a folder (not its subfolders) in the order of their names, whatever its
// kind, so that none is left out without a word; the same file given twice
// counts once.
QList<FleetEntry> fleetEntries(const QStringList& given);
// Whether the /r arguments name a fleet (a folder, or more than one export)
// rather than a single machine.
bool isFleet(const QStringList& given);

// The whole fleet run from the /r arguments, with the report in the format of
// /f (the console report when empty); returns the exit code. The patch list
// is fetched once; the exports are read on all cores, each one freed as soon
// as its machine is discovered and its report made, so memory does not grow
// with the number of machines.
// Ages count from now; the rules decide the machines' states.
int runFleet(const QStringList& given, const ReportFormat& format, const VerdictRules& rules,
             const QDateTime& now, Common& settings);
