#include "reporthtml.h"

#include "html.h"

#include "products/iquorixproduct.h"
#include "update/availability.h"

#include <QCoreApplication>

const char* const supportSiteUrl = "http://support.vandry.com/en/downloads/patches-servicepacks/";

namespace {
QString heading(const QString& text)
{
    return QStringLiteral("<h3 style='color: #222'>") + text + QStringLiteral("</h3>");
}

QString updateItem(const PublishedPatch& patch, const QString& productsLabel,
                   const QString& releaseLabel)
{
    const QString name = escapeHtml(patch.Name);
    const std::optional<QString> target = webLinkTarget(patch.url);
    QString html = target ? QStringLiteral("<li><a href='%1'>%2</a><br>").arg(*target, name)
                          : QStringLiteral("<li>%1<br>").arg(name);
    html += productsLabel + QStringLiteral(": %1<br>").arg(escapeHtml(patch.Products));
    html += releaseLabel + QStringLiteral(": %1<br>").arg(escapeHtml(patch.ReleaseDate));
    html += QStringLiteral("</li>");
    return html;
}
} // namespace

QString buildReportHtml(const QList<IQuorixProduct*>& products,
                        const QList<PublishedPatch>& updates, StatusCode status,
                        const QString& statusMessage)
{
    QString html = heading(QCoreApplication::translate("NotificationDialog", "Installed Products"));
    html += QStringLiteral("<ul>");
    for (const IQuorixProduct* product : products)
        html += QStringLiteral("<li><b>%1</b>").arg(escapeHtml(product->name())) +
                QStringLiteral("</li>");
    html += QStringLiteral("</ul>") + QStringLiteral("<hr>");

    if (status == StatusCode::NoError) {
        const QString updatesFor =
            QCoreApplication::translate("NotificationDialog", "Updates for %1");
        for (const IQuorixProduct* product : products) {
            html += heading(updatesFor).arg(escapeHtml(product->name()));
            html += QStringLiteral("<ul>");
            const QString productsLabel =
                QCoreApplication::translate("NotificationDialog", "Products");
            const QString releaseLabel =
                QCoreApplication::translate("NotificationDialog", "Release Date");
            bool any = false;
            for (const PublishedPatch& patch : updates) {
                if (!productMatchesPatch(product, patch))
                    continue;
                any = true;
                html += updateItem(patch, productsLabel, releaseLabel);
            }
            if (!any)
                html += QStringLiteral("(") +
                        QCoreApplication::translate("NotificationDialog", "no updates available") +
                        QStringLiteral(")<br>");
            html += QStringLiteral("</ul>");
        }
        if (products.isEmpty())
            html += QStringLiteral("<p>No products found!</p>");
    } else {
        html += QStringLiteral("<h4 style='color: #c22'>") + escapeHtml(statusMessage) +
                QStringLiteral("</h4>");
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
            html += QStringLiteral("<li>(%1)").arg(QCoreApplication::translate("NotificationDialog", "none"));
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
