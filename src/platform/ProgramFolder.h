#pragma once

#include <QByteArray>

// The running program's folder as the file system names it, without a trailing
// separator: its bytes, which need not be UTF-8. Qt answers with an empty
// folder where they are not, and the command that opens documents must still
// name the folder the program is in.
QByteArray programFolderBytes();
