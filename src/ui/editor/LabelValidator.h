#pragma once

#include <QValidator>

class QLineEdit;

// Keeps what the user types or pastes into a label field to MaxLength
// characters, counted as code points as a capture counts them: pasted text is
// cut to what still fits, and a keystroke that does not fit is refused whole:
// the selection and the cursor stay, and the undo history with them. A longer
// label that the program puts into the field (one read from a document) is
// shown whole, or its first ShownLength characters when it is longer still; the
// user may shorten it but not lengthen it.
class LabelValidator : public QValidator
{
    Q_OBJECT
public:
    static constexpr int MaxLength = 10;

    // Installs itself on the field and follows its text from then on.
    explicit LabelValidator(QLineEdit *field);

    // Puts a label into the field as it is, whatever its length.
    void putLabel(const QString &label);
    // The label the field stands for: the one put in, while the field still
    // shows it unchanged (a label cut for showing comes back whole), or else
    // what the field holds.
    QString label() const;

    State validate(QString &input, int &pos) const override;

private:
    QLineEdit *m_field;
    QString m_label;
    QString m_shown;
    // The field's text before the edit being validated.
    QString m_current;
};
