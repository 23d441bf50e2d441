#pragma once

#include "reportformat.h"

#include <QString>
#include <QStringList>

#include <memory>

// The formats /f names, in the order its usage lists them: "json", ...
QStringList reportFormatNames();
// The format of that name (in any letter case), or null.
std::unique_ptr<ReportFormat> reportFormatNamed(const QString& name);
// The console report, when no format is named.
std::unique_ptr<ReportFormat> consoleReportFormat();
