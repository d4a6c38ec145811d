#pragma once

#include <QDialog>
#include <QIcon>

class AppState;
class Desktop;
class KeyStore;
class QLabel;
class QPushButton;

// The About box: the product, its version, its web address and a way to the
// machine's System Information program. It keeps nothing between openings:
// each one builds the window and loads it afresh.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    static inline const QString Address = QStringLiteral("https://velmora.org");

    // Centred over parent, the window it is opened from.
    AboutBox(AppState &state, Desktop &desktop, KeyStore &keyStore, const QIcon &icon, QWidget *parent);

    void fillIn();
    void showSystemInformation();
    void openWebAddress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    // Centres the box's frame over the frame of the window it is opened from.
    void centreOverParent();

    AppState &m_state;
    Desktop &m_desktop;
    KeyStore &m_keyStore;
    QIcon m_icon;

    QPushButton *m_okButton = nullptr;
    QLabel *m_iconPicture = nullptr;
    QPushButton *m_systemInfoButton = nullptr;
    QLabel *m_description = nullptr;
    QLabel *m_disclaimer = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_copyright = nullptr;
    QLabel *m_address = nullptr;
};
