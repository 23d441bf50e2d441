#pragma once

#include "checkresult.h"

#include <QList>
#include <QString>

class IQuorixProduct;

extern const char* const supportSiteUrl;

// The report of the notification dialog: which machine was checked against
// which list and when, the installed products, the updates per product with
// their security mark and age (or the red status line and why), the installed
// patches and the support link. Every text from the patch list or the
// registry is escaped.
QString buildReportHtml(const CheckResult& result);
