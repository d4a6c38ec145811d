#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A file name on Linux is bytes. Most names are UTF-8, but nothing makes them
// so, and Qt turns every byte that is not into U+FFFD, after which the name
// names another file or none. A name read here keeps each such byte as a lone
// surrogate, U+DC80 to U+DCFF, and goes back to the very same bytes; the
// surrogates never come from UTF-8, so no name is taken for another.

// The name the bytes spell: their UTF-8, each other byte kept as above.
QString fileNameFromBytes(QByteArrayView bytes);
// The bytes of a name, as the system takes them.
QByteArray fileNameBytes(const QString &name);
// The name as a person reads it: each kept byte shown as U+FFFD.
QString displayFileName(const QString &name);
// The current folder, kept the same way.
QString currentFolder();
