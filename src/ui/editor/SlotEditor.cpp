#include "ui/editor/SlotEditor.h"

#include "platform/Desktop.h"
#include "slots/Captions.h"
#include "slots/Clipboard.h"
#include "slots/SlotActions.h"
#include "slots/SlotText.h"
#include "slots/SlotView.h"
#include "ui/common/DialogFont.h"
#include "ui/common/SlotButton.h"
#include "ui/common/Topmost.h"
#include "ui/common/Twips.h"
#include "ui/editor/LabelValidator.h"
#include "ui/editor/TextField.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString SelectFirstPrompt = QStringLiteral("First select a button, then type your text, and then save it.");
const QString SelectFirstTitle = QStringLiteral("First select a button please.");
const QString ClearPrompt = QStringLiteral("Do you want to clear everything ?");
const QString ClearTitle = QStringLiteral("Clear Everything? ");

constexpr int ClientWidth = 7695;
constexpr int ClientHeight = 5055;
const QColor DarkGrey(0x40, 0x40, 0x40);
constexpr int CaptionSpare = 2;

void place(QWidget *control, const QString &name, int left, int top, int width, int height)
{
    control->setObjectName(name);
    control->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}

// The window's sizes were drawn for a narrower dialog font than most desktops
// have: a caption too wide for its label is narrowed a little rather than cut
// or run into the control beside it.
void fitCaption(QLabel *label)
{
    const int room = label->contentsRect().width() - CaptionSpare;
    QFont font = label->font();
    for (int stretch = 99; stretch >= 75; --stretch) {
        if (QFontMetrics(font).horizontalAdvance(label->text()) <= room) {
            break;
        }
        font.setStretch(stretch);
    }
    label->setFont(font);
}

void moveTo(QWidget *control, int left, int top)
{
    control->move(Twips::toPixels(left), Twips::toPixels(top));
}

} // namespace

SlotEditor::SlotEditor(AppState &state, EditorState &editor, SlotView &mainView, Clipboard &clipboard, Desktop &desktop,
                       const QIcon &icon)
    : m_state(state), m_editor(editor), m_mainView(mainView), m_clipboard(clipboard), m_desktop(desktop), m_icon(icon)
{
    createControls();
    showSlots();
}

void SlotEditor::createControls()
{
    setObjectName(QStringLiteral("SlotEditor"));
    setWindowTitle(QStringLiteral("Edit File"));
    // A fixed single border with a close box only; a dialog has no taskbar entry.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(Twips::toPixels(ClientWidth), Twips::toPixels(ClientHeight));
    setFont(DialogFont::at(DialogFont::Points));
    const QFont large = DialogFont::at(DialogFont::LargePoints);

    // Created first, so it lies behind every other control.
    m_background = new QWidget(this);
    place(m_background, "Shape1", 0, 0, ClientWidth, ClientHeight);
    m_background->setAutoFillBackground(true);
    QPalette white = m_background->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_background->setPalette(white);

    for (int k = 1; k <= AppState::SlotCount; ++k) {
        auto *button = new SlotButton(this);
        place(button, QStringLiteral("Cmd%1").arg(k), 360 + 1320 * ((k - 1) % 5), 480 + 360 * ((k - 1) / 5), 1335, 375);
        connect(button, &QPushButton::clicked, this, [this, k] { selectSlot(k); });
        m_slotButtons.at(static_cast<std::size_t>(k - 1)) = button;
    }

    // The labels stand on the white shape, whatever the theme: their ink is fixed too.
    QPalette darkGrey = palette();
    darkGrey.setColor(QPalette::WindowText, DarkGrey);
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    m_selectedCaption = new QLabel(QStringLiteral("Button"), this);
    place(m_selectedCaption, "Label3", 480, 120, 615, 255);
    m_selectedNumber = new QLabel(this);
    place(m_selectedNumber, "Label4", 1200, 120, 375, 255);
    for (QLabel *label : {m_selectedCaption, m_selectedNumber}) {
        label->setFont(large);
        label->setPalette(darkGrey);
    }
    m_selectedCaption->hide();
    // In the vertical arrangement the number label starts where "Button" ends.
    m_selectedNumber->setIndent(m_selectedNumber->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    m_labelCaption = new QLabel(QStringLiteral("Label:"), this);
    place(m_labelCaption, "Label1", 1200, 1440, 495, 255);

    m_labelField = new QLineEdit(this);
    place(m_labelField, "Text2", 1680, 1380, 1335, 360);
    m_labelField->setFont(large);
    m_labelValidator = new LabelValidator(m_labelField);

    m_clearAllButton = new QPushButton(QStringLiteral("Clear All"), this);
    place(m_clearAllButton, "cmdclear", 4560, 1440, 800, 300);
    connect(m_clearAllButton, &QPushButton::clicked, this, &SlotEditor::clearAllSlots);

    m_textCaption = new QLabel(QStringLiteral("Text to paste:"), this);
    place(m_textCaption, "Label2", 360, 1800, 1095, 255);
    for (QLabel *label : {m_labelCaption, m_textCaption}) {
        label->setPalette(black);
    }
    for (QLabel *label : {m_labelCaption, m_textCaption, m_selectedCaption}) {
        fitCaption(label);
    }

    m_textField = new TextField(this);
    place(m_textField, "Text1", 60, 2040, 7575, 1965);
    m_textField->setFont(large);
    m_textField->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_textField->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab leaves the field as it leaves every other control.
    m_textField->setTabChangesFocus(true);
    m_textField->installEventFilter(this);

    m_saveSlotButton = new SlotButton(this);
    m_saveSlotButton->setText(QStringLiteral("Save This Button"));
    place(m_saveSlotButton, "Cmdsvebutton", 120, 4080, 2775, 375);
    m_saveSlotButton->setFont(large);
    connect(m_saveSlotButton, &QPushButton::clicked, this, &SlotEditor::saveSelectedSlot);

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    place(m_okButton, "CmdOK", 4440, 4560, 1335, 375);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &SlotEditor::acceptEdits);

    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    place(m_cancelButton, "Cmdcancel", 6000, 4560, 1215, 375);
    connect(m_cancelButton, &QPushButton::clicked, this, &SlotEditor::cancelEdits);

    m_filledMarker = new QLabel(this);
    place(m_filledMarker, "Image1", 1320, 4560, 3030, 615);
    m_filledMarker->setPixmap(QPixmap(QStringLiteral(":/pictures/marker.png")));
    m_filledMarker->hide();
    m_filledMarker->setEnabled(false);

    QList<QWidget *> tabOrder(m_slotButtons.cbegin(), m_slotButtons.cend());
    tabOrder << m_labelField << m_textField << m_saveSlotButton << m_okButton << m_cancelButton << m_clearAllButton;
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    }
    // The window opens with the focus on the first control of the tab order.
    slotButton(1)->setFocus();
}

void SlotEditor::showSlots()
{
    if (m_state.alwaysOnTop) {
        setTopmost(this, true);
    }
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        slotButton(k)->setText(controlCaption(m_state.slot(k).label));
    }
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        if (!m_state.slot(k).text.isEmpty()) {
            slotButton(k)->setPicture(m_filledMarker->pixmap());
        }
    }
    fillWorkingCopy();
    m_editor.selectedSlot = 0;
    setWindowIcon(m_icon);
    if (m_state.verticalBar) {
        arrangeVertically();
    }
}

void SlotEditor::fillWorkingCopy()
{
    m_editor.workingCopy = m_state.slotSet();
}

void SlotEditor::arrangeVertically()
{
    // Two columns of five, odd slots on the left, as on the vertical bar.
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        moveTo(slotButton(k), k % 2 == 1 ? 3120 : 4440, 120 + 360 * ((k - 1) / 2));
    }
    moveTo(m_clearAllButton, 6360, 1560);
    moveTo(m_selectedCaption, 480, 480);
    moveTo(m_selectedNumber, 1080, 480);
}

void SlotEditor::selectSlot(int n)
{
    const ClipSlot &slot = m_editor.workingCopy.at(static_cast<std::size_t>(n - 1));
    m_textField->setText(decodedText(slot.text));
    m_labelValidator->putLabel(slot.label);
    m_editor.selectedSlot = n;
    m_selectedNumber->setText(QString::number(n));
    m_selectedCaption->show();
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        slotButton(k)->setBackRole(k == n ? QPalette::Midlight : QPalette::Button);
    }
    m_saveSlotButton->setPicture(m_filledMarker->pixmap());
    m_labelField->setFocus();
}

void SlotEditor::textFieldEntered()
{
    // Enter in the text field is a line break, not OK.
    m_okButton->setDefault(false);
}

void SlotEditor::textFieldLeft()
{
    m_okButton->setDefault(true);
}

bool SlotEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_textField) {
        if (event->type() == QEvent::FocusIn) {
            textFieldEntered();
        } else if (event->type() == QEvent::FocusOut) {
            textFieldLeft();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SlotEditor::saveSelectedSlot()
{
    const int selected = m_editor.selectedSlot;
    if (selected >= 1 && selected <= AppState::SlotCount) {
        ClipSlot &slot = m_editor.workingCopy.at(static_cast<std::size_t>(selected - 1));
        slot.text = m_textField->text().toUtf8();
        slot.label = m_labelValidator->label();
        slotButton(selected)->setText(controlCaption(slot.label));
        slotButton(selected)->setPicture(slot.text.isEmpty() ? QPixmap() : m_filledMarker->pixmap());
    } else if (selected == 0) {
        m_desktop.messageBox(SelectFirstPrompt, Desktop::OkOnly | Desktop::Information | Desktop::DefaultButton2,
                             SelectFirstTitle);
    }
    if (selected > 0) {
        m_editor.changedMark = true;
    }
}

void SlotEditor::clearAllSlots()
{
    const int answer =
        m_desktop.messageBox(ClearPrompt, Desktop::YesNo | Desktop::Question | Desktop::DefaultButton2, ClearTitle);
    if (answer == Desktop::Yes) {
        clearEditor();
        m_editor.changedMark = true;
    }
}

void SlotEditor::clearEditor()
{
    m_editor.workingCopy.fill(ClipSlot());
    for (SlotButton *button : m_slotButtons) {
        button->setText(QString());
        button->setPicture(QPixmap());
        button->setBackRole(QPalette::Button);
    }
    m_saveSlotButton->setPicture(QPixmap());
    m_textField->setText(QString());
    m_labelValidator->putLabel(QString());
    m_selectedCaption->hide();
    m_selectedNumber->clear();
    m_editor.selectedSlot = 0;
}

void SlotEditor::acceptEdits()
{
    m_state.setSlotSet(m_editor.workingCopy);
    showSlotCaptions(m_state, m_mainView);
    if (m_editor.changedMark) {
        m_state.dirty = true;
        m_mainView.setEditFileEnabled(true);
    }
    m_clipboard.clear();
    accept();
}

void SlotEditor::cancelEdits()
{
    reject();
}

void SlotEditor::done(int result)
{
    restoreBarTitle();
    QDialog::done(result);
}

void SlotEditor::restoreBarTitle()
{
    m_mainView.setTitle(m_state.programTitle);
}
