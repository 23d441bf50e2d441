#include "reportformats.h"

// Each format's maker is defined in the format's own file.
std::unique_ptr<ReportFormat> makeConsoleFormat();
std::unique_ptr<ReportFormat> makeJsonFormat();
std::unique_ptr<ReportFormat> makeNagiosFormat();
std::unique_ptr<ReportFormat> makePrometheusFormat();
std::unique_ptr<ReportFormat> makeHtmlFormat();

namespace {
struct NamedFormat
{
    const char* name;
    std::unique_ptr<ReportFormat> (*make)();
};

const NamedFormat formats[] = {
    {"json", makeJsonFormat},
    {"nagios", makeNagiosFormat},
    {"prometheus", makePrometheusFormat},
    {"html", makeHtmlFormat},
};
} // namespace

QStringList reportFormatNames()
{
    QStringList names;
    for (const NamedFormat& format : formats)
        names << QLatin1String(format.name);
    return names;
}

std::unique_ptr<ReportFormat> reportFormatNamed(const QString& name)
{
    for (const NamedFormat& format : formats) {
        if (name.compare(QLatin1String(format.name), Qt::CaseInsensitive) == 0)
            return format.make();
    }
    return nullptr;
}

std::unique_ptr<ReportFormat> consoleReportFormat()
{
    return makeConsoleFormat();
}
