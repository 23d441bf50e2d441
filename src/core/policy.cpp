#include "policy.h"

#include "console.h"

#include <QCoreApplication>
#include <QSettings>

namespace {
// The translation context of this file's texts.
struct GroupPolicy
{
    Q_DECLARE_TR_FUNCTIONS(GroupPolicy)
};

// How a value is stored: REG_SZ, or REG_DWORD (a flag is 0 or 1, a number
// from 0 up).
enum class Kind
{
    Text,
    Flag,
    Number
};

struct PolicyValue
{
    const char* name;
    Kind kind;
    std::optional<QString> Policy::*text = nullptr;
    std::optional<bool> Policy::*flag = nullptr;
    std::optional<int> Policy::*number = nullptr;
};

const PolicyValue policyValues[] = {
    {"PatchListUrl", Kind::Text, &Policy::patchListUrl},
    {"ProxyMode", Kind::Number, nullptr, nullptr, &Policy::proxyMode},
    {"ProxyUrl", Kind::Text, &Policy::proxyUrl},
    {"TrayAtLogon", Kind::Flag, nullptr, &Policy::trayAtLogon},
    {"MaxExportAgeDays", Kind::Number, nullptr, nullptr, &Policy::maxExportAgeDays},
    {"SecurityOnly", Kind::Flag, nullptr, &Policy::securityOnly},
    {"CountWarning", Kind::Number, nullptr, nullptr, &Policy::countWarning},
    {"CountCritical", Kind::Number, nullptr, nullptr, &Policy::countCritical},
    {"AgeWarning", Kind::Number, nullptr, nullptr, &Policy::ageWarning},
    {"AgeCritical", Kind::Number, nullptr, nullptr, &Policy::ageCritical},
};

// False when the stored value is not of its kind.
bool take(Policy& policy, const PolicyValue& entry, const QVariant& stored)
{
    if (entry.kind == Kind::Text) {
        const QString text = stored.toString().trimmed();
        if (!text.isEmpty())
            policy.*entry.text = text;
        return !text.isEmpty();
    }
    bool number = false;
    const int value = stored.toString().trimmed().toInt(&number);
    if (!number || value < 0 || (entry.kind == Kind::Flag && value > 1))
        return false;
    if (entry.kind == Kind::Flag)
        policy.*entry.flag = value == 1;
    else
        policy.*entry.number = value;
    return true;
}
} // namespace

const char* const policyKey = "Software\\Policies\\Vandry\\Skyvane";

QStringList policyValueNames()
{
    QStringList names;
    for (const PolicyValue& entry : policyValues)
        names << QLatin1String(entry.name);
    return names;
}

Policy policyOf(const QSettings& machine, const QSettings& user)
{
    Policy policy;
    for (const PolicyValue& entry : policyValues) {
        const QString name = QLatin1String(entry.name);
        for (const QSettings* scope : {&machine, &user}) {
            if (!scope->contains(name))
                continue;
            if (take(policy, entry, scope->value(name)))
                break;
            policy.problems << GroupPolicy::tr("The policy value %1 (%2) is not usable and was "
                                               "left out.")
                                   .arg(name, printable(scope->value(name).toString().left(80)));
        }
    }
    return policy;
}
