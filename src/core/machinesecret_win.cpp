#include "machinesecret.h"

#include <windows.h>

#include <dpapi.h>

namespace {
const wchar_t* const purpose = L"Skyvane machine-wide proxy password";

Result<QByteArray> transformed(const QByteArray& input, bool protect)
{
    DATA_BLOB in{DWORD(input.size()),
                 reinterpret_cast<BYTE*>(const_cast<char*>(input.constData()))};
    DATA_BLOB out{};
    const DWORD flags = CRYPTPROTECT_UI_FORBIDDEN | (protect ? CRYPTPROTECT_LOCAL_MACHINE : 0);
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
} // namespace

Result<QByteArray> protectForMachine(const QString& secret)
{
    return transformed(secret.toUtf8(), true);
}

Result<QString> unprotectForMachine(const QByteArray& protectedBytes)
{
    const Result<QByteArray> plain = transformed(protectedBytes, false);
    if (!plain.ok())
        return failure(plain.errorString());
    return QString::fromUtf8(plain.value());
}
