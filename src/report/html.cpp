#include "html.h"

#include "checkresult.h"
#include "core/console.h"

#include <QUrl>

QString escapeHtml(const QString& text)
{
    return printable(text).toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

std::optional<QString> webLinkTarget(const QString& url)
{
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    const bool web =
        parsed.isValid() && !parsed.host().isEmpty() &&
        (parsed.scheme() == QLatin1String("http") || parsed.scheme() == QLatin1String("https"));
    if (!web)
        return std::nullopt;
    return escapeHtml(QString::fromLatin1(parsed.toEncoded()));
}

QString releaseHtml(const MissingPatch& missing)
{
    QString text = escapeHtml(missing.patch.ReleaseDate);
    if (missing.ageDays)
        text += QStringLiteral(" (%1)").arg(releaseAgeText(*missing.ageDays));
    return text;
}
