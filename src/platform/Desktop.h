#pragma once

#include <QFlags>
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
    // What a message box shows: one choice of buttons, at most one icon, and
    // which button is the default (the first unless a later one is named).
    enum MessageStyleFlag : int {
        OkOnly = 0x0,
        OkCancel = 0x1,
        AbortRetryIgnore = 0x2,
        YesNoCancel = 0x3,
        YesNo = 0x4,
        RetryCancel = 0x5,
        Critical = 0x10,
        Question = 0x20,
        Exclamation = 0x30,
        Information = 0x40,
        DefaultButton2 = 0x100,
        DefaultButton3 = 0x200,
    };
    Q_DECLARE_FLAGS(MessageStyle, MessageStyleFlag)
    // The button that closed a message box; Esc and the close box answer Cancel.
    enum Answer : int { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
    // What the help viewer shows.
    enum class HelpPage { Contents };
    // What the user did to the tray icon. A StatusNotifierItem panel reports
    // only clicks and context requests, never a double-click.
    enum class TrayEvent { Click, DoubleClick, ContextRequest, MiddleClick, Other };

    virtual ~Desktop() = default;

    // A modal message box; returns the button that closed it.
    virtual Answer messageBox(const QString &prompt, MessageStyle style, const QString &title) = 0;

    // The Open and Save dialogs; each returns the chosen full path, or an empty
    // text when the user cancelled. The chosen path is also kept in dialog.fileName.
    virtual QString showOpen(CommonDialog &dialog) = 0;
    virtual QString showSave(CommonDialog &dialog) = 0;

    // Opens the help viewer on the help file at the given page.
    virtual void showHelp(const QString &helpFile, HelpPage page) = 0;

    virtual bool startProgram(const QString &path) = 0;
    // Hands the address to the user's browser without waiting for it; opened
    // learns whether that worked, at once or once the opener has ended.
    virtual void openUrl(const QString &address, std::function<void(bool opened)> opened) = 0;

    // Puts an icon into the notification area; the callback learns what the user
    // did to it. Returns false where there is no notification area.
    virtual bool addTrayIcon(const QIcon &icon, const QString &tip, std::function<void(TrayEvent)> callback) = 0;
    virtual void removeTrayIcon() = 0;

    // Ends the program: every window closes without further events.
    virtual void endProcess() = 0;

    // The executable's folder, without a trailing separator.
    virtual QString executableFolder() const = 0;
    // The program's arguments joined by single blanks.
    virtual QString commandLine() const = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Desktop::MessageStyle)
