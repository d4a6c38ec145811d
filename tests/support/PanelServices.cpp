// What a desktop panel offers on the session bus, reduced to what Qt looks for: a StatusNotifierWatcher with a
// registered host, and a global menu registrar. Each item that registers is printed as "item SERVICE".
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <cstdio>

class StatusNotifierWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
public:
    bool hostRegistered() const { return true; }
public slots:
    void RegisterStatusNotifierItem(const QString &service)
    {
        std::printf("item %s\n", qPrintable(service));
        std::fflush(stdout);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    StatusNotifierWatcher watcher;
    const bool ok = bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) &&
                    bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")) &&
                    bus.registerService(QStringLiteral("com.canonical.AppMenu.Registrar"));
    std::printf("%s\n", ok ? "ready" : qPrintable(bus.lastError().message()));
    std::fflush(stdout);
    return ok ? QCoreApplication::exec() : 1;
}

#include "PanelServices.moc"
