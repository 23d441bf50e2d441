#include "machinesecret.h"

#include <windows.h>

#include <dpapi.h>

namespace {
enum class Scope
{
    Machine,
    User
};

Result<QByteArray> transformed(const QByteArray& input, bool protect, Scope scope)
{
    const wchar_t* const purpose = scope == Scope::Machine ? L"Skyvane machine-wide proxy password"
                                                           : L"Skyvane proxy password";
    DATA_BLOB in{DWORD(input.size()),
                 reinterpret_cast<BYTE*>(const_cast<char*>(input.constData()))};
    DATA_BLOB out{};
    const DWORD flags = CRYPTPROTECT_UI_FORBIDDEN |
                        (protect && scope == Scope::Machine ? CRYPTPROTECT_LOCAL_MACHINE : 0);
    const BOOL done =
        protect ? CryptProtectData(&in, purpose, nullptr, nullptr, nullptr, flags, &out)
                : CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, flags, &out);
    if (!done)
        return failure(QStringLiteral("DPAPI error %1").arg(GetLastError()));
    QByteArray result(reinterpret_cast<const char*>(out.pbData), int(out.cbData));
    SecureZeroMemory(out.pbData, out.cbData);
    LocalFree(out.pbData);
    return result;
}

Result<QString> unprotected(const QByteArray& protectedBytes, Scope scope)
{
    const Result<QByteArray> plain = transformed(protectedBytes, false, scope);
    if (!plain.ok())
        return failure(plain.errorString());
    return QString::fromUtf8(plain.value());
}
} // namespace

Result<QByteArray> protectForMachine(const QString& secret)
{
    return transformed(secret.toUtf8(), true, Scope::Machine);
}

Result<QString> unprotectForMachine(const QByteArray& protectedBytes)
{
    return unprotected(protectedBytes, Scope::Machine);
}

Result<QByteArray> protectForUser(const QString& secret)
{
    return transformed(secret.toUtf8(), true, Scope::User);
}

Result<QString> unprotectForUser(const QByteArray& protectedBytes)
{
    return unprotected(protectedBytes, Scope::User);
}
