#include "documents/DocumentTypeRegistration.h"

#include <QtEndian>

namespace {
const QString Extension = QStringLiteral(".vmd");
const QString DocumentClass = QStringLiteral("Velmora.Document");
const QString CommandKey = QStringLiteral("Velmora.Document\\shell\\open\\command");
constexpr quint32 ClassKeyAccess = KeyStore::AllKeyAccess;
} // namespace

namespace DocumentTypeRegistration {

bool registerDocumentType(KeyStore &store, const QByteArray &programFolder, QString &error)
{
    // The three entries reach the file together.
    if (store.beginChanges() != KeyStore::Success) {
        error = store.lastError();
        return false;
    }
    createClassKey(store, Extension, KeyStore::ClassesRoot);
    setClassKeyValue(store, Extension, QString(), DocumentClass, KeyStore::StringValue);
    createClassKey(store, CommandKey, KeyStore::ClassesRoot);
    setClassKeyValue(store, DocumentClass, QString(), QStringLiteral("Velmora Document"), KeyStore::StringValue);
    // The folder's own bytes, which need not be UTF-8: the command must name it.
    const QByteArray command = programFolder + "/velmora %1";
    setClassKeyValue(store, CommandKey, QString(), command, KeyStore::StringValue);
    if (store.commitChanges() != KeyStore::Success) {
        error = store.lastError();
        return false;
    }
    return true;
}

void createClassKey(KeyStore &store, const QString &keyPath, KeyStore::Handle root)
{
    KeyStore::Handle key = 0;
    quint32 disposition = 0;
    store.createKey(root, keyPath, ClassKeyAccess, &key, &disposition);
    store.closeKey(key);
}

void setClassKeyValue(KeyStore &store, const QString &keyPath, const QString &valueName, const QVariant &value,
                      quint32 type)
{
    KeyStore::Handle key = 0;
    store.openKey(KeyStore::ClassesRoot, keyPath, ClassKeyAccess, &key);
    writeKeyValue(store, key, valueName, type, value);
    store.closeKey(key);
}

long writeKeyValue(KeyStore &store, KeyStore::Handle key, const QString &valueName, quint32 type, const QVariant &value)
{
    if (type == KeyStore::StringValue) {
        // The stored length counts the bytes, not the characters: a folder name
        // with accents would otherwise lose its last bytes. Bytes are stored as
        // they are, text as UTF-8.
        const QByteArray text =
            value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
        return store.setValue(key, valueName, type, text + '\0');
    }
    if (type == KeyStore::NumberValue) {
        QByteArray data(4, '\0');
        qToLittleEndian(static_cast<qint32>(value.toInt()), data.data());
        return store.setValue(key, valueName, type, data);
    }
    return KeyStore::Success;
}

} // namespace DocumentTypeRegistration
