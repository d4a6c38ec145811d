#include "documents/ClipDocument.h"

#include "slots/TextEncoding.h"
#include "storage/FileNames.h"

#include <QFile>

namespace {

QString quotedPath(const QString &path)
{
    return QLatin1Char('"') + displayFileName(path) + QLatin1Char('"');
}

} // namespace

ReadStatus readClipDocument(const QString &path, AppState::SlotSet &slotSet, QString &error)
{
    QFile file;
    QString reason;
    ReadStatus status = openRegularFile(path, file, reason);
    if (status == ReadStatus::Ok && file.size() > LargestTextBytes) {
        reason = clipDocumentTooLarge();
        status = ReadStatus::Failed;
    }
    if (status == ReadStatus::Ok && readClipDocument(file, slotSet, reason)) {
        return ReadStatus::Ok;
    }
    if (status == ReadStatus::FileNotFound) {
        error = QStringLiteral("The document %1 does not exist.").arg(quotedPath(path));
        return ReadStatus::FileNotFound;
    }
    error = QStringLiteral("The document %1 cannot be read: %2.").arg(quotedPath(path), reason);
    return ReadStatus::Failed;
}

bool writeClipDocument(const QString &path, const AppState::SlotSet &slotSet, QString &error)
{
    QString reason;
    const bool written =
        clipDocumentCanHold(slotSet, reason) &&
        writeWholeFile(
            path, [&slotSet](const WritePiece &write) { return writeClipDocumentItems(slotSet, write); }, reason,
            [&slotSet] { return clipDocumentSize(slotSet); });
    if (!written) {
        error = QStringLiteral("The document %1 cannot be saved: %2.").arg(quotedPath(path), reason);
    }
    return written;
}
