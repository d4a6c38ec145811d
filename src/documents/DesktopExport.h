#pragma once

#include <QByteArray>
#include <QString>

// Makes the registered clip document type known to the user's desktop, so that
// a file manager opens a .vmd file with the program: a MIME type for *.vmd, a
// desktop entry that runs the program with the file, and the program as the
// type's default application. The desktop entry has the name the installed
// program's entry has, so the user's own copy stands in for it rather than
// beside it.
namespace DesktopExport {

inline const QString MimeType = QStringLiteral("application/x-velmora-document");
inline const QString EntryName = QStringLiteral("org.velmora.Velmora.desktop");

// The user's data folder ($XDG_DATA_HOME) and configuration folder ($XDG_CONFIG_HOME).
struct Folders
{
    QString data;
    QString config;
    static Folders user();
};

// One argument of an Exec line as it stands in the desktop entry file: quoted
// when it holds a reserved character, with the string escapes applied on top.
// Empty when the entry cannot carry it (a "%" or a control character).
QString execArgument(const QString &argument);

// The user's mimeapps.list with the program as the type's default application;
// every other line is kept as it was.
QByteArray withDefaultApplication(const QByteArray &mimeApps);

// Writes the MIME type, the desktop entry for the program in programFolder and
// the default application. False, with the reason, when the program's path
// cannot be carried by a desktop entry or a file cannot be written.
bool exportDocumentType(const QString &programFolder, const Folders &folders, QString &error);

// Rebuilds the desktop's MIME and application caches in the background, where
// the tools for it are installed.
void refreshDesktopDatabases(const Folders &folders);

} // namespace DesktopExport
