#include "ui/editor/LabelValidator.h"

#include "slots/Captions.h"

#include <QLineEdit>

#include <limits>

LabelValidator::LabelValidator(QLineEdit *field) : QValidator(field), m_field(field)
{
    // QLineEdit's own limit counts UTF-16 units and would also cut the labels
    // the program puts in; this validator does the limiting instead.
    field->setMaxLength(std::numeric_limits<int>::max());
    field->setValidator(this);
    m_current = field->text();
    connect(field, &QLineEdit::textChanged, this, [this](const QString &text) { m_current = text; });
}

void LabelValidator::putLabel(const QString &label)
{
    // Measured against itself the label is no edit at all, so it passes whole.
    m_label = label;
    m_shown = shownPart(label);
    m_current = m_shown;
    m_field->setText(m_shown);
}

QString LabelValidator::label() const
{
    const QString text = m_field->text();
    return text == m_shown ? m_label : text;
}

QValidator::State LabelValidator::validate(QString &input, int &pos) const
{
    if (codePointCount(input) <= MaxLength) {
        return Acceptable;
    }
    // The edit replaced what lies between the unchanged head and tail of the
    // text; keep only as much of the new part as fits.
    const qsizetype shorter = qMin(input.size(), m_current.size());
    qsizetype head = 0;
    while (head < shorter && input.at(head) == m_current.at(head)) {
        ++head;
    }
    if (head > 0 && input.at(head - 1).isHighSurrogate()) {
        --head;
    }
    qsizetype tail = 0;
    while (tail < shorter - head && input.at(input.size() - 1 - tail) == m_current.at(m_current.size() - 1 - tail)) {
        ++tail;
    }
    if (tail > 0 && input.at(input.size() - tail).isLowSurrogate()) {
        --tail;
    }
    const QString added = input.mid(head, input.size() - head - tail);
    if (added.isEmpty()) {
        return Acceptable;
    }
    const QString kept = input.left(head) + input.right(tail);
    const QString fitting = leftCodePoints(added, qMax(0, MaxLength - codePointCount(kept)));
    if (fitting.isEmpty()) {
        return Invalid;
    }
    input = input.left(head) + fitting + input.right(tail);
    pos = static_cast<int>(head + fitting.size());
    return Acceptable;
}
