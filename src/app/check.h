#pragma once

#include "report/checkresult.h"

#include <QDateTime>
#include <QString>

class RetrievalHost;
struct InstalledSoftware;
struct RunOptions;

// What one check of the discovered machine compares, and against which list.
struct CheckRequest
{
    QString machine; // the computer's name, or the export's with /r
    QString listUrl;
    int budgetSeconds = 0; // for the whole retrieval; 0: no bound
    int graceDays = 0;
    const InstalledSoftware* software = nullptr; // discovered once at start-up
};

// The check this run's switches and settings ask for, of the given software.
CheckRequest checkRequestOfRun(const RunOptions& options, int graceDays,
                               const InstalledSoftware& software);

// Fetches the list and compares the discovered machine with it, as of now.
CheckResult runCheck(const CheckRequest& request, RetrievalHost& host, const QDateTime& now);
