#include "acknowledgements.h"

#include "core/console.h"
#include "core/localfile.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {
// The translation context of this file's texts.
struct AcknowledgementFile
{
    Q_DECLARE_TR_FUNCTIONS(AcknowledgementFile)
};

constexpr qint64 maxFileBytes = 1024 * 1024;
constexpr int maxEntries = 5000;
constexpr int maxLineLength = 4096;
constexpr int maxPatterns = 100;

Failure<QString> lineError(int line, const QString& text)
{
    return failure(AcknowledgementFile::tr("line %1: %2").arg(line).arg(text));
}

// Of an entry's "key = value" line: false with the reason when it cannot be taken.
std::optional<QString> setField(Acknowledgement& entry, const QString& key, const QString& value,
                                QStringList& seen)
{
    const QString name = key.toLower();
    if (seen.contains(name))
        return AcknowledgementFile::tr("\"%1\" is given twice for this patch").arg(name);
    seen << name;
    if (name == QLatin1String("machines")) {
        for (const QString& pattern : value.split(QLatin1Char(','))) {
            if (!pattern.trimmed().isEmpty())
                entry.machines << pattern.trimmed();
        }
        if (entry.machines.size() > maxPatterns)
            return AcknowledgementFile::tr("more than %1 machine patterns").arg(maxPatterns);
    } else if (name == QLatin1String("expires")) {
        entry.expires = QDate::fromString(value, Qt::ISODate);
        if (!entry.expires.isValid())
            return AcknowledgementFile::tr("\"%1\" is no date (YYYY-MM-DD)").arg(value);
    } else if (name == QLatin1String("reason")) {
        entry.reason = value;
    } else {
        return AcknowledgementFile::tr("\"%1\" is none of machines, expires and reason").arg(key);
    }
    return std::nullopt;
}

std::optional<QString> incomplete(const Acknowledgement& entry)
{
    if (!entry.expires.isValid())
        return AcknowledgementFile::tr("\"%1\" has no expires date").arg(entry.patch);
    if (entry.reason.isEmpty())
        return AcknowledgementFile::tr("\"%1\" has no reason").arg(entry.patch);
    return std::nullopt;
}
} // namespace

bool matchesNamePattern(QStringView pattern, QStringView name)
{
    // The last star's place and where it had matched to: on a mismatch the
    // star takes one more character, so nothing is tried twice from one place.
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern.at(p) == QLatin1Char('*')) {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern.at(p) == QLatin1Char('?') ||
                    pattern.at(p).toCaseFolded() == name.at(n).toCaseFolded())) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

bool Acknowledgement::covers(const QString& machine) const
{
    if (machines.isEmpty())
        return true;
    return std::any_of(machines.begin(), machines.end(), [&machine](const QString& pattern) {
        return matchesNamePattern(pattern, machine);
    });
}

Result<QList<Acknowledgement>> parseAcknowledgements(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return failure(AcknowledgementFile::tr("it is not UTF-8 text"));
    QList<Acknowledgement> entries;
    QStringList seen;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int number = 1; number <= lines.size(); ++number) {
        const QString line = lines.at(number - 1).trimmed();
        if (line.size() > maxLineLength)
            return lineError(
                number, AcknowledgementFile::tr("longer than %1 characters").arg(maxLineLength));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')) || line.size() < 3)
                return lineError(number, AcknowledgementFile::tr("a patch's name in [ ] is not "
                                                                 "closed or empty"));
            if (!entries.isEmpty())
                if (const auto missing = incomplete(entries.last()))
                    return lineError(entries.last().line, *missing);
            if (entries.size() == maxEntries)
                return lineError(number,
                                 AcknowledgementFile::tr("more than %1 patches").arg(maxEntries));
            entries.append({number, line.mid(1, line.size() - 2).trimmed(), {}, {}, {}});
            seen.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            return lineError(number, AcknowledgementFile::tr("neither [patch] nor key = value"));
        if (entries.isEmpty())
            return lineError(number, AcknowledgementFile::tr("a value before the first [patch]"));
        if (const auto refused = setField(entries.last(), line.left(equals).trimmed(),
                                          line.mid(equals + 1).trimmed(), seen))
            return lineError(number, *refused);
    }
    if (!entries.isEmpty())
        if (const auto missing = incomplete(entries.last()))
            return lineError(entries.last().line, *missing);
    return entries;
}

Result<QList<Acknowledgement>> readAcknowledgements(const LocalPath& path)
{
    const auto refused = [&path](const QString& why) {
        return failure(AcknowledgementFile::tr("The acknowledgements file %1 cannot be read: %2")
                           .arg(printable(path.shown()), why));
    };
    const OpenedFile file = openRegularFile(path, maxFileBytes);
    if (!file.ok())
        return refused(file.error().tooLarge ? AcknowledgementFile::tr("it is larger than 1 MiB")
                                             : file.error().text);
    const QByteArray bytes = file.value()->read(maxFileBytes + 1);
    if (bytes.size() > maxFileBytes)
        return refused(AcknowledgementFile::tr("it is larger than 1 MiB"));
    Result<QList<Acknowledgement>> parsed = parseAcknowledgements(bytes);
    if (!parsed.ok())
        return refused(parsed.errorString());
    return parsed;
}
