#include "localfile.h"

#include <QCoreApplication>

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>

namespace {
struct LocalFile
{
    Q_DECLARE_TR_FUNCTIONS(LocalFile)
};

std::wstring wide(const QString& text)
{
    return text.toStdWString();
}

// The same words as on Unix for the same cause, the system's own otherwise.
QString systemError(DWORD code)
{
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
        code == ERROR_INVALID_NAME || code == ERROR_BAD_NETPATH)
        return LocalFile::tr("it does not exist (or is a link to nothing)");
    if (code == ERROR_CANT_RESOLVE_FILENAME)
        return LocalFile::tr("it is a link that leads in a circle");
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, int(length)).trimmed()
                          : QStringLiteral("error %1").arg(code);
    LocalFree(buffer);
    while (text.endsWith(QLatin1Char('.'))) // the sentence ends where the message puts it
        text.chop(1);
    return LocalFile::tr("it cannot be opened: %1").arg(text);
}

QString kindOf(DWORD fileType)
{
    if (fileType == FILE_TYPE_PIPE)
        return LocalFile::tr("a FIFO");
    if (fileType == FILE_TYPE_CHAR)
        return LocalFile::tr("a device");
    return LocalFile::tr("of another kind");
}
} // namespace

// Windows names are UTF-16 text, so a path is its text.
LocalPath LocalPath::fromNative(const QByteArray& nativeBytes)
{
    return LocalPath(QString::fromUtf8(nativeBytes));
}

OpenedFile openRegularFile(const LocalPath& path, qint64 maxBytes)
{
    const std::wstring name = wide(path.shown());
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return failure(FileError{
            LocalFile::tr("it is not a regular file (%1)").arg(LocalFile::tr("a folder"))});
    // A pipe or a device opened for reading does not block the open here.
    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failure(FileError{systemError(GetLastError())});
    FileError error;
    LARGE_INTEGER size{};
    const DWORD type = GetFileType(handle);
    if (type != FILE_TYPE_DISK)
        error.text = LocalFile::tr("it is not a regular file (%1)").arg(kindOf(type));
    else if (!GetFileSizeEx(handle, &size))
        error.text = systemError(GetLastError());
    else if (size.QuadPart > maxBytes)
        error = {LocalFile::tr("the file is larger than %1 MiB")
                     .arg(QString::number(double(maxBytes) / (1024 * 1024))),
                 true};
    if (!error.text.isEmpty()) {
        CloseHandle(handle);
        return failure(error);
    }
    const int fd = _open_osfhandle(intptr_t(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return failure(FileError{LocalFile::tr("it cannot be opened")});
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return failure(FileError{LocalFile::tr("it cannot be opened")});
    }
    return file;
}

Result<QList<LocalPath>> listFolder(const LocalPath& folder, const QString& suffix)
{
    QList<LocalPath> entries;
    QString base = folder.shown();
    if (!base.endsWith(QLatin1Char('/')) && !base.endsWith(QLatin1Char('\\')))
        base += QLatin1Char('\\');
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(wide(base + QLatin1Char('*')).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return failure(systemError(GetLastError()));
    }
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive))
            entries.append(LocalPath(base + name));
    } while (FindNextFileW(search, &found));
    const DWORD ended = GetLastError();
    FindClose(search);
    if (ended != ERROR_NO_MORE_FILES)
        return failure(systemError(ended));
    std::sort(entries.begin(), entries.end(), [](const LocalPath& a, const LocalPath& b) {
        return a.shown().compare(b.shown(), Qt::CaseInsensitive) < 0;
    });
    return entries;
}
