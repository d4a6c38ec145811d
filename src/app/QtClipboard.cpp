#include "QtClipboard.h"

#include "ClipboardOwnerProbe.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void QtClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

namespace {
constexpr int OwnerAnswerTimeoutMs = 1500;
} // namespace

bool QtClipboard::readText(QString &text) const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !clipboard->ownsClipboard() &&
        !clipboardOwnerAnswers(OwnerAnswerTimeoutMs)) {
        return false;
    }
    // Only the plain text format counts: a clipboard holding a picture, or
    // nothing at all, gives an empty text.
    const QMimeData *data = clipboard->mimeData();
    text = data != nullptr && data->hasText() ? data->text() : QString();
    return true;
}
