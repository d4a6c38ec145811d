#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

class KeyTree;

// The program's registry: a tree of keys under a few root keys, each key holding
// named values of a type (1 text, 4 32-bit number) and raw bytes. One user's
// keys live in one file, read afresh by every operation and replaced whole by
// every change, so that two running programs never see half a change.
//
// The operations answer with the result codes of the registry they stand in for
// (0 success, 2 not found and so on), and work through handles that are opened
// and closed as there.
class KeyStore
{
public:
    using Handle = quint32;
    enum : Handle { ClassesRoot = 0x80000000, CurrentUser = 0x80000001, LocalMachine = 0x80000002 };
    enum : quint32 { StringValue = 1, NumberValue = 4 };
    enum : quint32 { CreatedNewKey = 1, OpenedExistingKey = 2 };
    // Access rights a handle may be opened with. Only querying and setting values
    // are checked; the others are taken as the registry takes them.
    enum : quint32 {
        QueryValueAccess = 0x1,
        SetValueAccess = 0x2,
        CreateSubKeyAccess = 0x4,
        EnumerateSubKeysAccess = 0x8,
        NotifyAccess = 0x10,
        CreateLinkAccess = 0x20,
        ReadControlAccess = 0x20000,
        // Every right on the key itself.
        AllKeyAccess = QueryValueAccess | SetValueAccess | CreateSubKeyAccess | EnumerateSubKeysAccess | NotifyAccess |
                       CreateLinkAccess,
    };
    enum Result : long {
        Success = 0,
        FileNotFound = 2,
        AccessDenied = 5,
        InvalidHandle = 6,
        InvalidParameter = 87,
        MoreData = 234,
        BadStore = 1009, // the store file is damaged
        CannotWrite = 1013,
        KeyDeleted = 1018,
    };

    // The store kept in this file; the file and its folder come into being with
    // the first change.
    explicit KeyStore(QString filePath);

    // The store of the user's data folder.
    static QString userStorePath();

    // Opens the key path (parts separated by backslashes) below an open key or a
    // root, creating it and every missing key on the way.
    long createKey(Handle parent, const QString &path, quint32 access, Handle *key, quint32 *disposition = nullptr);
    // Opens an existing key; an empty path opens the parent itself again.
    long openKey(Handle parent, const QString &path, quint32 access, Handle *key);
    // Sets a value of the key; the empty name is the key's default value.
    long setValue(Handle key, const QString &name, quint32 type, const QByteArray &data);
    // Reads a value. On entry *length is the room the caller has; on success it
    // becomes the value's length and data holds the value. A value longer than
    // the room gives MoreData with the length it needs.
    long queryValue(Handle key, const QString &name, quint32 *type, QByteArray *data, quint32 *length);
    long closeKey(Handle key);

    // Keeps the changes of the operations that follow in memory until
    // commitChanges() writes them to the file in one piece, all or none. The
    // result is that of reading the store.
    long beginChanges();
    long commitChanges();

    // The first system information program installed on the machine, looked up
    // on PATH in order: hardinfo, kinfocenter, cpu-x. Empty when there is none.
    // The machine answers with it for the value PATH of
    // HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO.
    static QString systemInformationTool();

    // Where a failed load or save left the store, for messages.
    QString lastError() const { return m_error; }

private:
    struct OpenKey
    {
        Handle root;
        QStringList path;
        quint32 access;
    };

    // The root and path a handle or root stands for; false for an unknown handle.
    bool resolve(Handle handle, Handle *root, QStringList *path) const;
    // Resolves the parent and splits the path below it (badPath when it has an
    // empty part), then loads the tree.
    long prepare(Handle parent, const QString &path, long badPath, Handle *root, QStringList *base, QStringList *parts,
                 KeyTree &tree);
    long load(KeyTree &tree);
    long save(const KeyTree &tree);
    Handle remember(Handle root, const QStringList &path, quint32 access);

    QString m_filePath;
    QHash<Handle, OpenKey> m_open;
    std::shared_ptr<KeyTree> m_held;
    Handle m_nextHandle = 0x100;
    QString m_error;
};
