#pragma once

#include "checkresult.h"
#include "machineoutput.h"
#include "products/quorixconfig.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// One machine of a fleet: a registry export, named after its file.
struct FleetMachine
{
    QString name;
    QString file;
    QString exportError; // empty when the export was read
    InstalledSoftware software;
};

// The exports that /r names: each file as given, and every "*.reg" file of a
// folder (not its subfolders) in the order of their names.
QStringList fleetExportFiles(const QStringList& given);
// Whether the /r arguments name a fleet (a folder, or more than one export)
// rather than a single machine.
bool isFleet(const QStringList& given);

// Reads the exports on all cores, each one freed as soon as its machine is
// discovered; the machines come in the order of the files, and a name that
// an earlier machine has is replaced by the file's path.
std::vector<FleetMachine> discoverFleet(const QStringList& files);

// The fleet table: its column titles, and of a row the four numbers between
// the machine's name and its state ("-" where the machine was not read).
QStringList fleetColumnTitles();
QStringList fleetRowCounts(const CheckResult& result);
// How a machine's check stands, the table's last column.
QString machineStateText(const CheckResult& result);
// When the fleet was checked, and against which list in which state.
QString fleetListLine(const CheckResult& anyResult);
// The worst state of the machines: CRITICAL over UNKNOWN over WARNING over OK.
CheckState worstState(const QList<CheckResult>& results);
// The results ordered for attention: the worst state first, then the most
// missing patches, then by name.
QList<CheckResult> worstFirst(QList<CheckResult> results);

// The whole fleet run from the /r arguments, with the report in the format of
// /f (the console report when empty); returns the exit code.
int runFleet(const QStringList& given, const QString& format, int graceDays);
