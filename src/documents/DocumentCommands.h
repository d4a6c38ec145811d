#pragma once

#include "documents/ClipDocument.h"

class AppState;
class Desktop;
class DocumentView;
struct CommonDialog;

// New, Open, Save, Save As, the recent files and the save prompt: how the slot
// set moves between the program and its clip documents, and how the document
// path, the dirty flag and the recent-file entries follow.
class DocumentCommands
{
public:
    DocumentCommands(AppState &state, Desktop &desktop, DocumentView &view, CommonDialog &dialog);

    // Asks to save unsaved changes; true when the calling command may go on.
    bool askSaveChanges();

    void newDocument();
    void openDocument();
    void saveDocument();
    void saveDocumentAs();
    // Reopens the document of recent-file entry k (1 to 4).
    void openRecent(int k);
    // Loads the document the command line names, when it ends in "vmd".
    void openCommandLine(const QString &commandLine);

    // Replaces the slot set by the document's; a failed load changes nothing.
    // A document that cannot be read is reported to the user with the reason;
    // a missing one is left to the caller.
    ReadStatus loadDocument(const QString &path);
    // Writes the slot set; a failure is reported to the user and changes nothing.
    bool writeDocument(const QString &path);
    void refreshCaptions();
    void pushRecentFile();

private:
    void reportMissingFile();

    AppState &m_state;
    Desktop &m_desktop;
    DocumentView &m_view;
    CommonDialog &m_dialog;
};
