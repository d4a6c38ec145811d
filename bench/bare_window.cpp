// The yardstick for start-up: a plain Qt main window with a menu bar of the
// same size as the bar's, ten push buttons and ten small ones on their
// corners, as the bar shows its slot and capture buttons; nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    const int entries[] = {13, 11, 10, 3};
    const char *titles[] = {"&File", "&View", "Copy &Text", "&Help"};
    for (int m = 0; m < 4; ++m) {
        QMenu *menu = window.menuBar()->addMenu(QString::fromLatin1(titles[m]));
        for (int i = 0; i < entries[m]; ++i) {
            menu->addAction(QStringLiteral("Entry &%1").arg(i));
        }
    }
    auto *area = new QWidget(&window);
    area->setFixedSize(440, 48);
    for (int k = 0; k < 10; ++k) {
        auto *button = new QPushButton(area);
        button->setGeometry(88 * (k % 5), 24 * (k / 5), 89, 25);
    }
    for (int k = 0; k < 10; ++k) {
        auto *button = new QPushButton(area);
        button->setGeometry(88 * (k % 5), 24 * (k / 5), 17, 17);
    }
    window.setCentralWidget(area);
    window.show();
    return QApplication::exec();
}
