// A native Wayland window for the end-to-end tests: it takes the focus as a
// program in front would, and says on standard output each time it gains or
// loses it ("active", "inactive").
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

#include <cstdio>

class PlainWindow : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::darkCyan); }
};

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "wayland");
    QGuiApplication app(argc, argv);
    PlainWindow window;
    window.resize(320, 200);
    QObject::connect(&window, &QWindow::activeChanged, &window, [&window] {
        std::puts(window.isActive() ? "active" : "inactive");
        std::fflush(stdout);
    });
    window.show();
    return QGuiApplication::exec();
}
