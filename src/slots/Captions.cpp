#include "Captions.h"

#include "AppState.h"

#include <QStringView>

namespace {
constexpr int CaptureLabelLength = 7;
} // namespace

QString CopyTitle(const AppState &state, int k)
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

QString captureLabel(const QString &text)
{
    qsizetype end = 0;
    for (int taken = 0; taken < CaptureLabelLength && end < text.size(); ++taken) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end) + QStringLiteral("...");
}

QString controlCaption(const QString &label)
{
    QString caption;
    caption.reserve(label.size());
    for (const QChar c : label) {
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
    QString shown = title;
    return shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}
