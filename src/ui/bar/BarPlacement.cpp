// Where the bar stands and how it is laid out: the stored place, size and
// switches of the settings file, and the layout and size entries of the View menu.
#include "ui/bar/BarWindow.h"

#include "platform/FrameExtents.h"
#include "slots/AppState.h"
#include "storage/SettingsFile.h"
#include "ui/bar/BarLayout.h"
#include "ui/common/SlotButton.h"
#include "ui/common/Twips.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

void BarWindow::placeAtDesignPosition()
{
    // Before the first show Qt places the window's client area, menu bar included.
    move(Twips::toPixels(BarLayout::DesignAreaLeft),
         Twips::toPixels(BarLayout::DesignAreaTop) - menuBar()->sizeHint().height());
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

void BarWindow::setWindowSizeTwips(QSize size)
{
    m_sizeTwips = size;
    m_buttonArea->setFixedSize(qMax(0, Twips::toPixels(size.width() - BarLayout::FrameWidth)),
                               qMax(0, Twips::toPixels(size.height() - BarLayout::FrameHeight)));
}
