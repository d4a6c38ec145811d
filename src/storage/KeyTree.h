#pragma once

#include "storage/KeyStore.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <map>
#include <utility>

// The key store's keys and values in memory, and the JSON they are kept in:
// one object per root key, named as the registry names it, holding "keys" and
// "values" objects; a value has a numeric "type" and its bytes as hex "data".

struct StoredValue
{
    quint32 type = 0;
    QByteArray data;
    // What a hand-edited file holds beside the type and data, kept as it was.
    QJsonObject other;
};

struct StoredKey
{
    std::map<QString, StoredKey> keys;
    std::map<QString, StoredValue> values;
    // What a hand-edited file holds beside the keys and values, kept as it was.
    QJsonObject other;
};

// Key and value names are matched without regard to case and keep the case
// they were created with. A file may still hold two names that differ only in
// case (written by hand, or by a program that tells them apart): both are kept
// as they are, and every spelling reaches the first of them, so that a name
// means one key or value whichever way it is written.
template <typename Map> auto findName(Map &map, const QString &name)
{
    auto found = map.begin();
    while (found != map.end() && found->first.compare(name, Qt::CaseInsensitive) != 0) {
        ++found;
    }
    return found;
}

// The root keys and their names in the file.
inline const std::pair<KeyStore::Handle, const char *> KeyStoreRoots[] = {
    {KeyStore::ClassesRoot, "HKEY_CLASSES_ROOT"},
    {KeyStore::CurrentUser, "HKEY_CURRENT_USER"},
    {KeyStore::LocalMachine, "HKEY_LOCAL_MACHINE"},
};

class KeyTree
{
public:
    std::map<KeyStore::Handle, StoredKey> roots;

    // The key at the path below the root, or null; with create, made as needed.
    StoredKey *find(KeyStore::Handle root, const QStringList &path, bool create = false, bool *created = nullptr);
};

// Reads the tree from the store file's bytes; false when they are not a store.
bool parseKeyTree(const QByteArray &json, KeyTree &tree);
// The store file's bytes for the tree.
QByteArray formatKeyTree(const KeyTree &tree);
