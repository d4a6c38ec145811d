#pragma once

#include "slots/AppState.h"
#include "ui/editor/EditorState.h"

#include <QDialog>
#include <QIcon>

#include <array>

class Clipboard;
class Desktop;
class LabelValidator;
class SlotButton;
class QLabel;
class QLineEdit;
class SlotView;
class TextField;

// The editor window: edits the labels and texts of all ten slots in a working
// copy, which OK carries over to the slot set. Each opening builds the window
// in its design state and loads it.
class SlotEditor : public QDialog
{
    Q_OBJECT
public:
    SlotEditor(AppState &state, EditorState &editor, SlotView &mainView, Clipboard &clipboard, Desktop &desktop,
               const QIcon &icon);

    void showSlots();
    void fillWorkingCopy();
    // Selects slot n (1 to 10): its editor slot button was clicked.
    void selectSlot(int n);
    void textFieldEntered();
    void textFieldLeft();
    void saveSelectedSlot();
    void clearAllSlots();
    void acceptEdits();
    void cancelEdits();
    void restoreBarTitle();

    // Every way of closing runs through here: OK, Cancel, Esc and the close box.
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void arrangeVertically();
    void clearEditor();
    SlotButton *slotButton(int n) const { return m_slotButtons.at(static_cast<std::size_t>(n - 1)); }

    AppState &m_state;
    EditorState &m_editor;
    SlotView &m_mainView;
    Clipboard &m_clipboard;
    Desktop &m_desktop;
    QIcon m_icon;

    std::array<SlotButton *, AppState::SlotCount> m_slotButtons{};
    QWidget *m_background = nullptr;
    QLabel *m_labelCaption = nullptr;
    QLabel *m_textCaption = nullptr;
    QLabel *m_selectedCaption = nullptr;
    QLabel *m_selectedNumber = nullptr;
    QLineEdit *m_labelField = nullptr;
    LabelValidator *m_labelValidator = nullptr;
    TextField *m_textField = nullptr;
    SlotButton *m_saveSlotButton = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_clearAllButton = nullptr;
    QLabel *m_filledMarker = nullptr;
};
