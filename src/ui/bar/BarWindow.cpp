#include "ui/bar/BarWindow.h"

#include "slots/AppState.h"
#include "slots/Captions.h"
#include "slots/SlotActions.h"
#include "storage/SettingsFile.h"
#include "ui/about/AboutBox.h"
#include "ui/bar/BarLayout.h"
#include "ui/bar/SlotAccessibility.h"
#include "ui/common/SlotButton.h"
#include "ui/common/Topmost.h"
#include "ui/common/Twips.h"
#include "ui/editor/SlotEditor.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSessionManager>

namespace {

const QString SlotKept = QStringLiteral("\nThe slot keeps what it had.");
const QString HelpFile = QStringLiteral("Velmora.hlp");
const QString DocumentFilter = QStringLiteral("Velmora (*.vmd) files |*.vmd");

} // namespace

BarWindow::BarWindow(AppState &state, Desktop &desktop, Clipboard &clipboard, KeyStore &keyStore,
                     std::function<void()> registerDocumentType, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_desktop(desktop), m_clipboard(clipboard), m_keyStore(keyStore),
      m_registerDocumentType(std::move(registerDocumentType)), m_documents(state, desktop, *this, m_commonDialog)
{
    setObjectName(QStringLiteral("BarWindow"));
    // A global menu would take the menu bar out of the window: the window's sizes
    // count it in, and Only Menu would leave an empty window. Qt offers the menu
    // bar to a global menu as soon as it exists, so this comes before it.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    // A fixed single border with system menu and minimise button, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/velmora-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/pictures/velmora-32.png"), QSize(32, 32));
    setWindowIcon(icon);

    m_buttonArea = new QWidget(this);
    m_buttonArea->setObjectName(QStringLiteral("buttonArea"));
    setCentralWidget(m_buttonArea);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    createButtons();
    createPictures();
    createMenus();
    connectMenus();

    m_commonDialog.filter = DocumentFilter;
    m_commonDialog.helpFile = HelpFile;

    setWindowSizeTwips({BarLayout::DesignWidth, BarLayout::DesignHeight});
    placeAtDesignPosition();
}

void BarWindow::createButtons()
{
    using namespace BarLayout;
    // Slot buttons first, capture buttons after: later children lie above, so a
    // shown capture button takes the clicks on its corner of the slot button.
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        auto *button = new SlotButton(m_buttonArea);
        button->setObjectName(QStringLiteral("Cmd%1").arg(k));
        button->setAccessibleName(slotAccessibleName(m_state, k));
        const QPoint at = slotButtonPosition(k, HorizontalColumns);
        button->setGeometry(Twips::toPixelRect(at.x(), at.y(), SlotButtonWidth, SlotButtonHeight));
        connect(button, &QPushButton::clicked, this, [this, k] { copySlot(k); });
        m_slotButtons.at(k - 1) = button;
    }
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        auto *button = new QPushButton(m_buttonArea);
        button->setObjectName(QStringLiteral("cmdp%1").arg(k));
        button->setAccessibleName(captureAccessibleName(k));
        const QPoint at = slotButtonPosition(k, HorizontalColumns);
        button->setGeometry(Twips::toPixelRect(at.x(), at.y(), CaptureButtonSize, CaptureButtonSize));
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, k] { captureSlot(k); });
        m_captureButtons.at(k - 1) = button;
    }
    QWidget *previous = m_slotButtons.front();
    for (int i = 1; i < 2 * AppState::SlotCount; ++i) {
        QWidget *next = i < AppState::SlotCount ? m_slotButtons.at(i) : m_captureButtons.at(i - AppState::SlotCount);
        setTabOrder(previous, next);
        previous = next;
    }
}

void BarWindow::startUp()
{
    m_state.programTitle = QStringLiteral("Velmora");
    setTitle(m_state.programTitle);
    m_settingsPath = settingsFilePath(m_desktop.executableFolder());
    readSettings();
    showRecentFiles();
    if (m_state.alwaysOnTop) {
        setTopmost(this, true);
    } else {
        setChecked("mnutop", false);
    }
    setChecked("mnufirstr", m_state.sizeMode == BarLayout::FirstButtonRow);
    setChecked("mnuonlym", m_state.sizeMode == BarLayout::OnlyMenu);
    setChecked("mnudefault", m_state.sizeMode != BarLayout::FirstButtonRow && m_state.sizeMode != BarLayout::OnlyMenu);
    if (m_state.verticalBar) {
        showVertical();
        setChecked("mnuvertical", true);
    } else {
        setChecked("mnuhorizontal", true);
    }
    if (m_state.captureButtonsShown) {
        setCaptureButtonsVisible(true);
        setChecked("mnuinsert", true);
    }
    attachMenuPictures();
    m_documents.openCommandLine(m_desktop.commandLine());
    // Placed only now: a message about the document runs an event loop before
    // the window is shown, in which Qt would take a window placed earlier back
    // to the screen's corner.
    if (m_storedCorner) {
        placeFrame(*std::exchange(m_storedCorner, std::nullopt));
    }
    // The session's end, as Qt hands it on: a request to save, then one to quit.
    qGuiApp->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        // A cancel is handed on with the end of the interaction, which Qt then sends.
        if (commitSessionData([&manager] { return manager.allowsInteraction(); })) {
            manager.release();
        } else {
            manager.cancel();
        }
    });
}

void BarWindow::exitProgram()
{
    if (m_documents.askSaveChanges()) {
        endProgram();
    }
}

void BarWindow::endProgram()
{
    writeSettings();
    leaveTray();
    m_desktop.endProcess();
}

bool BarWindow::commitSessionData(const std::function<bool()> &mayAsk)
{
    return !m_state.dirty || !mayAsk() || m_documents.askSaveChanges();
}

bool BarWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The session manager's last word reaches the program as a request to quit,
    // which Qt answers by closing every window; the bar's close would ask to
    // save, with nobody left to answer.
    if (watched == qGuiApp && event->type() == QEvent::Quit) {
        endProgram();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void BarWindow::closeEvent(QCloseEvent *event)
{
    exitProgram();
    event->ignore();
}

void BarWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_state.alwaysOnTop) {
        setTopmost(this, true);
    }
}

void BarWindow::copySlot(int k)
{
    ::copySlot(m_state, m_clipboard, *this, k);
}

void BarWindow::captureSlot(int k)
{
    QString error;
    if (!::captureSlot(m_state, m_clipboard, *this, k, error)) {
        m_desktop.messageBox(error + SlotKept, Desktop::OkOnly | Desktop::Exclamation, m_state.programTitle);
    }
}

void BarWindow::toggleCaptureButtons()
{
    const bool show = !m_state.captureButtonsShown;
    setCaptureButtonsVisible(show);
    m_state.captureButtonsShown = show;
    action("mnuinsert")->setChecked(show);
}

void BarWindow::setCaptureButtonsVisible(bool visible)
{
    const int inset = visible ? Twips::toPixels(BarLayout::CaptureButtonSize) : 0;
    for (int i = 0; i < AppState::SlotCount; ++i) {
        m_captureButtons.at(i)->setVisible(visible);
        m_slotButtons.at(i)->setCaptionInset(inset);
    }
}

void BarWindow::toggleAlwaysOnTop()
{
    const bool on = !m_state.alwaysOnTop;
    setTopmost(this, on);
    action("mnutop")->setChecked(on);
    m_state.alwaysOnTop = on;
}

void BarWindow::hideInTray()
{
    putInTray();
}

void BarWindow::putInTray()
{
    const bool added = m_desktop.addTrayIcon(windowIcon(), m_state.programTitle,
                                             [this](Desktop::TrayEvent event) { trayActivated(event); });
    if (added) {
        hide();
    } else {
        // Without a notification area a hidden window could never be brought back.
        showMinimized();
    }
}

void BarWindow::trayActivated(Desktop::TrayEvent event)
{
    // A StatusNotifierItem panel reports only clicks and context requests, never a
    // double-click: every button event brings the bar back, or it would be lost.
    if (event != Desktop::TrayEvent::Other) {
        showNormal();
        raise();
        activateWindow();
    }
}

void BarWindow::leaveTray()
{
    m_desktop.removeTrayIcon();
}

void BarWindow::showHelpContents()
{
    m_desktop.showHelp(m_commonDialog.helpFile, Desktop::HelpPage::Contents);
}

void BarWindow::showAbout()
{
    AboutBox about(m_state, m_desktop, m_keyStore, windowIcon(), this);
    about.exec();
}

void BarWindow::editSlots()
{
    showEditor();
}

void BarWindow::showEditor()
{
    // No owner window: the editor stands on its own, and being application
    // modal keeps the bar from taking input while it is open.
    SlotEditor editor(m_state, m_editor, *this, m_clipboard, m_desktop, windowIcon());
    editor.setWindowModality(Qt::ApplicationModal);
    editor.exec();
}

void BarWindow::setSlotButtonCaption(int k, const QString &caption)
{
    m_slotButtons.at(k - 1)->setAccessibleName(slotAccessibleName(m_state, k));
    m_slotButtons.at(k - 1)->setText(caption);
}

void BarWindow::setCopyEntry(int k, const QString &caption, bool enabled)
{
    setEntryAccessibleName(m_copyEntries.at(k - 1), slotAccessibleName(m_state, k));
    QAction *entry = m_copyEntries.at(k - 1);
    entry->setText(caption);
    entry->setEnabled(enabled);
}

void BarWindow::setEditFileEnabled(bool enabled)
{
    action("mnuedit")->setEnabled(enabled);
}

void BarWindow::setTitle(const QString &title)
{
    setWindowTitle(windowTitleText(title));
}
