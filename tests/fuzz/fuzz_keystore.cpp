// The key store file as anyone may have left it: a store that cannot be read
// fails every operation and is left as it was; one that can takes a new value
// and gives it back, to this program and to the next.
#include "storage/KeyStore.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("velmora-fuzz-keys-%1.json").arg(getpid()));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size)), probe = bytes.left(40);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
        std::abort();
    }
    KeyStore store(path), next(path);
    KeyStore::Handle key = 0, again = 0;
    quint32 type = 0, length = 1024;
    QByteArray value;
    const long created =
        store.createKey(KeyStore::ClassesRoot, QStringLiteral("Velmora.Document\\shell"), KeyStore::AllKeyAccess, &key);
    QFile left(path);
    const bool sound =
        created == KeyStore::BadStore
            ? left.open(QIODevice::ReadOnly) && left.readAll() == bytes
            : store.setValue(key, QStringLiteral("probe"), KeyStore::StringValue, probe) == KeyStore::Success &&
                  next.openKey(KeyStore::ClassesRoot, QStringLiteral("velmora.document\\SHELL"),
                               KeyStore::QueryValueAccess, &again) == KeyStore::Success &&
                  next.queryValue(again, QStringLiteral("Probe"), &type, &value, &length) == KeyStore::Success &&
                  value == probe && type == KeyStore::StringValue;
    if (!sound) {
        std::abort();
    }
    return 0;
}
