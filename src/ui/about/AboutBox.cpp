#include "ui/about/AboutBox.h"

#include "platform/Desktop.h"
#include "platform/FrameExtents.h"
#include "slots/AppState.h"
#include "ui/about/SystemInformation.h"
#include "ui/common/DialogFont.h"
#include "ui/common/Topmost.h"
#include "ui/common/Twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {

const QString Description = QStringLiteral("Velmora is a clipboard enhancement system.");
const QString Copyright = QStringLiteral("Copyright \u00A9 2026 The Velmora developers");
const QString BrowserFailed = QStringLiteral("Unable to launch your browser, please type the address manually.");

// The light face the box's black and blue texts were drawn on.
const QColor Face(0xf0, 0xf0, 0xf0);
constexpr int ClientWidth = 5730;
constexpr int ClientHeight = 3555;
constexpr int IconPixels = 32;

QRect pixels(int left, int top, int width, int height)
{
    return {Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height)};
}

template <typename Control> Control *make(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}

void setTextColour(QWidget *control, const QColor &colour)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
}

} // namespace

AboutBox::AboutBox(AppState &state, Desktop &desktop, KeyStore &keyStore, const QIcon &icon, QWidget *parent)
    : QDialog(parent), m_state(state), m_desktop(desktop), m_keyStore(keyStore), m_icon(icon)
{
    createControls();
    fillIn();
    centreOverParent();
}

void AboutBox::createControls()
{
    setObjectName(QStringLiteral("AboutBox"));
    // A fixed dialog frame with a close box only. As a dialog of the bar it has
    // no taskbar entry.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(Twips::toPixels(ClientWidth), Twips::toPixels(ClientHeight));
    setFont(DialogFont::at(DialogFont::Points));
    // Its texts are black and blue on every theme, so the face they stand on is
    // fixed as well, and the texts the theme would ink stand on it in black. The
    // buttons keep the theme's colours: they draw their own face.
    QPalette face = palette();
    face.setColor(QPalette::Window, Face);
    face.setColor(QPalette::WindowText, Qt::black);
    setPalette(face);

    // Created in tab order: OK, the icon, System Info.
    m_okButton = make<QPushButton>(this, "cmdOK", pixels(4245, 2625, 1260, 345));
    m_okButton->setText(QStringLiteral("OK"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    m_iconPicture = make<QLabel>(this, "picIcon", pixels(240, 240, 540, 540));
    m_iconPicture->setAlignment(Qt::AlignCenter);

    m_systemInfoButton = make<QPushButton>(this, "cmdSysInfo", pixels(4260, 3075, 1245, 345));
    m_systemInfoButton->setText(QStringLiteral("&System Info..."));
    connect(m_systemInfoButton, &QPushButton::clicked, this, &AboutBox::showSystemInformation);

    m_description = make<QLabel>(this, "lblDescription", pixels(1080, 2040, 3885, 210));
    m_description->setText(Description);
    m_disclaimer = make<QLabel>(this, "lblDisclaimer", pixels(240, 2760, 3870, 585));
    m_disclaimer->setWordWrap(true);
    m_disclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_title = make<QLabel>(this, "lblTitle", pixels(1080, 240, 3885, 360));
    QFont bold = DialogFont::at(DialogFont::LargePoints);
    bold.setBold(true);
    m_title->setFont(bold);
    for (QLabel *label : {m_description, m_disclaimer, m_title}) {
        setTextColour(label, Qt::black);
    }
    m_version = make<QLabel>(this, "lblVersion", pixels(1080, 600, 3885, 225));
    m_copyright = make<QLabel>(this, "lblCopyright", pixels(1080, 1200, 3975, 255));
    m_copyright->setText(Copyright);

    m_address = make<QLabel>(this, "lblURL", pixels(1080, 1560, 3015, 255));
    m_address->setText(Address);
    QFont underlined = DialogFont::at(DialogFont::LargePoints);
    underlined.setUnderline(true);
    m_address->setFont(underlined);
    setTextColour(m_address, Qt::blue);
    m_address->setCursor(Qt::PointingHandCursor);
    m_address->installEventFilter(this);

    // Line1: a white rule two pixels high under a grey one of one pixel, drawn
    // over its top, make one etched line. Member 1 lies above member 0.
    const int ruleTop = Twips::toPixels(2520);
    const std::pair<int, QColor> rules[] = {{5669, Qt::white}, {5684, QColor(128, 128, 128)}};
    for (int index = 0; index < 2; ++index) {
        const int left = Twips::toPixels(120);
        auto *rule =
            make<QWidget>(this, "Line1", QRect(left, ruleTop, Twips::toPixels(rules[index].first) - left, 2 - index));
        rule->setProperty("index", index);
        rule->setAutoFillBackground(true);
        QPalette palette = rule->palette();
        palette.setColor(QPalette::Window, rules[index].second);
        rule->setPalette(palette);
    }

    m_okButton->setFocus();
}

void AboutBox::centreOverParent()
{
    // Qt would centre the client area and guess the frame; the window manager's
    // own frame, asked for before the box is mapped, centres what the user sees.
    const QWidget *bar = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (bar == nullptr) {
        return;
    }
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    const QMargins frame = x11 ? frameExtentsBeforeMapping(winId(), 250) : QMargins();
    QRect outer(QPoint(), size().grownBy(frame));
    // The bar's own window knows its frame; the widget's copy of it may lag behind.
    outer.moveCenter(bar->windowHandle() != nullptr ? bar->windowHandle()->frameGeometry().center()
                                                    : bar->frameGeometry().center());
    // Over a bar at the screen's edge, the whole box stays on that screen.
    const QRect room = bar->screen()->availableGeometry();
    outer.moveLeft(qMax(room.left(), qMin(outer.left(), room.right() + 1 - outer.width())));
    outer.moveTop(qMax(room.top(), qMin(outer.top(), room.bottom() + 1 - outer.height())));
    // By its client area: move() would count a frame Qt may or may not know yet.
    setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), size()));
}

void AboutBox::fillIn()
{
    setWindowTitle(QStringLiteral("About ") + m_state.programTitle);
    m_version->setText(QStringLiteral("Version %1.%2.%3")
                           .arg(VELMORA_VERSION_MAJOR)
                           .arg(VELMORA_VERSION_MINOR)
                           .arg(VELMORA_VERSION_PATCH));
    m_title->setText(m_state.programTitle);
    if (m_state.alwaysOnTop) {
        setTopmost(this, true);
    }
    m_iconPicture->setPixmap(m_icon.pixmap(IconPixels, IconPixels));
}

void AboutBox::showSystemInformation()
{
    startSystemInformation(m_keyStore, m_desktop, m_state.programTitle);
}

void AboutBox::openWebAddress()
{
    // The address stays on the label for the user to type, and the box stays open.
    // The answer may come after the box has closed: it needs only the bar's state.
    Desktop &desktop = m_desktop;
    const AppState &state = m_state;
    m_desktop.openUrl(Address, [&desktop, &state](bool opened) {
        if (!opened) {
            desktop.messageBox(BrowserFailed, Desktop::OkOnly | Desktop::Information, state.programTitle);
        }
    });
}

bool AboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_address && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
        m_address->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
        openWebAddress();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
