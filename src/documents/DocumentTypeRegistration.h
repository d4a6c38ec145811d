#pragma once

#include "storage/KeyStore.h"

#include <QString>
#include <QVariant>

// Registers the clip document type in the key store, so that the desktop can
// start the program with a document. The executable's name in the command is
// always "velmora", whatever the running file is called.
namespace DocumentTypeRegistration {

// The three entries: ".vmd" names the type, the type names itself, and its open
// command is the program's folder (its bytes as the file system names it)
// followed by "/velmora %1". False, with the reason, when the store cannot be
// read or written.
bool registerDocumentType(KeyStore &store, const QByteArray &programFolder, QString &error);

// Creates the key path below the root, with any keys missing on the way.
void createClassKey(KeyStore &store, const QString &keyPath, KeyStore::Handle root);

// Opens the key below the classes root and writes one value into it.
void setClassKeyValue(KeyStore &store, const QString &keyPath, const QString &valueName, const QVariant &value,
                      quint32 type);

// Writes a value of type 1 (text as UTF-8, or bytes as they are, with a terminating zero) or
// 4 (32-bit number, 4 bytes); any other type writes nothing and gives 0.
long writeKeyValue(KeyStore &store, KeyStore::Handle key, const QString &valueName, quint32 type,
                   const QVariant &value);

} // namespace DocumentTypeRegistration
