#pragma once

#include "core/common.h"
#include "update/publishedpatch.h"

#include <QList>
#include <QString>

class IQuorixProduct;

extern const char* const supportSiteUrl;

// The report of the notification dialog: installed products, the updates per
// product (or the red status line), the installed patches and the support link.
// Every text from the patch list or the registry is escaped.
QString buildReportHtml(const QList<IQuorixProduct*>& products,
                        const QList<PublishedPatch>& updates, StatusCode status,
                        const QString& statusMessage);
