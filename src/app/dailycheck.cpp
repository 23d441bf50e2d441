#include "dailycheck.h"

#include "core/console.h"
#include "core/logger.h"
#include "core/scheduledtask.h"
#include "messages.h"
#include "report/reportformats.h"

#include <QCoreApplication>

namespace {
// The translation context of this file's texts.
struct DailyCheckSwitch
{
    Q_DECLARE_TR_FUNCTIONS(DailyCheckSwitch)
};

constexpr int maxKept = 366;
} // namespace

const char* const dailyCheckTaskName = "Skyvane daily check";

Result<DailyCheck> parseDailyCheck(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(','));
    DailyCheck check;
    check.at = QTime::fromString(parts.first().trimmed(), QStringLiteral("H:mm"));
    if (parts.size() > 3 || !check.at.isValid())
        return failure(DailyCheckSwitch::tr("\"%1\" is no HH:MM[,FORMAT[,KEEP]]")
                           .arg(printable(text.left(60))));
    if (parts.size() > 1)
        check.format = parts.at(1).trimmed().toLower();
    if (!reportFormatNames().contains(check.format))
        return failure(DailyCheckSwitch::tr("\"%1\" is none of the formats %2")
                           .arg(printable(check.format), reportFormatNames().join(u", ")));
    bool number = true;
    if (parts.size() > 2)
        check.keep = parts.at(2).trimmed().toInt(&number);
    if (!number || check.keep < 1 || check.keep > maxKept)
        return failure(
            DailyCheckSwitch::tr("the results kept must be a number from 1 to %1").arg(maxKept));
    return check;
}

QByteArray dailyCheckTask(const DailyCheck& check, const QString& programFolder)
{
    // Windows' separators whatever system writes it: Qt names folders with "/".
    const QString script = QString(programFolder).replace(QLatin1Char('/'), QLatin1Char('\\')) +
                           QStringLiteral("\\daily-check.cmd");
    // cmd takes the outer quotes off and runs the quoted script with its arguments.
    const QString arguments = QStringLiteral("/c \"\"%1\" %2 %3\"")
                                  .arg(script, check.format, QString::number(check.keep));
    const QString xml =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
            "<Task version=\"1.2\" "
            "xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
            "  <RegistrationInfo><Author>Skyvane</Author><Description>Missing Quorix server "
            "patches, as %1 into %ProgramData%\\Skyvane, the last %4 "
            "kept</Description></RegistrationInfo>\r\n"
            "  <Triggers><CalendarTrigger><StartBoundary>2000-01-01T%2</StartBoundary>"
            "<Enabled>true</Enabled><ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay>"
            "</CalendarTrigger></Triggers>\r\n"
            "  <Principals><Principal id=\"System\"><UserId>S-1-5-18</UserId>"
            "<RunLevel>HighestAvailable</RunLevel></Principal></Principals>\r\n"
            "  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
            "<StartWhenAvailable>true</StartWhenAvailable>"
            "<ExecutionTimeLimit>PT1H</ExecutionTimeLimit><Enabled>true</Enabled></Settings>\r\n"
            "  <Actions Context=\"System\"><Exec><Command>%SystemRoot%\\System32\\cmd.exe</Command>"
            "<Arguments>%3</Arguments></Exec></Actions>\r\n"
            "</Task>\r\n")
            .arg(check.format, check.at.toString(QStringLiteral("HH:mm:ss")),
                 arguments.toHtmlEscaped(), QString::number(check.keep));
    QByteArray utf16("\xff\xfe", 2);
    utf16.append(reinterpret_cast<const char*>(xml.utf16()), xml.size() * 2);
    return utf16;
}

int storeDailyCheck(const QString& text)
{
    const QString name = QString::fromLatin1(dailyCheckTaskName);
    Result<void> done;
    if (text.trimmed().isEmpty()) {
        done = removeScheduledTask(name);
    } else {
        const Result<DailyCheck> check = parseDailyCheck(text);
        if (!check.ok()) {
            reportError(
                DailyCheckSwitch::tr("Usage Error"),
                DailyCheckSwitch::tr("/dailycheck cannot be used: %1").arg(check.errorString()));
            return 1;
        }
        done = registerScheduledTask(
            name, dailyCheckTask(check.value(), QCoreApplication::applicationDirPath()));
    }
    if (!done.ok()) {
        reportError(
            DailyCheckSwitch::tr("Daily Check"),
            DailyCheckSwitch::tr("The daily check cannot be set up: %1").arg(done.errorString()));
        return 1;
    }
    qCInfo(lcApp).noquote() << (text.trimmed().isEmpty()
                                    ? QStringLiteral("Daily check removed")
                                    : QStringLiteral("Daily check set up: %1").arg(text));
    return 0;
}
