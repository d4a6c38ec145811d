// The bar's menu tree: its entries as designed, the pictures beside the File
// entries, and what each entry does.
#include "ui/bar/BarWindow.h"

#include "slots/AppState.h"
#include "slots/Captions.h"
#include "storage/FileNames.h"
#include "ui/bar/SlotAccessibility.h"
#include "ui/common/CompactMenuBarStyle.h"
#include "ui/common/Twips.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>

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

} // namespace

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
    m_editPicture = picture("imgedit", Twips::toPixelRect(4560, 960, 240, 240), QStringLiteral(":/pictures/edit.png"));
    m_newPicture = picture("imgnew", Twips::toPixelRect(4200, 960, 240, 240), QStringLiteral(":/pictures/new.png"));
    m_savePicture = picture("imgsave", Twips::toPixelRect(3840, 960, 210, 195), QStringLiteral(":/pictures/save.png"));
    m_openPicture = picture("imgopen", Twips::toPixelRect(3480, 960, 210, 210), QStringLiteral(":/pictures/open.png"));
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

void BarWindow::attachMenuPictures()
{
    const QList<QAction *> items = m_fileMenu->actions();
    const std::pair<int, QLabel *> pictures[] = {
        {0, m_newPicture}, {1, m_openPicture}, {2, m_savePicture}, {5, m_editPicture}};
    for (const auto &[position, image] : pictures) {
        if (position < items.size()) {
            items.at(position)->setIcon(QIcon(image->pixmap()));
        }
    }
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
