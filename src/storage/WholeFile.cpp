#include "storage/WholeFile.h"

#include "storage/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace {

// A link that neither the user nor the system made may have been placed by
// another user where the program looks, to turn its read or write elsewhere.
bool anotherUsersLink(const struct stat &info)
{
    return S_ISLNK(info.st_mode) && info.st_uid != ::geteuid() && info.st_uid != 0;
}

QString anotherUsersLinkReason()
{
    return QStringLiteral("it is a link that another user made, which the program does not follow");
}

// True for a regular file; otherwise the reason.
bool regularFile(const struct stat &info, QString &reason)
{
    if (S_ISREG(info.st_mode)) {
        return true;
    }
    if (S_ISDIR(info.st_mode)) {
        reason = QStringLiteral("it is a folder, not a file");
    } else if (S_ISFIFO(info.st_mode)) {
        reason = QStringLiteral("it is a named pipe, not a file");
    } else if (S_ISSOCK(info.st_mode)) {
        reason = QStringLiteral("it is a socket, not a file");
    } else {
        reason = QStringLiteral("it is a device, not a file");
    }
    return false;
}

// Writes a piece whole. Unbuffered, so that a write that fails fails at once
// with its reason. A full disk first takes part of a write without complaint;
// writing the rest then tells why it cannot go on.
WritePiece writerTo(QFileDevice &file, QString &reason)
{
    return [&file, &reason](const char *data, qsizetype size) {
        for (qint64 written = 0; size > 0; data += written, size -= written) {
            written = file.write(data, size);
            if (written <= 0) {
                reason = file.errorString();
                return false;
            }
        }
        return true;
    };
}

bool synced(int fd, QString &reason)
{
    if (::fsync(fd) == 0) {
        return true;
    }
    reason = qt_error_string(errno);
    return false;
}

// Written over the old file, a write that passes the file-size limit would stop
// part-way with the old file's first bytes already replaced; the room reserved
// for it does not show this, so it is refused before it starts.
bool overFileSizeLimit(qint64 size)
{
    struct rlimit limit = {};
    return ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && rlim_t(size) > limit.rlim_cur;
}

// In a folder that takes no new files there is no room for the new file beside
// the old one, so it is written over it. The space it needs is reserved first:
// a full disk then refuses the write and leaves the old file whole.
bool writeInPlace(const QByteArray &name, bool link, const WriteFile &write, qint64 size, QString &reason)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | (link ? 0 : O_NOFOLLOW));
    struct stat info = {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        reason = qt_error_string(errno);
    } else if (!regularFile(info, reason)) {
    } else if (overFileSizeLimit(size)) {
        reason = qt_error_string(EFBIG);
    } else if (size > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0) {
        reason = QStringLiteral("its folder takes no new files, and there is no room to write it over the old "
                                "one (%1), which is left as it was")
                     .arg(qt_error_string(errno));
    }
    QFile file;
    if (reason.isEmpty() && !file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
    }
    if (!reason.isEmpty()) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    bool written = write(writerTo(file, reason));
    if (written && (::ftruncate(fd, file.pos()) != 0 || !synced(fd, reason))) {
        reason = reason.isEmpty() ? qt_error_string(errno) : reason;
        written = false;
    }
    ::close(fd);
    return written;
}

// Makes a file under a name beside the target that nothing uses yet; `make`
// returns what open or linkat return for the name.
template <typename Make> int onFreeName(const QByteArray &target, QByteArray &name, Make make)
{
    int result = -1;
    for (int tries = 0; result < 0 && tries < 100 && (tries == 0 || errno == EEXIST); ++tries) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        result = make(name.constData());
    }
    return result;
}

// QSaveFile takes its name as text, which Qt writes as UTF-8, so a name whose
// bytes are not UTF-8 would be written as another file. Such a file is written
// by its bytes the way QSaveFile writes: into a file without a name in the same
// folder (or under a passing name where the file system has no such files),
// which takes the file's name once it is whole. As with QSaveFile, the user's
// link is followed and the new file keeps the old one's permissions. `created`
// tells whether the folder took the new file.
bool writeByBytes(const QByteArray &name, const WriteFile &write, bool &created, QString &reason)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(name.constData(), nullptr), &std::free);
    const QByteArray target = resolved ? QByteArray(resolved.get()) : name;
    const QByteArray folder = target.contains('/') ? target.left(target.lastIndexOf('/') + 1) : QByteArray(".");
    struct stat old = {};
    const bool replaces = ::stat(target.constData(), &old) == 0;
    QByteArray temporary; // empty while the file has no name
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        fd = onFreeName(target, temporary,
                        [](const char *free) { return ::open(free, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666); });
    }
    created = fd >= 0;
    if (created && replaces) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    QFile file;
    bool written = created && file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                   write(writerTo(file, reason)) && synced(fd, reason);
    if (written && temporary.isEmpty()) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        written = onFreeName(target, temporary, [&self](const char *free) {
                      return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, free, AT_SYMLINK_FOLLOW);
                  }) == 0;
        temporary = written ? temporary : QByteArray();
    }
    written = written && ::rename(temporary.constData(), target.constData()) == 0;
    if (!written && reason.isEmpty()) {
        reason = qt_error_string(errno);
    }
    if (!written && !temporary.isEmpty()) {
        ::unlink(temporary.constData());
    }
    if (created) {
        ::close(fd);
    }
    return written;
}

} // namespace

ReadStatus openRegularFile(const QString &path, QFile &file, QString &reason)
{
    const QByteArray name = fileNameBytes(path);
    struct stat info = {};
    if (::lstat(name.constData(), &info) != 0) {
        reason = qt_error_string(errno);
        return errno == ENOENT ? ReadStatus::FileNotFound : ReadStatus::Failed;
    }
    const bool link = S_ISLNK(info.st_mode);
    if (anotherUsersLink(info)) {
        reason = anotherUsersLinkReason();
        return ReadStatus::Failed;
    }
    if (link && ::stat(name.constData(), &info) != 0) {
        reason = qt_error_string(errno);
        return errno == ENOENT ? ReadStatus::FileNotFound : ReadStatus::Failed;
    }
    if (!regularFile(info, reason)) {
        return ReadStatus::Failed;
    }
    // What was not a link when looked at may not become one before it is opened;
    // a file swapped in between the two looks is caught by the second.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (link ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        reason = qt_error_string(errno);
        return ReadStatus::Failed;
    }
    if (::fstat(fd, &info) != 0 || !regularFile(info, reason) ||
        !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        if (reason.isEmpty()) {
            reason = file.errorString();
        }
        ::close(fd);
        return ReadStatus::Failed;
    }
    return ReadStatus::Ok;
}

ReadStatus readRegularFile(const QString &path, qint64 largest, QByteArray &bytes, QString &reason)
{
    QFile file;
    const ReadStatus status = openRegularFile(path, file, reason);
    if (status != ReadStatus::Ok) {
        return status;
    }
    bytes = file.read(largest);
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        bytes.clear();
        return ReadStatus::Failed;
    }
    return ReadStatus::Ok;
}

bool writeWholeFile(const QString &path, const WriteFile &write, QString &reason,
                    const std::function<qint64()> &inPlaceSize)
{
    const QByteArray name = fileNameBytes(path);
    struct stat info = {};
    const bool exists = ::lstat(name.constData(), &info) == 0;
    if (exists && anotherUsersLink(info)) {
        reason = anotherUsersLinkReason();
        return false;
    }
    if (QFile::encodeName(path) != name) {
        bool created = false;
        if (writeByBytes(name, write, created, reason)) {
            return true;
        }
        if (created || !exists || !inPlaceSize) {
            return false;
        }
        reason.clear();
        return writeInPlace(name, S_ISLNK(info.st_mode), write, inPlaceSize(), reason);
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // Qt's commit puts the new file in place even after a write or its
        // flush has failed, and does not look at whether the data reached the
        // disk: each is checked here first. A file not committed is removed.
        if (!write(writerTo(file, reason)) || !synced(file.handle(), reason)) {
            return false;
        }
        if (!file.commit()) {
            reason = file.errorString();
            return false;
        }
        return true;
    }
    if (exists && inPlaceSize) {
        return writeInPlace(name, S_ISLNK(info.st_mode), write, inPlaceSize(), reason);
    }
    reason = file.errorString();
    return false;
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString &reason)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeWholeFile(
        path, [&bytes](const WritePiece &write) { return write(bytes.constData(), bytes.size()); }, reason);
}
