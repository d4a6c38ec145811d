#pragma once

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>

#include <functional>
#include <vector>

// Ctrl+Alt+1 .. Ctrl+Alt+9 and Ctrl+Alt+0 for slots 1 .. 10, while any program
// has the focus: passive grabs of those keys on the X root windows. Only X11
// lets a program do this; Wayland leaves such keys to the desktop's own
// keyboard settings.
class GlobalShortcuts : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    // pressed receives the slot number of each shortcut pressed.
    GlobalShortcuts(std::function<void(int)> pressed, QObject *parent);
    ~GlobalShortcuts() override;

    // Whether keys can be grabbed here: an X11 session (not Wayland, not offscreen).
    static bool available();

    // Takes the ten shortcuts and returns the slots whose shortcut another
    // program already holds; the others work.
    QList<int> grab();
    // Gives every shortcut back.
    void release();

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Grab
    {
        unsigned root;
        unsigned char keycode;
        unsigned short modifiers;
        int slot;
    };

    std::function<void(int)> m_pressed;
    std::vector<Grab> m_grabs;
};
