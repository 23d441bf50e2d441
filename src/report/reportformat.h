#pragma once

#include "checkresult.h"
#include "fleetrow.h"

#include <QByteArray>
#include <QList>

// One way of writing checks out, for one machine or a fleet. The text is
// appended to the caller's buffer as it is made; nothing is written to the
// console here.
//
// A fleet's machines are written on the threads that discovered them, each
// in parts: every machine's first part is written before any machine's
// second. The head, made once all machines are known, comes first.
class ReportFormat
{
public:
    virtual ~ReportFormat() = default;

    virtual void writeMachine(const CheckResult& result, QByteArray& out) const = 0;
    // Whether a run in this format exits with the check's state (the
    // Monitoring Plugins' 0 to 3) rather than with the run's status.
    virtual bool exitsWithCheckState() const { return false; }

    virtual QList<QByteArray> fleetMachineParts(const CheckResult& result,
                                                const FleetRow& row) const = 0;
    virtual void writeFleetHead(const QList<FleetRow>& rows, const CheckResult& anyResult,
                                QByteArray& out) const = 0;
    virtual void writePartHead(int /*part*/, const CheckResult& /*anyResult*/,
                               QByteArray& /*out*/) const
    {
    }
    virtual void writeSeparator(QByteArray& /*out*/) const {}
    virtual void writeFleetTail(QByteArray& /*out*/) const {}
    // Whether the machines follow the head worst first, or in the order given.
    virtual bool listsWorstFirst() const { return false; }
};
