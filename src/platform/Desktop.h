#pragma once

#include <QString>

#include <functional>

class QIcon;

// Settings of the program's standard file dialog: filter in "description|pattern"
// form, flags (2 ask before overwriting, 4 hide the read-only box), the help
// file, and the file name the dialog last returned.
struct CommonDialog
{
    QString filter;
    int flags = 0;
    QString helpFile;
    QString fileName;
};

// Everything that blocks or leaves the process goes through here, so that tests
// can script each prompt and its answer.
class Desktop
{
public:
    // Message box styles and answers.
    enum : int {
        OkOnly = 0,
        YesNoCancel = 3,
        YesNo = 4,
        Question = 32,
        Exclamation = 48,
        Information = 64,
        DefaultButton2 = 256,
    };
    enum Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
    // Help viewer commands.
    enum : int { HelpContents = 3 };
    // Mouse messages that reach the main window from the tray icon: the button
    // messages run from left button down to middle button double-click.
    enum : int {
        TrayLeftClick = 0x202,
        TrayLeftDoubleClick = 0x203,
        TrayRightClick = 0x205,
        TrayMiddleClick = 0x208,
        TrayFirstButtonMessage = 0x201,
        TrayLastButtonMessage = 0x209,
    };

    virtual ~Desktop() = default;

    // A modal message box; returns one of Answer. Esc and the close box answer Cancel.
    virtual int messageBox(const QString &prompt, int style, const QString &title) = 0;

    // The Open and Save dialogs; each returns the chosen full path, or an empty
    // text when the user cancelled. The chosen path is also kept in dialog.fileName.
    virtual QString showOpen(CommonDialog &dialog) = 0;
    virtual QString showSave(CommonDialog &dialog) = 0;

    // Opens the help viewer on the help file; command HelpContents shows its contents.
    virtual void showHelp(const QString &helpFile, int command) = 0;

    virtual bool startProgram(const QString &path) = 0;
    // Hands the address to the user's browser without waiting for it; opened
    // learns whether that worked, at once or once the opener has ended.
    virtual void openUrl(const QString &address, std::function<void(bool opened)> opened) = 0;

    // Puts an icon into the notification area. The callback receives the mouse
    // message number of what happened over the icon. Returns false where there
    // is no notification area.
    virtual bool addTrayIcon(const QIcon &icon, const QString &tip, std::function<void(int)> callback) = 0;
    virtual void removeTrayIcon() = 0;

    // Ends the program: every window closes without further events.
    virtual void endProcess() = 0;

    // The executable's folder, without a trailing separator.
    virtual QString executableFolder() const = 0;
    // The program's arguments joined by single blanks.
    virtual QString commandLine() const = 0;
};
