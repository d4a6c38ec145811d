#include "slots/Captions.h"

#include "slots/AppState.h"
#include "slots/SlotText.h"

#include <QStringView>

namespace {

constexpr int CaptureLabelLength = 7;

// Code units taken by the code point that starts at index i.
qsizetype codePointWidth(const QString &text, qsizetype i)
{
    const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    return pair ? 2 : 1;
}

} // namespace

QString copyTitle(const AppState &state, int k)
{
    const ClipSlot &slot = state.slot(k);
    if (!slot.label.isEmpty()) {
        return state.programTitle + QStringLiteral(" - ") + slot.label;
    }
    if (!slot.text.isEmpty()) {
        return state.programTitle + QStringLiteral(" - ...") + QString::number(k);
    }
    return state.programTitle;
}

QString defaultCaption(int k)
{
    if (k == 10) {
        return QStringLiteral(" ... 1&0 ");
    }
    return QStringLiteral(" ...  &%1 ").arg(k);
}

QString newCaption(int k)
{
    if (k == 10) {
        return QStringLiteral(" ...  1&0 ");
    }
    return defaultCaption(k);
}

int codePointCount(const QString &text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); i += codePointWidth(text, i)) {
        ++count;
    }
    return count;
}

QString leftCodePoints(const QString &text, int n)
{
    qsizetype end = 0;
    for (int taken = 0; taken < n && end < text.size(); ++taken) {
        end += codePointWidth(text, end);
    }
    return text.left(end);
}

QString leftCodePoints(const QByteArray &utf8, int n)
{
    // A code point takes at most four bytes.
    const qsizetype bytes = qMin<qsizetype>(utf8.size(), 4 * qsizetype(n));
    return leftCodePoints(decodedText(QByteArrayView(utf8).first(bytes)), n);
}

QString shownPart(const QString &text)
{
    return leftCodePoints(text, ShownLength);
}

QString captureLabel(const QByteArray &text)
{
    return leftCodePoints(text, CaptureLabelLength) + QStringLiteral("...");
}

QString controlCaption(const QString &label)
{
    const QString shown = shownPart(label);
    QString caption;
    caption.reserve(shown.size());
    for (const QChar c : shown) {
        if (c == QLatin1Char('&')) {
            caption += QStringLiteral("&&");
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) {
            caption += QLatin1Char(' ');
        } else {
            caption += c;
        }
    }
    return caption;
}

QString windowTitleText(const QString &title)
{
    QString shown = shownPart(title);
    return shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}
