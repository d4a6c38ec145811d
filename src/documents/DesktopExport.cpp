#include "documents/DesktopExport.h"

#include "storage/WholeFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>

namespace DesktopExport {

namespace {

const QByteArray DefaultGroup = "[Default Applications]";
// Files of a few lines; anything larger is read only this far.
constexpr qint64 LargestEntryBytes = 64 * 1024;
constexpr qint64 LargestMimeAppsBytes = 16 * 1024 * 1024;

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

// The value of the entry's first Exec line: that of the application itself,
// the actions' groups coming after it.
QByteArray execLine(const QByteArray &entry)
{
    for (const QByteArray &line : entry.split('\n')) {
        if (line.startsWith("Exec=")) {
            return line.mid(5).trimmed();
        }
    }
    return QByteArray();
}

// Whether the entry of this name that the desktop finds first among the
// system's folders runs this very program with the file. A command without a
// folder is the one the search path finds.
bool installedEntryRuns(const QString &program, const QStringList &systemData)
{
    for (const QString &folder : systemData) {
        QByteArray entry;
        QString reason;
        if (readRegularFile(QDir(folder).filePath(QStringLiteral("applications/") + EntryName), LargestEntryBytes,
                            entry, reason) != ReadStatus::Ok) {
            continue;
        }
        const QByteArray exec = execLine(entry);
        if (!exec.endsWith(" %f")) {
            return false;
        }
        QString command = QString::fromUtf8(exec.chopped(3));
        if (!command.contains(QLatin1Char('/'))) {
            command = QStandardPaths::findExecutable(command);
        }
        const QString installed = QFileInfo(command).canonicalFilePath();
        return !installed.isEmpty() && installed == QFileInfo(program).canonicalFilePath();
    }
    return false;
}

// The program's icon in the user's icon theme, under the name the entry gives.
bool writeIcons(const QString &dataFolder, QString &error)
{
    const QString icons = QStringLiteral(":/desktop/icons");
    for (QDirIterator it(icons, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString source = it.next();
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly) ||
            !writeWhole(QDir(dataFolder).filePath(QStringLiteral("icons") + source.mid(icons.size())), file.readAll(),
                        error)) {
            return false;
        }
    }
    return true;
}

} // namespace

Folders Folders::user()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QStringList systemData = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    systemData.removeAll(data);
    return {data, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), systemData};
}

QString execArgument(const QString &argument)
{
    bool reserved = argument.isEmpty();
    QString quoted;
    for (const QChar c : argument) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return QString();
        }
        if (QStringLiteral(" \t\n\"'\\><~|&;$*?#`()").contains(c)) {
            reserved = true;
        }
        if (QStringLiteral("\"`$\\").contains(c)) {
            quoted += QLatin1Char('\\');
        }
        // A literal percent sign is doubled, whether quoted or not: field codes are
        // replaced before the line is split into arguments.
        quoted += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    QString shown = reserved ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
    // The file's own string escapes come on top: every backslash doubled.
    return shown.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

QByteArray withDefaultApplication(const QByteArray &mimeApps)
{
    const QByteArray key = MimeType.toUtf8();
    QList<QByteArray> lines = mimeApps.split('\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    // Each line keeps its own end; an added one ends as the file's first line does.
    const QByteArray end = !lines.isEmpty() && lines.first().endsWith('\r') ? "\r" : "";
    const QByteArray entry = key + '=' + EntryName.toUtf8() + ';';
    bool inGroup = false;
    bool replaced = false;
    qsizetype insertAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype equals = line.indexOf('=');
        if (line.startsWith('[')) {
            if (inGroup) {
                break;
            }
            inGroup = line == DefaultGroup;
            insertAt = inGroup ? i + 1 : insertAt;
        } else if (inGroup && equals > 0 && line.left(equals).trimmed() == key) {
            // Blanks around "=" do not make another key; a second line of the
            // same key would leave the desktop to choose between them.
            if (replaced) {
                lines.removeAt(i--);
            } else {
                lines[i] = entry + (lines.at(i).endsWith('\r') ? "\r" : "");
                replaced = true;
            }
        } else if (inGroup && !line.isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!replaced && insertAt >= 0) {
        lines.insert(insertAt, entry + end);
    } else if (!replaced) {
        if (!lines.isEmpty()) {
            lines << end;
        }
        lines << DefaultGroup + end << entry + end;
    }
    return lines.join('\n') + '\n';
}

bool exportDocumentType(const QByteArray &programFolder, const Folders &folders, QString &error)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString folder = utf8.decode(programFolder);
    const QString program = folder + QStringLiteral("/velmora");
    const QString exec = execArgument(program);
    if (utf8.hasError() || exec.isEmpty()) {
        error = QStringLiteral("The program's folder %1 cannot stand in a desktop entry; .vmd files are not "
                               "given to the desktop.")
                    .arg(QFile::decodeName(programFolder));
        return false;
    }
    const QString mimeApps = QDir(folders.config).filePath(QStringLiteral("mimeapps.list"));
    QByteArray apps;
    QString reason;
    if (readRegularFile(mimeApps, LargestMimeAppsBytes, apps, reason) == ReadStatus::Failed) {
        error = QStringLiteral("%1 cannot be read: %2").arg(mimeApps, reason);
        return false;
    }
    if (installedEntryRuns(program, folders.systemData)) {
        return writeWhole(mimeApps, withDefaultApplication(apps), error);
    }
    // Desktops that look only at TryExec stop offering the entry once the
    // program is gone; its value is a plain string, without quoting.
    QString tryExec = program;
    tryExec.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    QByteArray entry = resource(EntryName);
    entry.replace("Exec=velmora %f\n", "Exec=" + exec.toUtf8() + " %f\nTryExec=" + tryExec.toUtf8() + '\n');
    const QString mimeFile = QFileInfo(EntryName).completeBaseName() + QStringLiteral(".xml");
    return writeWhole(QDir(folders.data).filePath(QStringLiteral("mime/packages/") + mimeFile), resource(mimeFile),
                      error) &&
           writeIcons(folders.data, error) &&
           writeWhole(QDir(folders.data).filePath(QStringLiteral("applications/") + EntryName), entry, error) &&
           writeWhole(mimeApps, withDefaultApplication(apps), error);
}

void refreshDesktopDatabases(const Folders &folders)
{
    const std::pair<const char *, const char *> tools[] = {{"update-mime-database", "mime"},
                                                           {"update-desktop-database", "applications"}};
    for (const auto &[tool, folder] : tools) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        const QString target = QDir(folders.data).filePath(QString::fromLatin1(folder));
        // Only what the export wrote: the installed program's are the system's own.
        if (!path.isEmpty() && QFileInfo(target).isDir()) {
            QProcess::startDetached(path, {target});
        }
    }
}

} // namespace DesktopExport
