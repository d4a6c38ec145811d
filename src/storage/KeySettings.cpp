#include "storage/KeySettings.h"

#include "storage/SettingsFile.h"
#include "storage/WholeFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString FileName = QStringLiteral("velmora-keys.ini");
const QByteArray GlobalShortcutsKey = QByteArrayLiteral("GlobalShortcuts");
// A few short lines; more than this is not a file of ours.
constexpr qint64 LargestBytes = 64 * 1024;

} // namespace

QString keySettingsPath(const QString &settingsFilePath)
{
    return QFileInfo(settingsFilePath).dir().filePath(FileName);
}

KeySettings parseKeySettings(const QByteArray &bytes)
{
    KeySettings settings;
    for (const QByteArray &line : bytes.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed() == GlobalShortcutsKey) {
            settings.globalShortcuts = line.mid(equals + 1).trimmed() == "1";
        }
    }
    return settings;
}

QByteArray formatKeySettings(const KeySettings &settings)
{
    return GlobalShortcutsKey + '=' + (settings.globalShortcuts ? '1' : '0') + '\n';
}

KeySettings readKeySettings(const QString &path)
{
    QByteArray bytes;
    QString reason;
    return readRegularFile(path, LargestBytes, bytes, reason) == ReadStatus::Ok ? parseKeySettings(bytes)
                                                                                : KeySettings();
}

bool writeKeySettings(const QString &path, const KeySettings &settings, QString &error)
{
    return writeSettingsBytes(path, formatKeySettings(settings), error);
}
