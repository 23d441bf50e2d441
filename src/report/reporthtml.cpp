#include "reporthtml.h"

#include "html.h"

#include "products/iquorixproduct.h"

#include <QCoreApplication>

const char* const supportSiteUrl = "http://support.vandry.com/en/downloads/patches-servicepacks/";

namespace {
QString heading(const QString& text)
{
    return QStringLiteral("<h3 style='color: #222'>") + text + QStringLiteral("</h3>");
}

QString updateItem(const MissingPatch& missing, const QString& productsLabel,
                   const QString& releaseLabel, const QString& securityMark)
{
    const PublishedPatch& patch = missing.patch;
    const QString name = escapeHtml(patch.Name);
    const std::optional<QString> target = webLinkTarget(patch.url);
    QString html = target ? QStringLiteral("<li><a href='%1'>%2</a>").arg(*target, name)
                          : QStringLiteral("<li>%1").arg(name);
    if (missing.security)
        html += QStringLiteral(" <b style='color: #c22'>%1</b>").arg(securityMark);
    html += QStringLiteral("<br>");
    html += productsLabel + QStringLiteral(": %1<br>").arg(escapeHtml(patch.Products));
    html += releaseLabel + QStringLiteral(": ") + releaseHtml(missing);
    html += QStringLiteral("<br></li>");
    return html;
}

// Which machine was checked, against which list, and when.
QString checkLine(const CheckResult& result)
{
    const QString when = dateTimeText(result.checkedAt.toLocalTime());
    return QStringLiteral("<p style='color: #555'>%1</p>")
        .arg(QCoreApplication::translate("NotificationDialog", "%1, checked %2 against %3")
                 .arg(escapeHtml(result.machine), escapeHtml(when), escapeHtml(result.listSource)));
}
} // namespace

QString buildReportHtml(const CheckResult& result)
{
    const QList<IQuorixProduct*>& products = result.products;
    QString html = checkLine(result);
    html += heading(QCoreApplication::translate("NotificationDialog", "Installed Products"));
    html += QStringLiteral("<ul>");
    for (const IQuorixProduct* product : products)
        html += QStringLiteral("<li><b>%1</b>").arg(escapeHtml(product->name())) +
                QStringLiteral("</li>");
    html += QStringLiteral("</ul>") + QStringLiteral("<hr>");

    if (result.keptListAgeSeconds)
        html += QStringLiteral("<p style='color: #c22'>%1: %2</p>")
                    .arg(escapeHtml(keptListNote(result)), escapeHtml(result.listProblem));
    if (result.status == StatusCode::NoError || result.keptListAgeSeconds) {
        const QString updatesFor =
            QCoreApplication::translate("NotificationDialog", "Updates for %1");
        const QString productsLabel = QCoreApplication::translate("NotificationDialog", "Products");
        const QString releaseLabel =
            QCoreApplication::translate("NotificationDialog", "Release Date");
        const QString securityMark =
            QCoreApplication::translate("NotificationDialog", "security fix");
        for (const IQuorixProduct* product : products) {
            html += heading(updatesFor).arg(escapeHtml(product->name()));
            html += QStringLiteral("<ul>");
            const QList<MissingPatch> missing = result.missingFor(product);
            for (const MissingPatch& patch : missing)
                html += updateItem(patch, productsLabel, releaseLabel, securityMark);
            if (missing.isEmpty())
                html += QStringLiteral("(") +
                        QCoreApplication::translate("NotificationDialog", "no updates available") +
                        QStringLiteral(")<br>");
            html += QStringLiteral("</ul>");
        }
        if (products.isEmpty())
            html += QStringLiteral("<p>No products found!</p>");
    } else {
        html += QStringLiteral("<h4 style='color: #c22'>") + escapeHtml(failureHeading(result)) +
                QStringLiteral("</h4>");
        if (!result.listProblem.isEmpty())
            html +=
                QStringLiteral("<p style='color: #c22'>%1</p>").arg(escapeHtml(result.listProblem));
    }
    html += QStringLiteral("<hr>");

    html += heading(QCoreApplication::translate("NotificationDialog", "Installed Patches"));
    html += QStringLiteral("<ul style='list-style-type: square;'>");
    for (const IQuorixProduct* product : products) {
        html += QStringLiteral("<span style='color: #222; font-weight: bold;'> %1 </span>")
                    .arg(escapeHtml(product->name()));
        html += QStringLiteral("<ul style='list-style-type: square;'>");
        const QList<InstalledPatch> patches = product->installedPatches();
        for (const InstalledPatch& patch : patches)
            html += QStringLiteral("<li>%1").arg(escapeHtml(patch.name));
        if (patches.isEmpty())
            html += QStringLiteral("<li>(%1)")
                        .arg(QCoreApplication::translate("NotificationDialog", "none"));
        html += QStringLiteral("</ul><br>");
    }
    html += QStringLiteral("</ul>") + QStringLiteral("<hr>");

    const QString link = QString::fromLatin1(supportSiteUrl);
    html += QStringLiteral("<p>") +
            QCoreApplication::translate(
                "NotificationDialog",
                "To browse a full list of Vandry patches and service packs, visit the Vandry "
                "Support site:") +
            QStringLiteral("</p>");
    html += QStringLiteral("<p><a href='") + link + QStringLiteral("'>") + link +
            QStringLiteral("</a></p>");
    return html;
}
