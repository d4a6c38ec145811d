#include "platform/QtDesktop.h"

#include "storage/FileNames.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>

namespace {

QMessageBox::Icon iconOf(Desktop::MessageStyle style)
{
    switch (style.toInt() & 0x70) {
    case Desktop::Critical:
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
    Desktop::Answer answer;
};

QList<ButtonAnswer> buttonsOf(Desktop::MessageStyle style)
{
    switch (style.toInt() & 7) {
    case Desktop::OkCancel:
        return {{QMessageBox::Ok, Desktop::Ok}, {QMessageBox::Cancel, Desktop::Cancel}};
    case Desktop::AbortRetryIgnore:
        return {{QMessageBox::Abort, Desktop::Abort},
                {QMessageBox::Retry, Desktop::Retry},
                {QMessageBox::Ignore, Desktop::Ignore}};
    case Desktop::YesNoCancel:
        return {
            {QMessageBox::Yes, Desktop::Yes}, {QMessageBox::No, Desktop::No}, {QMessageBox::Cancel, Desktop::Cancel}};
    case Desktop::YesNo:
        return {{QMessageBox::Yes, Desktop::Yes}, {QMessageBox::No, Desktop::No}};
    case Desktop::RetryCancel:
        return {{QMessageBox::Retry, Desktop::Retry}, {QMessageBox::Cancel, Desktop::Cancel}};
    default:
        return {{QMessageBox::Ok, Desktop::Ok}};
    }
}

Desktop::TrayEvent trayEvent(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return Desktop::TrayEvent::DoubleClick;
    case QSystemTrayIcon::Trigger:
        return Desktop::TrayEvent::Click;
    case QSystemTrayIcon::Context:
        return Desktop::TrayEvent::ContextRequest;
    case QSystemTrayIcon::MiddleClick:
        return Desktop::TrayEvent::MiddleClick;
    default:
        return Desktop::TrayEvent::Other;
    }
}

} // namespace

QtDesktop::QtDesktop(QStringList arguments, HelpViewerOpener openHelpViewer)
    : m_arguments(std::move(arguments)), m_openHelpViewer(std::move(openHelpViewer))
{
}

QtDesktop::~QtDesktop()
{
    // xdg-open may wait for the browser it started: at exit it is ended without
    // a report, and the browser, a process of its own, stays.
    for (QProcess *opener : m_openers.findChildren<QProcess *>()) {
        opener->disconnect();
        opener->kill();
        opener->waitForFinished();
    }
}

Desktop::Answer QtDesktop::messageBox(const QString &prompt, MessageStyle style, const QString &title)
{
    QMessageBox box(iconOf(style), title, prompt, QMessageBox::NoButton, QApplication::activeWindow());
    const QList<ButtonAnswer> buttons = buttonsOf(style);
    for (const ButtonAnswer &b : buttons) {
        box.addButton(b.button);
    }
    // A default-button flag beyond the last button has no effect: the first stays default.
    const int defaultIndex = (style.toInt() >> 8) & 3;
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

QStringList QtDesktop::argumentsOf(int argc, const char *const argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << fileNameFromBytes(argv[i]);
    }
    return arguments;
}

QStringList QtDesktop::dataFolders()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder, QDir::cleanPath(folder + QStringLiteral("/" VELMORA_DATA_FROM_BIN)),
            QStringLiteral(VELMORA_DATA_DIR)};
}

void QtDesktop::showHelp(const QString &helpFile, HelpPage page)
{
    // The viewer opens every help file at its contents.
    Q_UNUSED(page)
    if (m_openHelpViewer) {
        m_openHelpViewer(dataFolders(), helpFile);
    }
}

bool QtDesktop::startProgram(const QString &path)
{
    return QProcess::startDetached(path, {});
}

void QtDesktop::openUrl(const QString &address, std::function<void(bool opened)> opened)
{
    // Qt reports success as soon as xdg-open has started; only its exit status
    // says whether a browser took the address. Without xdg-open, Qt looks for a
    // browser its own way and knows at once whether it started one.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        opened(QDesktopServices::openUrl(QUrl(address)));
        return;
    }
    auto *process = new QProcess(&m_openers);
    // The browser it starts may outlive it, and us: it gets our output, not pipes that close with us.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, opened](int code, QProcess::ExitStatus how) {
        process->deleteLater();
        opened(how == QProcess::NormalExit && code == 0);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, opened](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            process->deleteLater();
            opened(false);
        }
    });
    process->start(opener, {address});
}

bool QtDesktop::addTrayIcon(const QIcon &icon, const QString &tip, std::function<void(TrayEvent)> callback)
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
        [callback = std::move(callback)](QSystemTrayIcon::ActivationReason reason) { callback(trayEvent(reason)); });
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
