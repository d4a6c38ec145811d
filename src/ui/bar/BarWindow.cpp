#include "ui/bar/BarWindow.h"

#include "platform/FrameExtents.h"
#include "slots/AppState.h"
#include "slots/Captions.h"
#include "slots/SlotActions.h"
#include "storage/FileNames.h"
#include "storage/SettingsFile.h"
#include "ui/about/AboutBox.h"
#include "ui/bar/BarLayout.h"
#include "ui/bar/SlotAccessibility.h"
#include "ui/common/CompactMenuBarStyle.h"
#include "ui/common/SlotButton.h"
#include "ui/common/Topmost.h"
#include "ui/common/Twips.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>

namespace {

enum MenuFlag : unsigned { Plain = 0, Disabled = 1, Hidden = 2, Checkable = 4, Checked = 8 };

struct MenuEntry
{
    int level;
    const char *name;
    const char *caption;
    const char *shortcut;
    unsigned flags;
};

// The menu tree as designed; an entry followed by deeper entries opens a submenu.
const MenuEntry MenuTree[] = {
    {0, "mnufile", "&File", nullptr, Plain},
    {1, "mnunew", "&New", "Ctrl+N", Plain},
    {1, "mnuopen", "&Open...", "Ctrl+O", Plain},
    {1, "mnusave", "&Save", "Ctrl+S", Plain},
    {1, "mnusaveas", "Save &As...", nullptr, Plain},
    {1, "mnuspace5", "-", nullptr, Plain},
    {1, "mnuedit", "&Edit File", "Ctrl+E", Disabled},
    {1, "mnuspace1", "-", nullptr, Plain},
    {1, "mnuexit", "E&xit", nullptr, Plain},
    {1, "mnuspace2", "-", nullptr, Plain},
    {1, "mnufail1", "", nullptr, Hidden},
    {1, "mnufail2", "", nullptr, Hidden},
    {1, "mnufail3", "", nullptr, Hidden},
    {1, "mnufail4", "", nullptr, Hidden},
    {0, "mnuview", "&View", nullptr, Plain},
    {1, "mnusystray", "Hide in &Tray", "Ctrl+H", Plain},
    {1, "mnuspace6", "-", nullptr, Plain},
    {1, "mnutop", "&Always on Top", nullptr, Checkable | Checked},
    {1, "mnuinsert", "&Inserting Buttons", nullptr, Checkable},
    {1, "mnuglobal", "&Global Shortcuts", nullptr, Checkable},
    {1, "mnuspace3", "-", nullptr, Plain},
    {1, "mnuhorizontal", "&Horizontal", nullptr, Checkable},
    {1, "mnuvertical", "&Vertical", nullptr, Checkable},
    {1, "mnusize", "Window &Size", nullptr, Plain},
    {2, "mnudefault", "&Default Size", nullptr, Checkable},
    {2, "mnufirstr", "First &Button Row", nullptr, Checkable},
    {2, "mnuonlym", "Only &Menu", nullptr, Checkable},
    {0, "mnucopy", "Copy &Text", nullptr, Plain},
    {1, "mnuB1", " ...  &1 ", nullptr, Disabled},
    {1, "mnuB2", " ...  &2 ", nullptr, Disabled},
    {1, "mnuB3", " ...  &3 ", nullptr, Disabled},
    {1, "mnuB4", " ...  &4 ", nullptr, Disabled},
    {1, "mnuB5", " ...  &5 ", nullptr, Disabled},
    {1, "mnuB6", " ...  &6 ", nullptr, Disabled},
    {1, "mnuB7", " ...  &7 ", nullptr, Disabled},
    {1, "mnuB8", " ...  &8 ", nullptr, Disabled},
    {1, "mnuB9", " ...  &9 ", nullptr, Disabled},
    {1, "mnuB10", " ... 1&0 ", nullptr, Disabled},
    {0, "mnuhelp", "&Help", nullptr, Plain},
    {1, "mnucontens", "&Contents", nullptr, Plain},
    {1, "mnuspace4", "-", nullptr, Plain},
    {1, "mnuabout", "&About Velmora", nullptr, Plain},
};

const QString SlotKept = QStringLiteral("\nThe slot keeps what it had.");
const QString HelpFile = QStringLiteral("Velmora.hlp");
const QString DocumentFilter = QStringLiteral("Velmora (*.vmd) files |*.vmd");

QRect pixelRect(int left, int top, int width, int height)
{
    return {Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height)};
}

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

void BarWindow::placeAtDesignPosition()
{
    // Before the first show Qt places the window's client area, menu bar included.
    move(Twips::toPixels(BarLayout::DesignAreaLeft),
         Twips::toPixels(BarLayout::DesignAreaTop) - menuBar()->sizeHint().height());
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
        button->setGeometry(pixelRect(at.x(), at.y(), SlotButtonWidth, SlotButtonHeight));
        connect(button, &QPushButton::clicked, this, [this, k] { copySlot(k); });
        m_slotButtons.at(k - 1) = button;
    }
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        auto *button = new QPushButton(m_buttonArea);
        button->setObjectName(QStringLiteral("cmdp%1").arg(k));
        button->setAccessibleName(captureAccessibleName(k));
        const QPoint at = slotButtonPosition(k, HorizontalColumns);
        button->setGeometry(pixelRect(at.x(), at.y(), CaptureButtonSize, CaptureButtonSize));
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

void BarWindow::createPictures()
{
    // Hidden image controls: their pictures go beside File menu entries at start-up.
    const auto picture = [this](const char *name, const QRect &geometry, const QString &file) {
        auto *label = new QLabel(m_buttonArea);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(geometry);
        label->setPixmap(QPixmap(file));
        label->hide();
        return label;
    };
    m_imgedit = picture("imgedit", pixelRect(4560, 960, 240, 240), QStringLiteral(":/pictures/edit.png"));
    m_imgnew = picture("imgnew", pixelRect(4200, 960, 240, 240), QStringLiteral(":/pictures/new.png"));
    m_imgsave = picture("imgsave", pixelRect(3840, 960, 210, 195), QStringLiteral(":/pictures/save.png"));
    m_imgopen = picture("imgopen", pixelRect(3480, 960, 210, 210), QStringLiteral(":/pictures/open.png"));
}

void BarWindow::createMenus()
{
    QMenu *menus[3] = {nullptr, nullptr, nullptr};
    const int count = static_cast<int>(std::size(MenuTree));
    for (int i = 0; i < count; ++i) {
        const MenuEntry &entry = MenuTree[i];
        const QString name = QString::fromLatin1(entry.name);
        const QString caption = QString::fromLatin1(entry.caption);
        const bool opensMenu = entry.level == 0 || (i + 1 < count && MenuTree[i + 1].level > entry.level);
        if (opensMenu) {
            QMenu *menu = entry.level == 0 ? menuBar()->addMenu(caption) : menus[entry.level - 1]->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            menus[entry.level] = menu;
            continue;
        }
        QMenu *parentMenu = menus[entry.level - 1];
        QAction *item = caption == QLatin1String("-") ? parentMenu->addSeparator() : parentMenu->addAction(caption);
        item->setObjectName(name);
        if (entry.shortcut != nullptr) {
            item->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        }
        item->setEnabled((entry.flags & Disabled) == 0);
        item->setVisible((entry.flags & Hidden) == 0);
        item->setCheckable((entry.flags & Checkable) != 0);
        item->setChecked((entry.flags & Checked) != 0);
    }
    auto *compact = new CompactMenuBarStyle;
    compact->setParent(menuBar());
    menuBar()->setStyle(compact);
    m_fileMenu = findChild<QMenu *>(QStringLiteral("mnufile"));
    // The separator below Exit stays, also while no recent file follows it.
    m_fileMenu->setSeparatorsCollapsible(false);
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        m_copyEntries.at(k - 1) = action(QStringLiteral("mnuB%1").arg(k).toLatin1().constData());
        setEntryAccessibleName(m_copyEntries.at(k - 1), slotAccessibleName(m_state, k));
    }
    for (int i = 1; i <= RecentCount; ++i) {
        m_recentEntries.at(i - 1) = action(QStringLiteral("mnufail%1").arg(i).toLatin1().constData());
    }
}

void BarWindow::connectMenus()
{
    connect(action("mnuexit"), &QAction::triggered, this, &BarWindow::exitProgram);
    connect(action("mnunew"), &QAction::triggered, this, &BarWindow::newDocument);
    connect(action("mnuopen"), &QAction::triggered, this, &BarWindow::openDocument);
    connect(action("mnusave"), &QAction::triggered, this, &BarWindow::saveDocument);
    connect(action("mnusaveas"), &QAction::triggered, this, &BarWindow::saveDocumentAs);
    for (int k = 1; k <= RecentCount; ++k) {
        connect(m_recentEntries.at(k - 1), &QAction::triggered, this, [this, k] { openRecent(k); });
    }
    connect(action("mnusystray"), &QAction::triggered, this, &BarWindow::hideInTray);
    connect(action("mnutop"), &QAction::triggered, this, &BarWindow::toggleAlwaysOnTop);
    connect(action("mnuinsert"), &QAction::triggered, this, &BarWindow::toggleCaptureButtons);
    connect(action("mnuhorizontal"), &QAction::triggered, this, &BarWindow::showHorizontal);
    connect(action("mnuvertical"), &QAction::triggered, this, &BarWindow::showVertical);
    connect(action("mnudefault"), &QAction::triggered, this, &BarWindow::setDefaultSize);
    connect(action("mnufirstr"), &QAction::triggered, this, &BarWindow::showFirstRowOnly);
    connect(action("mnuonlym"), &QAction::triggered, this, &BarWindow::showMenuOnly);
    connect(action("mnucontens"), &QAction::triggered, this, &BarWindow::showHelpContents);
    connect(action("mnuabout"), &QAction::triggered, this, &BarWindow::showAbout);
    // A disabled entry takes its Ctrl+E out of use too.
    connect(action("mnuedit"), &QAction::triggered, this, &BarWindow::editSlots);
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        connect(m_copyEntries.at(k - 1), &QAction::triggered, this, [this, k] { copySlot(k); });
    }
}

QAction *BarWindow::action(const char *name) const
{
    auto *found = findChild<QAction *>(QString::fromLatin1(name));
    Q_ASSERT(found != nullptr);
    return found;
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

void BarWindow::readSettings()
{
    SettingsLines settings;
    const SettingsRead read = readSettingsFile(m_settingsPath, settings);
    if (read == SettingsRead::Missing) {
        // First start: the bar comes up on top, with its capture buttons.
        m_state.alwaysOnTop = true;
        m_state.captureButtonsShown = true;
        if (m_registerDocumentType) {
            m_registerDocumentType();
        }
        return;
    }
    // A size that could not be read, or that is smaller than any layout makes
    // it, would leave a window too small to see or reach, or none at all; a
    // position that could not be read puts it at the screen's edge.
    const auto size = [](std::optional<int> stored, int smallest, int design) {
        return stored && *stored >= smallest ? *stored : design;
    };
    setWindowSizeTwips({size(settings.width, BarLayout::SmallestSize.width(), BarLayout::DesignWidth),
                        size(settings.height, BarLayout::SmallestSize.height(), BarLayout::DesignHeight)});
    m_storedCorner = QPoint(Twips::toPixels(settings.left.value_or(0)), Twips::toPixels(settings.top.value_or(0)));
    // The file keeps each switch as a number whose only "on" is 1.
    m_state.alwaysOnTop = settings.alwaysOnTop == 1;
    m_state.sizeMode = settings.sizeMode.value_or(0);
    m_state.verticalBar = settings.barOrientation == 1;
    m_state.captureButtonsShown = settings.insertButtons == 1;
    for (int k = 1; k <= RecentCount; ++k) {
        setRecentFile(k, settings.recent.at(k - 1));
    }
}

void BarWindow::placeFrame(QPoint corner)
{
    // Only X11 has a frame to ask about before the window is mapped.
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    const QMargins frame = x11 ? frameExtentsBeforeMapping(winId(), 250) : QMargins();
    // The title bar, where the user takes hold of the window, must lie on a screen.
    const QRect titleBar(corner, QSize(sizeHint().width() + frame.left() + frame.right(), qMax(frame.top(), 16)));
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(titleBar)) {
            move(corner + QPoint(frame.left(), frame.top()));
            return;
        }
    }
    placeAtDesignPosition();
}

void BarWindow::writeSettings()
{
    SettingsLines settings;
    const QPoint corner = frameGeometry().topLeft();
    settings.top = Twips::fromPixels(corner.y());
    settings.left = Twips::fromPixels(corner.x());
    settings.width = widthTwips();
    settings.height = heightTwips();
    settings.alwaysOnTop = m_state.alwaysOnTop ? 1 : 0;
    settings.sizeMode = m_state.sizeMode;
    settings.barOrientation = m_state.verticalBar ? 1 : 0;
    settings.insertButtons = m_state.captureButtonsShown ? 1 : 0;
    for (int k = 1; k <= RecentCount; ++k) {
        settings.recent.at(k - 1) = recentFile(k);
    }
    // A settings file that cannot be written costs the layout of this run, never the exit.
    QString error;
    if (!writeSettingsFile(m_settingsPath, settings, error)) {
        qWarning().noquote() << error;
    }
}

void BarWindow::applyLayout(bool vertical)
{
    using namespace BarLayout;
    const int columns = vertical ? VerticalColumns : HorizontalColumns;
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        const QPoint at = slotButtonPosition(k, columns);
        m_slotButtons.at(k - 1)->move(Twips::toPixels(at.x()), Twips::toPixels(at.y()));
        m_captureButtons.at(k - 1)->move(m_slotButtons.at(k - 1)->pos());
    }
    setWindowSizeTwips(layoutHandlerSize(m_state.sizeMode, vertical));
    m_state.verticalBar = vertical;
    setChecked("mnuhorizontal", !vertical);
    setChecked("mnuvertical", vertical);
}

void BarWindow::applySize(int sizeMode)
{
    setWindowSizeTwips(BarLayout::sizeHandlerSize(sizeMode, m_state.verticalBar));
    m_state.sizeMode = static_cast<qint16>(sizeMode);
    setChecked("mnudefault", sizeMode == BarLayout::DefaultSize);
    setChecked("mnufirstr", sizeMode == BarLayout::FirstButtonRow);
    setChecked("mnuonlym", sizeMode == BarLayout::OnlyMenu);
}

void BarWindow::attachMenuPictures()
{
    const QList<QAction *> items = m_fileMenu->actions();
    const std::pair<int, QLabel *> pictures[] = {{0, m_imgnew}, {1, m_imgopen}, {2, m_imgsave}, {5, m_imgedit}};
    for (const auto &[position, image] : pictures) {
        if (position < items.size()) {
            items.at(position)->setIcon(QIcon(image->pixmap()));
        }
    }
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

void BarWindow::showRecentFiles()
{
    for (QAction *entry : m_recentEntries) {
        entry->setVisible(!entry->data().toString().isEmpty());
    }
}

QString BarWindow::recentFile(int k) const
{
    return m_recentEntries.at(k - 1)->data().toString();
}

void BarWindow::setRecentFile(int k, const QString &path)
{
    // The entry keeps the exact path and shows it as it is: an "&" in a folder
    // name is no access key, a byte that is not UTF-8 shows as U+FFFD.
    m_recentEntries.at(k - 1)->setData(path);
    m_recentEntries.at(k - 1)->setText(controlCaption(displayFileName(path)));
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

void BarWindow::setWindowSizeTwips(QSize size)
{
    m_sizeTwips = size;
    m_buttonArea->setFixedSize(qMax(0, Twips::toPixels(size.width() - BarLayout::FrameWidth)),
                               qMax(0, Twips::toPixels(size.height() - BarLayout::FrameHeight)));
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
