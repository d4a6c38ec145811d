#include "documents/DesktopExport.h"
#include "documents/DocumentTypeRegistration.h"
#include "platform/ClipboardWay.h"
#include "platform/ProgramFolder.h"
#include "platform/QtDesktop.h"
#include "platform/SessionClipboard.h"
#include "platform/TerminationSignals.h"
#include "slots/AppState.h"
#include "storage/KeySettings.h"
#include "storage/KeyStore.h"
#include "storage/SettingsFile.h"
#include "ui/bar/BarWindow.h"
#include "ui/bar/RemoteControl.h"
#include "ui/help/HelpViewer.h"

#include <QApplication>
#include <QTimer>

#include <functional>
#include <utility>

namespace {

// Wayland lets no client place its own window or keep it above others, and the
// bar needs both: ask for the X11 platform (XWayland) unless the user chose one.
void preferX11OnWayland()
{
    if (isWaylandSession() && qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

} // namespace

// The bar itself: the program's entry loads it once it knows that the command
// line asks for a bar, not for a request to the one that runs.
extern "C" __attribute__((visibility("default"))) int velmora_bar_main(int argc, char *argv[])
{
    preferX11OnWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    // The bar ends only through its own exit routine, also while it sits in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    // Qt has taken its own options out of argc and argv; QApplication::arguments()
    // would turn a name that is not UTF-8 into another.
    std::unique_ptr<HelpViewer> helpViewer;
    QtDesktop desktop(QtDesktop::argumentsOf(argc, argv),
                      [&helpViewer](const QStringList &folders, const QString &helpFile) {
                          if (!helpViewer) {
                              helpViewer = std::make_unique<HelpViewer>();
                          }
                          helpViewer->openContents(folders, helpFile);
                      });
    SessionClipboard clipboard;
    AppState state;
    KeyStore keyStore(KeyStore::userStorePath());

    // On a first start the document type goes into the key store. The desktop
    // learns of it once the bar is up, or at the latest when it ends: writing
    // the desktop's files and rebuilding its caches must not hold up the window.
    std::function<void()> exportDocumentType;
    const auto exportNow = [&exportDocumentType] {
        if (exportDocumentType) {
            std::exchange(exportDocumentType, {})();
        }
    };
    QObject::connect(&app, &QCoreApplication::aboutToQuit, exportNow);
    const auto registerDocumentType = [&keyStore, &exportDocumentType, &app, exportNow] {
        const QByteArray folder = programFolderBytes();
        QString error;
        if (!DocumentTypeRegistration::registerDocumentType(keyStore, folder, error)) {
            qWarning().noquote() << error;
        }
        exportDocumentType = [folder] {
            const DesktopExport::Folders folders = DesktopExport::Folders::user();
            QString error;
            if (DesktopExport::exportDocumentType(folder, folders, error)) {
                DesktopExport::refreshDesktopDatabases(folders);
            } else {
                qWarning().noquote() << error;
            }
        };
        QTimer::singleShot(200, &app, exportNow);
    };

    BarWindow bar(state, desktop, clipboard, keyStore, registerDocumentType);
    // Every window of the program, the help viewer included, wears the bar's icon.
    QApplication::setWindowIcon(bar.windowIcon());
    bar.startUp();
    auto *remote =
        new RemoteControl(bar, state, desktop, keySettingsPath(settingsFilePath(desktop.executableFolder())));
    bar.show();
    // From here on a logout's SIGTERM ends the bar as File, Exit does; before,
    // the user has changed nothing the end would save.
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::received, &bar, &BarWindow::endProgram);
    // Once the window is on its way to the screen.
    QTimer::singleShot(0, remote, [remote, &clipboard] {
        QString error;
        if (!remote->listen(error)) {
            qWarning().noquote() << "The command line cannot reach this bar:" << error;
        }
        clipboard.choose();
    });
    return QApplication::exec();
}
