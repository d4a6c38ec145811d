#include "documents/DocumentCommands.h"

#include "documents/DocumentView.h"
#include "platform/Desktop.h"
#include "slots/AppState.h"
#include "slots/Captions.h"
#include "slots/SlotActions.h"
#include "storage/FileNames.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {
const QString SavePrompt = QStringLiteral("Do you want to save the changes ?");
const QString MissingFile = QStringLiteral("Cannot find this file.");
// File dialog flags: ask before overwriting, hide the read-only box.
constexpr int AskOverwrite = 2;
constexpr int HideReadOnly = 4;

bool folderExists(const QString &path)
{
    struct stat info = {};
    return ::stat(fileNameBytes(QFileInfo(path).absolutePath()).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}
} // namespace

DocumentCommands::DocumentCommands(AppState &state, Desktop &desktop, DocumentView &view, CommonDialog &dialog)
    : m_state(state), m_desktop(desktop), m_view(view), m_dialog(dialog)
{
}

bool DocumentCommands::askSaveChanges()
{
    if (!m_state.dirty) {
        return true;
    }
    const int answer =
        m_desktop.messageBox(SavePrompt, Desktop::YesNoCancel | Desktop::Exclamation, m_state.programTitle);
    if (answer == Desktop::Yes) {
        m_state.documentPath.isEmpty() ? saveDocumentAs() : saveDocument();
        return !m_state.dirty;
    }
    return answer == Desktop::No;
}

void DocumentCommands::newDocument()
{
    if (!askSaveChanges()) {
        return;
    }
    m_state.setSlotSet({});
    for (int k = 1; k <= AppState::SlotCount; ++k) {
        m_view.setSlotButtonCaption(k, QString());
        m_view.setCopyEntry(k, newCaption(k), false);
    }
    m_state.dirty = false;
    m_state.documentPath.clear();
    m_view.showEditor();
}

void DocumentCommands::openDocument()
{
    if (!askSaveChanges()) {
        return;
    }
    m_dialog.flags = HideReadOnly;
    const QString path = m_desktop.showOpen(m_dialog);
    if (!path.isEmpty() && loadDocument(path) == ReadStatus::FileNotFound) {
        reportMissingFile();
    }
}

void DocumentCommands::saveDocument()
{
    if (m_state.documentPath.isEmpty()) {
        saveDocumentAs();
    } else if (writeDocument(m_state.documentPath)) {
        m_state.dirty = false;
    }
}

void DocumentCommands::saveDocumentAs()
{
    m_dialog.flags = HideReadOnly + AskOverwrite;
    const QString path = m_desktop.showSave(m_dialog);
    if (path.isEmpty() || !writeDocument(path)) {
        return;
    }
    m_state.dirty = false;
    m_state.documentPath = path;
    pushRecentFile();
}

void DocumentCommands::openRecent(int k)
{
    // The path is taken before the prompt: a Save As inside it shifts the list.
    const QString path = m_view.recentFile(k);
    // An entry whose folder is gone stays: the folder may be on a drive that
    // comes back.
    if (!askSaveChanges() || loadDocument(path) != ReadStatus::FileNotFound || !folderExists(path)) {
        return;
    }
    int holder = 0;
    for (int i : {k, k + 1, 1, 2, 3, 4}) {
        if (holder == 0 && i <= DocumentView::RecentCount && m_view.recentFile(i) == path) {
            holder = i;
        }
    }
    if (holder != 0) {
        m_view.setRecentFile(holder, QString());
        m_view.showRecentFiles();
    }
    reportMissingFile();
}

void DocumentCommands::openCommandLine(const QString &commandLine)
{
    if (!commandLine.endsWith(QLatin1String("vmd"))) {
        return;
    }
    // The recent list and the settings file must name the same file on the next
    // run, and the same file the same way whichever way it was reached.
    const QString path = QDir::cleanPath(QDir(currentFolder()).absoluteFilePath(commandLine));
    if (loadDocument(path) == ReadStatus::FileNotFound) {
        reportMissingFile();
    }
}

ReadStatus DocumentCommands::loadDocument(const QString &path)
{
    AppState::SlotSet slotSet;
    QString error;
    const ReadStatus status = readClipDocument(path, slotSet, error);
    if (status == ReadStatus::Ok) {
        m_state.setSlotSet(std::move(slotSet));
        m_state.documentPath = path;
        refreshCaptions();
    } else if (status == ReadStatus::Failed) {
        m_desktop.messageBox(error, Desktop::OkOnly | Desktop::Exclamation, m_state.programTitle);
    }
    return status;
}

bool DocumentCommands::writeDocument(const QString &path)
{
    QString error;
    const bool written = writeClipDocument(path, m_state.slotSet(), error);
    if (!written) {
        m_desktop.messageBox(error, Desktop::OkOnly | Desktop::Exclamation, m_state.programTitle);
    }
    return written;
}

void DocumentCommands::refreshCaptions()
{
    showSlotCaptions(m_state, m_view);
    m_state.dirty = false;
    m_view.setEditFileEnabled(true);
    pushRecentFile();
}

void DocumentCommands::pushRecentFile()
{
    if (m_view.recentFile(1) != m_state.documentPath) {
        for (int k = DocumentView::RecentCount; k > 1; --k) {
            m_view.setRecentFile(k, m_view.recentFile(k - 1));
        }
        m_view.setRecentFile(1, m_state.documentPath);
    }
    m_view.showRecentFiles();
}

void DocumentCommands::reportMissingFile()
{
    m_desktop.messageBox(MissingFile, Desktop::OkOnly | Desktop::Exclamation | Desktop::DefaultButton2,
                         m_state.programTitle);
}
