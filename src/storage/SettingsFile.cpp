#include "storage/SettingsFile.h"

#include "slots/TextEncoding.h"
#include "storage/FileNames.h"
#include "storage/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <limits>

namespace {

const QString SettingsFileName = QStringLiteral("velmor.ini");
constexpr int LineCount = 12;
// Twelve short lines; more than this is not a settings file of ours.
constexpr qint64 LargestSettingsBytes = 1024 * 1024;
// Folders of installed programs: a settings file there would be shared by every
// user, or written by root alone.
const char *const SystemFolders[] = {"/usr", "/opt", "/bin", "/sbin", "/lib", "/lib64", "/snap", "/app"};

// The line's number when it lies in the type's range. A fraction goes to the
// nearest integer, a half to the even one.
template <typename Integer> std::optional<Integer> number(const QByteArray &line)
{
    bool ok = false;
    const double value = line.trimmed().toDouble(&ok);
    const double rounded = std::nearbyint(value);
    if (!ok || !std::isfinite(value) || rounded < std::numeric_limits<Integer>::min() ||
        rounded > std::numeric_limits<Integer>::max()) {
        return std::nullopt;
    }
    return static_cast<Integer>(rounded);
}

// The path between the line's first and last double quote (or its end); nothing
// inside is escaped, so a quote in a path stays part of it. The bytes are the
// path's own, whether UTF-8 or not, so that it names the same file again.
QString pathItem(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('"')) {
        return fileNameFromBytes(trimmed);
    }
    const qsizetype close = trimmed.lastIndexOf('"');
    return fileNameFromBytes(trimmed.mid(1, close > 0 ? close - 1 : -1));
}

// A folder another user may write to could hold a settings file of theirs, or
// a link of theirs in its place, which the bar would read at start and write
// through at exit; only a folder of the user's own that nobody else may write
// to keeps the settings.
bool isPrivateFolder(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    struct stat info = {};
    return !folder.isEmpty() && ::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 &&
           ::access(name.constData(), W_OK) == 0;
}

bool isSystemFolder(const QString &folder)
{
    const QString path = QFileInfo(folder).canonicalFilePath();
    for (const char *system : SystemFolders) {
        const QString prefix = QString::fromLatin1(system);
        if (path == prefix || path.startsWith(prefix + QLatin1Char('/'))) {
            return true;
        }
    }
    return false;
}

// An installed program has its data folder beside its bin folder, holding the
// help file, wherever it was installed; the installed tree is no place for one
// user's settings, even where that user may write to it.
bool isInstalled(const QString &folder)
{
    return QFileInfo(QDir(folder).filePath(QStringLiteral(VELMORA_DATA_FROM_BIN "/Velmora.hlp"))).isFile();
}

} // namespace

SettingsLines parseSettingsLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    lines.resize(LineCount);
    SettingsLines settings;
    // Top and Left may lie beyond 16 bits on a wide desktop; the window is placed
    // on a screen or not at all.
    settings.top = number<int>(lines.at(0));
    settings.left = number<int>(lines.at(1));
    settings.width = number<qint16>(lines.at(2));
    settings.height = number<qint16>(lines.at(3));
    std::optional<qint16> *const flags[] = {&settings.alwaysOnTop, &settings.sizeMode, &settings.barOrientation,
                                            &settings.insertButtons};
    for (int i = 0; i < 4; ++i) {
        *flags[i] = number<qint16>(lines.at(4 + i));
    }
    for (int i = 0; i < SettingsLines::RecentCount; ++i) {
        settings.recent.at(i) = pathItem(lines.at(8 + i));
    }
    return settings;
}

QByteArray formatSettingsLines(const SettingsLines &settings)
{
    QByteArray bytes;
    for (const std::optional<int> &value : {settings.top, settings.left, settings.width, settings.height}) {
        bytes += QByteArray::number(value.value_or(0)) + "\r\n";
    }
    for (const std::optional<qint16> &value :
         {settings.alwaysOnTop, settings.sizeMode, settings.barOrientation, settings.insertButtons}) {
        bytes += QByteArray::number(value.value_or(0)) + "\r\n";
    }
    for (const QString &path : settings.recent) {
        const bool fits = !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
        bytes += '"' + (fits ? fileNameBytes(path) : QByteArray()) + "\"\r\n";
    }
    return bytes;
}

SettingsRead readSettingsFile(const QString &path, SettingsLines &settings)
{
    QByteArray bytes;
    QString reason;
    const ReadStatus read = readRegularFile(path, LargestSettingsBytes, bytes, reason);
    if (read == ReadStatus::FileNotFound) {
        return SettingsRead::Missing;
    }
    settings = read == ReadStatus::Ok ? parseSettingsLines(bytes) : SettingsLines();
    return read == ReadStatus::Ok ? SettingsRead::Ok : SettingsRead::Failed;
}

bool writeSettingsFile(const QString &path, const SettingsLines &settings, QString &error)
{
    return writeSettingsBytes(path, formatSettingsLines(settings), error);
}

bool writeSettingsBytes(const QString &path, const QByteArray &bytes, QString &error)
{
    QString reason;
    if (writeWholeFile(path, bytes, reason)) {
        return true;
    }
    error = QStringLiteral("The settings cannot be saved in %1: %2").arg(path, reason);
    return false;
}

QString settingsFilePath(const QString &executableFolder)
{
    if (isPrivateFolder(executableFolder) && !isSystemFolder(executableFolder) && !isInstalled(executableFolder)) {
        return QDir(executableFolder).filePath(SettingsFileName);
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("velmora/") + SettingsFileName);
}
