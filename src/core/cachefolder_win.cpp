#include "cachefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <windows.h>

#include <aclapi.h>
#include <shlobj.h>

#include <memory>

namespace {
struct CacheFolder
{
    Q_DECLARE_TR_FUNCTIONS(CacheFolder)
};

// The user this process runs as, or nothing when the token cannot be read.
std::unique_ptr<BYTE[]> processUser()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return nullptr;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto buffer = std::make_unique<BYTE[]>(size ? size : 1);
    const bool read = size && GetTokenInformation(token, TokenUser, buffer.get(), size, &size);
    CloseHandle(token);
    return read ? std::move(buffer) : nullptr;
}

PSID sidOf(const std::unique_ptr<BYTE[]>& user)
{
    return user ? reinterpret_cast<TOKEN_USER*>(user.get())->User.Sid : nullptr;
}

bool runsAsSystem()
{
    const std::unique_ptr<BYTE[]> user = processUser();
    return user && IsWellKnownSid(sidOf(user), WinLocalSystemSid);
}

QString programData()
{
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder.isEmpty() ? QStringLiteral("C:/ProgramData") : folder;
}
} // namespace

QString listCacheFolder()
{
    if (runsAsSystem())
        return programData() + QStringLiteral("/Skyvane/Cache");
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

Result<void> makePrivateFolder(const QString& path)
{
    if (!QDir().mkpath(path))
        return failure(CacheFolder::tr("the folder %1 cannot be made").arg(path));
    return {};
}

bool isOwnFile(const QFile& opened)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring name = QDir::toNativeSeparators(opened.fileName()).toStdWString();
    if (GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const std::unique_ptr<BYTE[]> user = processUser();
    const bool system = user && IsWellKnownSid(sidOf(user), WinLocalSystemSid);
    const bool own = owner && user && EqualSid(owner, sidOf(user));
    const bool administrators = owner && IsWellKnownSid(owner, WinBuiltinAdministratorsSid);
    LocalFree(descriptor);
    return own || (system && administrators);
}
