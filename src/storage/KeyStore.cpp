#include "storage/KeyStore.h"

#include "storage/KeyTree.h"
#include "storage/WholeFile.h"

#include <QDir>
#include <QStandardPaths>

#include <utility>

namespace {

// A store is a handful of keys; anything this big is not ours.
constexpr qint64 LargestStoreBytes = 4 * 1024 * 1024;

// The machine itself says where its System Information program is: the answer
// is looked up afresh at every read, is never kept in the user's store, and
// cannot be changed through it.
const QString SystemInformationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString SystemInformationValue = QStringLiteral("PATH");
// Debian's graphical system information programs, the most complete first.
const char *const SystemInformationTools[] = {"hardinfo", "kinfocenter", "cpu-x"};

// The machine's own answer for a value (type text, ended by a zero), or an
// empty array where it has none.
QByteArray machineValue(KeyStore::Handle root, const QStringList &path, const QString &name)
{
    const bool asked = root == KeyStore::LocalMachine &&
                       path.join(QLatin1Char('\\')).compare(SystemInformationKey, Qt::CaseInsensitive) == 0 &&
                       name.compare(SystemInformationValue, Qt::CaseInsensitive) == 0;
    if (!asked) {
        return {};
    }
    const QString tool = KeyStore::systemInformationTool();
    return tool.isEmpty() ? QByteArray() : tool.toUtf8() + '\0';
}

// Splits a key path at its backslashes; false for an empty part ("a\\b", "\a").
bool splitPath(const QString &path, QStringList *parts)
{
    *parts = path.isEmpty() ? QStringList() : path.split(QLatin1Char('\\'));
    return !parts->contains(QString());
}

} // namespace

KeyStore::KeyStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString KeyStore::userStorePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("velmora/keys.json"));
}

bool KeyStore::resolve(Handle handle, Handle *root, QStringList *path) const
{
    for (const auto &[rootHandle, name] : KeyStoreRoots) {
        Q_UNUSED(name)
        if (handle == rootHandle) {
            *root = handle;
            path->clear();
            return true;
        }
    }
    const auto found = m_open.constFind(handle);
    if (found == m_open.constEnd()) {
        return false;
    }
    *root = found->root;
    *path = found->path;
    return true;
}

KeyStore::Handle KeyStore::remember(Handle root, const QStringList &path, quint32 access)
{
    const Handle handle = m_nextHandle++;
    m_open.insert(handle, {root, path, access});
    return handle;
}

long KeyStore::beginChanges()
{
    // A store that cannot be read is not held: its operations keep failing.
    auto tree = std::make_shared<KeyTree>();
    const long result = load(*tree);
    m_held = result == Success ? tree : nullptr;
    return result;
}

long KeyStore::commitChanges()
{
    if (!m_held) {
        return Success;
    }
    const std::shared_ptr<KeyTree> held = std::exchange(m_held, nullptr);
    return save(*held);
}

long KeyStore::load(KeyTree &tree)
{
    if (m_held) {
        tree = *m_held;
        return Success;
    }
    QByteArray bytes;
    QString reason;
    const ReadStatus read = readRegularFile(m_filePath, LargestStoreBytes, bytes, reason);
    if (read == ReadStatus::FileNotFound) {
        return Success;
    }
    if (read != ReadStatus::Ok) {
        m_error = QStringLiteral("The key store %1 cannot be read: %2").arg(m_filePath, reason);
        return BadStore;
    }
    if (!parseKeyTree(bytes, tree)) {
        m_error = QStringLiteral("The key store %1 is damaged").arg(m_filePath);
        return BadStore;
    }
    return Success;
}

long KeyStore::save(const KeyTree &tree)
{
    if (m_held) {
        *m_held = tree;
        return Success;
    }
    QString reason;
    if (!writeWholeFile(m_filePath, formatKeyTree(tree), reason)) {
        m_error = QStringLiteral("The key store %1 cannot be written: %2").arg(m_filePath, reason);
        return CannotWrite;
    }
    return Success;
}

long KeyStore::prepare(Handle parent, const QString &path, long badPath, Handle *root, QStringList *base,
                       QStringList *parts, KeyTree &tree)
{
    if (!resolve(parent, root, base)) {
        return InvalidHandle;
    }
    if (!splitPath(path, parts)) {
        return badPath;
    }
    return load(tree);
}

long KeyStore::createKey(Handle parent, const QString &path, quint32 access, Handle *key, quint32 *disposition)
{
    Handle root = 0;
    QStringList base;
    QStringList parts;
    KeyTree tree;
    if (const long result = prepare(parent, path, InvalidParameter, &root, &base, &parts, tree); result != Success) {
        return result;
    }
    if (tree.find(root, base) == nullptr) {
        return KeyDeleted;
    }
    bool created = false;
    tree.find(root, base + parts, true, &created);
    if (created) {
        if (const long result = save(tree); result != Success) {
            return result;
        }
    }
    if (disposition != nullptr) {
        *disposition = created ? CreatedNewKey : OpenedExistingKey;
    }
    *key = remember(root, base + parts, access);
    return Success;
}

long KeyStore::openKey(Handle parent, const QString &path, quint32 access, Handle *key)
{
    Handle root = 0;
    QStringList base;
    QStringList parts;
    KeyTree tree;
    *key = 0;
    if (const long result = prepare(parent, path, FileNotFound, &root, &base, &parts, tree); result != Success) {
        return result;
    }
    if (tree.find(root, base + parts) == nullptr &&
        machineValue(root, base + parts, SystemInformationValue).isEmpty()) {
        return FileNotFound;
    }
    *key = remember(root, base + parts, access);
    return Success;
}

long KeyStore::setValue(Handle key, const QString &name, quint32 type, const QByteArray &data)
{
    const auto open = m_open.constFind(key);
    if (open == m_open.constEnd()) {
        return InvalidHandle;
    }
    if ((open->access & SetValueAccess) == 0 || !machineValue(open->root, open->path, name).isEmpty()) {
        return AccessDenied;
    }
    KeyTree tree;
    if (const long result = load(tree); result != Success) {
        return result;
    }
    StoredKey *found = tree.find(open->root, open->path);
    if (found == nullptr) {
        return KeyDeleted;
    }
    // A name that differs only in case is the same value, and keeps its first spelling.
    const auto value = findName(found->values, name);
    if (value == found->values.end()) {
        found->values.emplace(name, StoredValue{type, data, {}});
    } else {
        value->second.type = type;
        value->second.data = data;
    }
    return save(tree);
}

long KeyStore::queryValue(Handle key, const QString &name, quint32 *type, QByteArray *data, quint32 *length)
{
    Handle root = 0;
    QStringList path;
    if (!resolve(key, &root, &path)) {
        return InvalidHandle;
    }
    const auto open = m_open.constFind(key);
    if (open != m_open.constEnd() && (open->access & QueryValueAccess) == 0) {
        return AccessDenied;
    }
    StoredValue value{StringValue, machineValue(root, path, name), {}};
    if (value.data.isEmpty()) {
        KeyTree tree;
        if (const long result = load(tree); result != Success) {
            return result;
        }
        const StoredKey *found = tree.find(root, path);
        if (found == nullptr) {
            // The machine's key is there whether or not the store has it.
            return machineValue(root, path, SystemInformationValue).isEmpty() ? KeyDeleted : FileNotFound;
        }
        const auto stored = findName(found->values, name);
        if (stored == found->values.end()) {
            return FileNotFound;
        }
        value = stored->second;
    }
    *type = value.type;
    const auto size = static_cast<quint32>(value.data.size());
    const bool fits = size <= *length;
    *length = size;
    if (!fits) {
        return MoreData;
    }
    *data = value.data;
    return Success;
}

QString KeyStore::systemInformationTool()
{
    for (const char *tool : SystemInformationTools) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (!path.isEmpty()) {
            return path;
        }
    }
    return QString();
}

long KeyStore::closeKey(Handle key)
{
    return m_open.remove(key) ? Success : InvalidHandle;
}
