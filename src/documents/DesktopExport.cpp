#include "DesktopExport.h"

#include "app/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace DesktopExport {

namespace {

const QByteArray DefaultGroup = "[Default Applications]";

bool writeWhole(const QString &path, const QByteArray &bytes, QString &error)
{
    QString reason;
    if (writeWholeFile(path, bytes, reason)) {
        return true;
    }
    error = QStringLiteral("%1 cannot be written: %2").arg(path, reason);
    return false;
}

QByteArray resource(const QString &name)
{
    QFile file(QStringLiteral(":/desktop/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Folders Folders::user()
{
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
}

QString execArgument(const QString &argument)
{
    bool reserved = argument.isEmpty();
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('%') || c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return QString();
        }
        if (QStringLiteral(" \t\n\"'\\><~|&;$*?#`()").contains(c)) {
            reserved = true;
        }
        if (QStringLiteral("\"`$\\").contains(c)) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    QString shown = reserved ? QLatin1Char('"') + quoted + QLatin1Char('"') : argument;
    // The file's own string escapes come on top: every backslash doubled.
    return shown.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

QByteArray withDefaultApplication(const QByteArray &mimeApps)
{
    const QByteArray key = MimeType.toUtf8() + '=';
    const QByteArray entry = key + EntryName.toUtf8() + ';';
    QList<QByteArray> lines = mimeApps.split('\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    bool inGroup = false;
    qsizetype insertAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.startsWith('[')) {
            if (inGroup) {
                break;
            }
            inGroup = line == DefaultGroup;
            insertAt = inGroup ? i + 1 : insertAt;
        } else if (inGroup && line.startsWith(key)) {
            lines[i] = entry;
            return lines.join('\n') + '\n';
        } else if (inGroup && !line.isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (insertAt >= 0) {
        lines.insert(insertAt, entry);
    } else {
        if (!lines.isEmpty()) {
            lines << QByteArray();
        }
        lines << DefaultGroup << entry;
    }
    return lines.join('\n') + '\n';
}

bool exportDocumentType(const QString &programFolder, const Folders &folders, QString &error)
{
    const QString program = execArgument(programFolder + QStringLiteral("/velmora"));
    if (program.isEmpty()) {
        error = QStringLiteral("The program's folder %1 cannot stand in a desktop entry; .vmd files are not "
                               "given to the desktop.")
                    .arg(programFolder);
        return false;
    }
    QByteArray entry = resource(EntryName);
    entry.replace("Exec=velmora %f", "Exec=" + program.toUtf8() + " %f");

    const QString mimeApps = QDir(folders.config).filePath(QStringLiteral("mimeapps.list"));
    QFile existing(mimeApps);
    QByteArray apps;
    if (QFileInfo(mimeApps).isFile()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("%1 cannot be read: %2").arg(mimeApps, existing.errorString());
            return false;
        }
        apps = existing.readAll();
    }
    const QString mimeFile = QFileInfo(EntryName).completeBaseName() + QStringLiteral(".xml");
    return writeWhole(QDir(folders.data).filePath(QStringLiteral("mime/packages/") + mimeFile), resource(mimeFile),
                      error) &&
           writeWhole(QDir(folders.data).filePath(QStringLiteral("applications/") + EntryName), entry, error) &&
           writeWhole(mimeApps, withDefaultApplication(apps), error);
}

void refreshDesktopDatabases(const Folders &folders)
{
    const std::pair<const char *, const char *> tools[] = {{"update-mime-database", "mime"},
                                                           {"update-desktop-database", "applications"}};
    for (const auto &[tool, folder] : tools) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (!path.isEmpty()) {
            QProcess::startDetached(path, {QDir(folders.data).filePath(QString::fromLatin1(folder))});
        }
    }
}

} // namespace DesktopExport
