#include "QtDesktop.h"

#include "HelpViewer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QUrl>

namespace {

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case Desktop::Question:
        return QMessageBox::Question;
    case Desktop::Exclamation:
        return QMessageBox::Warning;
    case Desktop::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct ButtonAnswer
{
    QMessageBox::StandardButton button;
    int answer;
};

QList<ButtonAnswer> buttonsOf(int style)
{
    switch (style & 7) {
    case 1:
        return {{QMessageBox::Ok, Desktop::Ok}, {QMessageBox::Cancel, Desktop::Cancel}};
    case 2:
        return {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}};
    case Desktop::YesNoCancel:
        return {
            {QMessageBox::Yes, Desktop::Yes}, {QMessageBox::No, Desktop::No}, {QMessageBox::Cancel, Desktop::Cancel}};
    case Desktop::YesNo:
        return {{QMessageBox::Yes, Desktop::Yes}, {QMessageBox::No, Desktop::No}};
    case 5:
        return {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, Desktop::Cancel}};
    default:
        return {{QMessageBox::Ok, Desktop::Ok}};
    }
}

// Tray activations as the mouse messages the main window understands.
int trayMessage(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return Desktop::TrayLeftDoubleClick;
    case QSystemTrayIcon::Trigger:
        return Desktop::TrayLeftClick;
    case QSystemTrayIcon::Context:
        return Desktop::TrayRightClick;
    case QSystemTrayIcon::MiddleClick:
        return Desktop::TrayMiddleClick;
    default:
        return 0;
    }
}

} // namespace

QtDesktop::QtDesktop(QStringList arguments) : m_arguments(std::move(arguments)) {}

QtDesktop::~QtDesktop() = default;

int QtDesktop::messageBox(const QString &prompt, int style, const QString &title)
{
    QMessageBox box(iconOf(style), title, prompt, QMessageBox::NoButton, QApplication::activeWindow());
    const QList<ButtonAnswer> buttons = buttonsOf(style);
    for (const ButtonAnswer &b : buttons) {
        box.addButton(b.button);
    }
    // A default-button flag beyond the last button has no effect: the first stays default.
    const int defaultIndex = (style >> 8) & 3;
    box.setDefaultButton(buttons.at(defaultIndex < buttons.size() ? defaultIndex : 0).button);
    for (const ButtonAnswer &b : buttons) {
        if (b.answer == Desktop::Cancel) {
            box.setEscapeButton(b.button);
        }
    }
    box.exec();
    const QAbstractButton *clicked = box.clickedButton();
    for (const ButtonAnswer &b : buttons) {
        if (clicked == box.button(b.button)) {
            return b.answer;
        }
    }
    return Desktop::Cancel;
}

QString QtDesktop::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts.at(i).trimmed() + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString QtDesktop::showOpen(CommonDialog &dialog)
{
    const QString path =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), dialog.fileName, qtFilter(dialog.filter));
    if (!path.isEmpty()) {
        dialog.fileName = path;
    }
    return path;
}

QString QtDesktop::showSave(CommonDialog &dialog)
{
    QFileDialog::Options options;
    if ((dialog.flags & 2) == 0) {
        options |= QFileDialog::DontConfirmOverwrite;
    }
    const QString path = QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), dialog.fileName,
                                                      qtFilter(dialog.filter), nullptr, options);
    if (!path.isEmpty()) {
        dialog.fileName = path;
    }
    return path;
}

QStringList QtDesktop::dataFolders()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder, QDir::cleanPath(folder + QStringLiteral("/" VELMORA_DATA_FROM_BIN)),
            QStringLiteral(VELMORA_DATA_DIR)};
}

void QtDesktop::showHelp(const QString &helpFile, int command)
{
    Q_UNUSED(command)
    if (!m_helpViewer) {
        m_helpViewer = std::make_unique<HelpViewer>();
    }
    m_helpViewer->openContents(dataFolders(), helpFile);
}

bool QtDesktop::startProgram(const QString &path)
{
    return QProcess::startDetached(path, {});
}

bool QtDesktop::openUrl(const QString &address)
{
    return QDesktopServices::openUrl(QUrl(address));
}

bool QtDesktop::addTrayIcon(const QIcon &icon, const QString &tip, std::function<void(int)> callback)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return false;
    }
    if (!m_trayIcon) {
        m_trayIcon = std::make_unique<QSystemTrayIcon>();
    }
    m_trayIcon->disconnect();
    QObject::connect(
        m_trayIcon.get(), &QSystemTrayIcon::activated,
        [callback = std::move(callback)](QSystemTrayIcon::ActivationReason reason) { callback(trayMessage(reason)); });
    m_trayIcon->setIcon(icon);
    m_trayIcon->setToolTip(tip);
    m_trayIcon->show();
    return m_trayIcon->isVisible();
}

void QtDesktop::removeTrayIcon()
{
    if (m_trayIcon) {
        m_trayIcon->hide();
    }
}

void QtDesktop::endProcess()
{
    // Leaving the event loop, rather than killing the process, lets the
    // clipboard text we own go to a clipboard manager.
    QCoreApplication::exit(0);
}

QString QtDesktop::executableFolder() const
{
    return QCoreApplication::applicationDirPath();
}

QString QtDesktop::commandLine() const
{
    return m_arguments.join(QLatin1Char(' '));
}
