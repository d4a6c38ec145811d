#pragma once

#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "platform/Desktop.h"
#include "ui/bar/BarLayout.h"
#include "ui/editor/EditorState.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>

class AppState;
class Clipboard;
class KeyStore;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class SlotButton;

// The main window: ten slot buttons with their capture buttons under a menu bar.
class BarWindow : public QMainWindow, private DocumentView
{
    Q_OBJECT
public:
    // registerDocumentType runs on a first start, when there is no settings file.
    BarWindow(AppState &state, Desktop &desktop, Clipboard &clipboard, KeyStore &keyStore,
              std::function<void()> registerDocumentType = {}, QWidget *parent = nullptr);

    // Start-up: title, settings, layout, menu pictures, the document the command
    // line names. Runs before the first show.
    void startUp();
    // The single way out: save prompt, settings, tray icon, end of the process.
    // A cancelled prompt or an unfinished save keeps the program running.
    void exitProgram();
    // The way out after the save prompt: the settings written, the tray icon
    // removed, the process ended. The end of the session (a logout's SIGTERM,
    // SIGINT, SIGHUP, the session manager's last word) comes straight here:
    // nobody is there to answer the prompt, and a document is never written
    // unasked.
    void endProgram();
    // The session manager's call to save before the session ends. Unsaved slot
    // changes are asked about as on File, Exit, when mayAsk (which asks the
    // session manager for leave) says so; false when the session must go on
    // (Cancel, or a save that did not complete).
    bool commitSessionData(const std::function<bool()> &mayAsk);

    void copySlot(int k);
    void captureSlot(int k);

    void showHorizontal() { applyLayout(false); }
    void showVertical() { applyLayout(true); }
    void setDefaultSize() { applySize(BarLayout::DefaultSize); }
    void showFirstRowOnly() { applySize(BarLayout::FirstButtonRow); }
    void showMenuOnly() { applySize(BarLayout::OnlyMenu); }
    void toggleCaptureButtons();
    void hideInTray();
    void showHelpContents();
    // Opens the About box modally and returns when it has closed.
    void showAbout();
    void editSlots();
    // Opens the editor modally and returns when it has closed.
    void showEditor() override;
    void newDocument() { m_documents.newDocument(); }
    void openDocument() { m_documents.openDocument(); }
    void saveDocument() { m_documents.saveDocument(); }
    void saveDocumentAs() { m_documents.saveDocumentAs(); }
    void openRecent(int k) { m_documents.openRecent(k); }

    void toggleAlwaysOnTop();
    void putInTray();
    void leaveTray();
    void showRecentFiles() override;
    // What the user did to the tray icon.
    void trayActivated(Desktop::TrayEvent event);

    // The outer size, as the program sets and reports it, in twips. The button
    // area gets Width - 90 by Height - 660; frame and menu bar come on top.
    void setWindowSizeTwips(QSize size);
    int widthTwips() const { return m_sizeTwips.width(); }
    int heightTwips() const { return m_sizeTwips.height(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setSlotButtonCaption(int k, const QString &caption) override;
    void setCopyEntry(int k, const QString &caption, bool enabled) override;
    void setEditFileEnabled(bool enabled) override;
    void setTitle(const QString &title) override;
    QString recentFile(int k) const override;
    void setRecentFile(int k, const QString &path) override;

    void createButtons();
    void createPictures();
    void createMenus();
    void connectMenus();
    void readSettings();
    void writeSettings();
    // Puts the window's frame at this outer corner (pixels), or at the design
    // position when its title bar would lie on no screen.
    void placeFrame(QPoint corner);
    void placeAtDesignPosition();
    void applyLayout(bool vertical);
    void applySize(int sizeMode);
    void attachMenuPictures();
    void setCaptureButtonsVisible(bool visible);
    QAction *action(const char *name) const;
    void setChecked(const char *name, bool checked) { action(name)->setChecked(checked); }

    AppState &m_state;
    Desktop &m_desktop;
    Clipboard &m_clipboard;
    KeyStore &m_keyStore;
    std::function<void()> m_registerDocumentType;
    QString m_settingsPath;
    // Where the settings put the frame (pixels), until it is placed there.
    std::optional<QPoint> m_storedCorner;
    QSize m_sizeTwips;
    QWidget *m_buttonArea = nullptr;
    std::array<SlotButton *, 10> m_slotButtons{};
    std::array<QPushButton *, 10> m_captureButtons{};
    std::array<QAction *, 10> m_copyEntries{};
    std::array<QAction *, RecentCount> m_recentEntries{};
    QMenu *m_fileMenu = nullptr;
    QLabel *m_editPicture = nullptr;
    QLabel *m_newPicture = nullptr;
    QLabel *m_savePicture = nullptr;
    QLabel *m_openPicture = nullptr;
    CommonDialog m_commonDialog;
    EditorState m_editor;
    DocumentCommands m_documents;
};
