#include "ui/about/SystemInformation.h"

#include "platform/Desktop.h"
#include "slots/TextEncoding.h"

#include <QFileInfo>

namespace {

// Every access right there is: what the lookup has always asked for, although
// it only reads.
constexpr quint32 AllAccess = KeyStore::AllKeyAccess | KeyStore::ReadControlAccess;
constexpr quint32 BufferBytes = 1024;
const QString ProgramKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString FolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

} // namespace

bool getKeyValue(KeyStore &store, KeyStore::Handle keyRoot, const QString &keyName, const QString &subKeyRef,
                 QString &keyVal)
{
    KeyStore::Handle key = 0;
    quint32 type = 0;
    quint32 length = BufferBytes;
    QByteArray data(BufferBytes, '\0');
    // A value with no data has no last byte to look at: it reads as nothing.
    const bool read = store.openKey(keyRoot, keyName, AllAccess, &key) == KeyStore::Success &&
                      store.queryValue(key, subKeyRef, &type, &data, &length) == KeyStore::Success && length > 0;
    store.closeKey(key);
    if (!read) {
        keyVal.clear();
        return false;
    }
    data.truncate(length);
    if (data.endsWith('\0')) {
        data.chop(1);
    }
    if (type == KeyStore::StringValue) {
        keyVal = decodeText(data);
    } else if (type == KeyStore::NumberValue) {
        for (qsizetype i = data.size() - 1; i >= 0; --i) {
            keyVal += QString::number(static_cast<uchar>(data.at(i)), 16).toUpper();
        }
        keyVal.prepend(QStringLiteral("&h"));
    }
    return true;
}

void startSystemInformation(KeyStore &store, Desktop &desktop, const QString &title)
{
    QString path;
    QString folder;
    if (!getKeyValue(store, KeyStore::LocalMachine, ProgramKey, QStringLiteral("PATH"), path) &&
        getKeyValue(store, KeyStore::LocalMachine, FolderKey, QStringLiteral("MSINFO"), folder)) {
        path = folder + QStringLiteral("/MSINFO32.EXE");
    }
    // Only a program that is there is started: a path that names nothing, or a
    // folder without the program, gets the message without a try.
    if (!QFileInfo(path).isFile() || !desktop.startProgram(path)) {
        desktop.messageBox(Unavailable, Desktop::OkOnly, title);
    }
}
