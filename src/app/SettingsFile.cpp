#include "SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString SettingsFileName = QStringLiteral("velmor.ini");
} // namespace

QString settingsFilePath(const QString &executableFolder)
{
    const QFileInfo folder(executableFolder);
    if (folder.isDir() && folder.isWritable()) {
        return QDir(executableFolder).filePath(SettingsFileName);
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("velmora/") + SettingsFileName);
}
