#include "machinesecret.h"

#include <windows.h>

#include <dpapi.h>

namespace {
const wchar_t* const purpose = L"Skyvane machine-wide proxy password";

std::optional<QByteArray> transformed(const QByteArray& input, bool protect)
{
    DATA_BLOB in{DWORD(input.size()),
                 reinterpret_cast<BYTE*>(const_cast<char*>(input.constData()))};
    DATA_BLOB out{};
    const DWORD flags = CRYPTPROTECT_UI_FORBIDDEN | (protect ? CRYPTPROTECT_LOCAL_MACHINE : 0);
    const BOOL done =
        protect ? CryptProtectData(&in, purpose, nullptr, nullptr, nullptr, flags, &out)
                : CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, flags, &out);
    if (!done)
        return std::nullopt;
    QByteArray result(reinterpret_cast<const char*>(out.pbData), int(out.cbData));
    SecureZeroMemory(out.pbData, out.cbData);
    LocalFree(out.pbData);
    return result;
}
} // namespace

std::optional<QByteArray> protectForMachine(const QString& secret)
{
    return transformed(secret.toUtf8(), true);
}

std::optional<QString> unprotectForMachine(const QByteArray& protectedBytes)
{
    const std::optional<QByteArray> plain = transformed(protectedBytes, false);
    if (!plain)
        return std::nullopt;
    return QString::fromUtf8(*plain);
}
