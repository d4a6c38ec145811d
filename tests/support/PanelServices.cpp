// What a desktop panel offers on the session bus, reduced to what Qt looks for: a StatusNotifierWatcher with
// a registered host (KDE, GNOME with AppIndicator, LXQt), and a global menu registrar. Each item that
// registers is printed as "item SERVICE", so that a test can act on it.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>

#include <cstdio>

class StatusNotifierWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems MEMBER m_items)
public:
    bool hostRegistered() const { return true; }
public slots:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        // An item names its own bus service, or only its object path.
        m_items << (service.startsWith(QLatin1Char('/')) ? message.service() : service);
        std::printf("item %s\n", qPrintable(m_items.last()));
        std::fflush(stdout);
    }

private:
    QStringList m_items;
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
