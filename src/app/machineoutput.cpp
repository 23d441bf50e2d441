#include "machineoutput.h"

#include "console.h"
#include "products/iquorixproduct.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonValue orNull(const std::optional<qint64>& number)
{
    return number ? QJsonValue(double(*number)) : QJsonValue();
}

QString labelValue(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}
} // namespace

QString listStateName(ListState state)
{
    switch (state) {
    case ListState::Ok:
        return QStringLiteral("ok");
    case ListState::Unreachable:
        return QStringLiteral("unreachable");
    case ListState::Invalid:
        return QStringLiteral("invalid");
    case ListState::TooLarge:
        return QStringLiteral("too-large");
    }
    return QString();
}

QByteArray jsonReport(const CheckResult& result)
{
    QJsonArray products;
    for (const IQuorixProduct* product : result.products) {
        QJsonArray missing;
        for (const MissingPatch& m : result.missingFor(product))
            missing.append(
                QJsonObject{{"name", m.patch.Name},
                            {"url", m.patch.url},
                            {"products", m.patch.Products},
                            {"security", m.security},
                            {"releaseDate", m.patch.ReleaseDate},
                            {"released", m.released ? QJsonValue(m.released->toString(Qt::ISODate))
                                                    : QJsonValue()},
                            {"ageDays", orNull(m.ageDays)},
                            {"inGrace", m.inGrace}});
        products.append(QJsonObject{{"name", product->name()},
                                    {"version", product->version()},
                                    {"installDir", product->installDir()},
                                    {"missing", missing}});
    }
    QJsonArray installed;
    for (const InstalledPatch& patch : result.installedPatches)
        installed.append(QJsonObject{{"name", patch.name}, {"qfeId", patch.qfeId}});
    const QJsonObject report{{"schemaVersion", 1},
                             {"skyvaneVersion", QCoreApplication::applicationVersion()},
                             {"checkedAt", result.checkedAt.toString(Qt::ISODate)},
                             {"machine", result.machine},
                             {"list", QJsonObject{{"source", result.listSource},
                                                  {"state", listStateName(result.listState)},
                                                  {"bytes", double(result.listBytes)},
                                                  {"versions", result.versions},
                                                  {"patches", result.patches}}},
                             {"products", products},
                             {"installedPatches", installed},
                             {"counts", QJsonObject{{"missing", int(result.missing.size())},
                                                    {"security", result.securityCount()},
                                                    {"oldestDays", orNull(result.oldestAgeDays())},
                                                    {"graceDays", result.graceDays}}},
                             {"status", QJsonObject{{"code", int(result.status)},
                                                    {"message", statusMessageFor(result.status)}}}};
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

NagiosCheck nagiosReport(const CheckResult& result)
{
    const qint64 oldest = result.oldestAgeDays().value_or(0);
    const int count = int(result.missing.size());
    QString summary;
    int exitCode = 0;
    if (result.status == StatusCode::ConfigurationReadError) {
        exitCode = 3;
        summary = QStringLiteral("registry export unreadable");
    } else if (result.listState != ListState::Ok) {
        exitCode = 3;
        summary = QStringLiteral("patch list ") + listStateName(result.listState);
        if (result.listState == ListState::Unreachable)
            summary += QStringLiteral(": ") + statusMessageFor(result.status);
    } else {
        exitCode = result.raises(true) ? 2 : result.raises(false) ? 1 : 0;
        summary =
            count == 0
                ? QStringLiteral("no updates missing")
                : QStringLiteral("%1 updates missing (%2 security%3)")
                      .arg(QString::number(count), QString::number(result.securityCount()),
                           result.oldestAgeDays() ? QStringLiteral(", oldest %1 days").arg(oldest)
                                                  : QString());
    }
    static const char* const states[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};
    QString text =
        QStringLiteral("SKYVANE %1 - %2|missing=%3;;;0 security=%4;;;0 oldest_days=%5;;;0\n")
            .arg(QLatin1String(states[exitCode]), printable(summary), QString::number(count),
                 QString::number(result.securityCount()), QString::number(oldest));
    for (const IQuorixProduct* product : result.products) {
        for (const MissingPatch& m : result.missingFor(product)) {
            QStringList notes;
            if (m.security)
                notes << QStringLiteral("security");
            if (m.ageDays)
                notes << QStringLiteral("%1 days").arg(*m.ageDays);
            if (m.inGrace)
                notes << QStringLiteral("in grace");
            // "|" would start performance data, in long output too.
            text += printable(product->name() + QStringLiteral(": ") + m.patch.Name)
                        .replace(QLatin1Char('|'), QChar(0x00a6)) +
                    (notes.isEmpty() ? QString()
                                     : QStringLiteral(" (") + notes.join(QStringLiteral(", ")) +
                                           QLatin1Char(')')) +
                    QLatin1Char('\n');
        }
    }
    return {text.toUtf8(), exitCode};
}

QByteArray prometheusReport(const CheckResult& result)
{
    QString out;
    const auto metric = [&out](const char* name, const char* help) {
        out += QStringLiteral("# HELP skyvane_%1 %2\n# TYPE skyvane_%1 gauge\n")
                   .arg(QLatin1String(name), QLatin1String(help));
    };
    metric("missing_patches", "Missing patches that name an installed product, by security flag.");
    for (const IQuorixProduct* product : result.products) {
        const QList<MissingPatch> missing = result.missingFor(product);
        for (const bool security : {true, false}) {
            const auto count =
                std::count_if(missing.begin(), missing.end(),
                              [security](const MissingPatch& m) { return m.security == security; });
            out += QStringLiteral("skyvane_missing_patches{product=\"%1\",security=\"%2\"} %3\n")
                       .arg(labelValue(product->name()),
                            security ? QStringLiteral("true") : QStringLiteral("false"),
                            QString::number(count));
        }
    }
    metric("oldest_missing_patch_age_days",
           "Age in days of the oldest missing patch with a known release date.");
    for (const IQuorixProduct* product : result.products) {
        if (const auto oldest = oldestAge(result.missingFor(product)))
            out += QStringLiteral("skyvane_oldest_missing_patch_age_days{product=\"%1\"} %2\n")
                       .arg(labelValue(product->name()), QString::number(*oldest));
    }
    metric("installed_product", "An installed product and its version.");
    for (const IQuorixProduct* product : result.products)
        out += QStringLiteral("skyvane_installed_product{product=\"%1\",version=\"%2\"} 1\n")
                   .arg(labelValue(product->name()), labelValue(product->version()));
    metric("patch_list_state", "The state of the patch list: 1 for the state it is in.");
    for (const ListState state :
         {ListState::Ok, ListState::Unreachable, ListState::Invalid, ListState::TooLarge})
        out += QStringLiteral("skyvane_patch_list_state{state=\"%1\"} %2\n")
                   .arg(listStateName(state),
                        state == result.listState ? QStringLiteral("1") : QStringLiteral("0"));
    metric("status_code",
           "The run's status code: 0 no error, 1 configuration, 2 settings, 3 network.");
    out += QStringLiteral("skyvane_status_code %1\n").arg(int(result.status));
    metric("check_timestamp_seconds", "When the check ran, in seconds since 1970 (UTC).");
    out += QStringLiteral("skyvane_check_timestamp_seconds %1\n")
               .arg(result.checkedAt.toSecsSinceEpoch());
    return out.toUtf8();
}
