#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <climits>
#include <unistd.h>

QByteArray programFolderBytes()
{
    char path[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path);
    if (size <= 0 || size == sizeof path) {
        return QFile::encodeName(QCoreApplication::applicationDirPath());
    }
    const QByteArray program(path, size);
    return program.left(program.lastIndexOf('/'));
}
