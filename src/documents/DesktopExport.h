#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Makes the registered clip document type known to the user's desktop, so that
// a file manager opens a .vmd file with the program: a MIME type for *.vmd, a
// desktop entry that runs the program with the file, and the program as the
// type's default application. The desktop entry has the name the installed
// program's entry has, so the user's own copy stands in for it rather than
// beside it; for the installed program itself only the default is written.
namespace DesktopExport {

inline const QString MimeType = QStringLiteral("application/x-velmora-document");
inline const QString EntryName = QStringLiteral("org.velmora.Velmora.desktop");

// The user's data folder ($XDG_DATA_HOME) and configuration folder
// ($XDG_CONFIG_HOME), and the system's data folders ($XDG_DATA_DIRS), where an
// installed program's desktop entry lies.
struct Folders
{
    QString data;
    QString config;
    QStringList systemData;
    static Folders user();
};

// One argument of an Exec line as it stands in the desktop entry file: "%"
// doubled, quoted when it holds a reserved character, with the string escapes
// applied on top. Empty when the entry cannot carry it (a control character).
QString execArgument(const QString &argument);

// The user's mimeapps.list with the program as the type's default application;
// every other line is kept as it was, and an added line ends as the file's
// lines end (CR LF or LF).
QByteArray withDefaultApplication(const QByteArray &mimeApps);

// Writes the MIME type, the desktop entry for the program in programFolder (the
// folder's bytes as the file system names it) with the program's icon, and the
// default application. When the program is the one that the system-wide
// installation's entry already runs, only the default application is written: a
// copy of that entry would outlive the program's removal and hide the package's
// later changes to it. False, with the reason, when the folder's name cannot
// stand in a desktop entry (not UTF-8, a control character) or a file cannot be
// read or written.
bool exportDocumentType(const QByteArray &programFolder, const Folders &folders, QString &error);

// Rebuilds the desktop's MIME and application caches in the background, where
// the tools for it are installed.
void refreshDesktopDatabases(const Folders &folders);

} // namespace DesktopExport
