#include "storage/KeyStore.h"

#include "storage/WholeFile.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <map>
#include <utility>

namespace {

// A store is a handful of keys; anything this big is not ours.
constexpr qint64 LargestStoreBytes = 4 * 1024 * 1024;

const std::pair<KeyStore::Handle, const char *> RootNames[] = {
    {KeyStore::ClassesRoot, "HKEY_CLASSES_ROOT"},
    {KeyStore::CurrentUser, "HKEY_CURRENT_USER"},
    {KeyStore::LocalMachine, "HKEY_LOCAL_MACHINE"},
};

struct Value
{
    quint32 type = 0;
    QByteArray data;
    // What a hand-edited file holds beside the type and data, kept as it was.
    QJsonObject other;
};

struct Key
{
    std::map<QString, Key> keys;
    std::map<QString, Value> values;
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

bool isHex(const QString &text)
{
    for (const QChar c : text) {
        if (!c.isDigit() && (c.toLower() < QLatin1Char('a') || c.toLower() > QLatin1Char('f'))) {
            return false;
        }
    }
    return text.size() % 2 == 0;
}

bool keyFromJson(const QJsonObject &object, Key &key)
{
    const QJsonValue keys = object.value(QLatin1String("keys"));
    const QJsonValue values = object.value(QLatin1String("values"));
    if (!(keys.isObject() || keys.isUndefined()) || !(values.isObject() || values.isUndefined())) {
        return false;
    }
    key.other = object;
    key.other.remove(QLatin1String("keys"));
    key.other.remove(QLatin1String("values"));
    const QJsonObject keyObjects = keys.toObject();
    for (auto it = keyObjects.begin(); it != keyObjects.end(); ++it) {
        if (!it.value().isObject() || it.key().isEmpty() || it.key().contains(QLatin1Char('\\')) ||
            !keyFromJson(it.value().toObject(), key.keys[it.key()])) {
            return false;
        }
    }
    const QJsonObject valueObjects = values.toObject();
    for (auto it = valueObjects.begin(); it != valueObjects.end(); ++it) {
        QJsonObject value = it.value().toObject();
        const double type = value.take(QLatin1String("type")).toDouble(-1);
        const QString data = value.take(QLatin1String("data")).toString(QStringLiteral("-"));
        if (type < 0 || type > 0xFFFFFFFFu || type != static_cast<quint32>(type) || !isHex(data)) {
            return false;
        }
        key.values[it.key()] = {static_cast<quint32>(type), QByteArray::fromHex(data.toLatin1()), value};
    }
    return true;
}

QJsonObject keyToJson(const Key &key)
{
    QJsonObject keys;
    for (const auto &[name, child] : key.keys) {
        keys.insert(name, keyToJson(child));
    }
    QJsonObject values;
    for (const auto &[name, value] : key.values) {
        QJsonObject object = value.other;
        object.insert(QStringLiteral("type"), static_cast<double>(value.type));
        object.insert(QStringLiteral("data"), QString::fromLatin1(value.data.toHex()));
        values.insert(name, object);
    }
    QJsonObject object = key.other;
    if (!keys.isEmpty()) {
        object.insert(QStringLiteral("keys"), keys);
    }
    if (!values.isEmpty()) {
        object.insert(QStringLiteral("values"), values);
    }
    return object;
}

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

class KeyStore::Tree
{
public:
    std::map<Handle, Key> roots;

    // The key at the path below the root, or null; with create, made as needed.
    Key *find(Handle root, const QStringList &path, bool create = false, bool *created = nullptr)
    {
        Key *key = &roots[root];
        for (const QString &part : path) {
            auto found = findName(key->keys, part);
            if (found == key->keys.end()) {
                if (!create) {
                    return nullptr;
                }
                found = key->keys.emplace(part, Key()).first;
                if (created != nullptr) {
                    *created = true;
                }
            }
            key = &found->second;
        }
        return key;
    }
};

KeyStore::KeyStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString KeyStore::userStorePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("velmora/keys.json"));
}

bool KeyStore::resolve(Handle handle, Handle *root, QStringList *path) const
{
    for (const auto &[rootHandle, name] : RootNames) {
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
    auto tree = std::make_shared<Tree>();
    const long result = load(*tree);
    m_held = result == Success ? tree : nullptr;
    return result;
}

long KeyStore::commitChanges()
{
    if (!m_held) {
        return Success;
    }
    const std::shared_ptr<Tree> held = std::exchange(m_held, nullptr);
    return save(*held);
}

long KeyStore::load(Tree &tree)
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
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    bool sound = document.isObject();
    const QJsonObject roots = document.object();
    for (auto it = roots.begin(); sound && it != roots.end(); ++it) {
        sound = false;
        for (const auto &[handle, name] : RootNames) {
            if (it.key() == QLatin1String(name) && it.value().isObject()) {
                sound = keyFromJson(it.value().toObject(), tree.roots[handle]);
            }
        }
    }
    if (!sound) {
        m_error = QStringLiteral("The key store %1 is damaged").arg(m_filePath);
        return BadStore;
    }
    return Success;
}

long KeyStore::save(const Tree &tree)
{
    if (m_held) {
        *m_held = tree;
        return Success;
    }
    QJsonObject roots;
    for (const auto &[handle, name] : RootNames) {
        const auto found = tree.roots.find(handle);
        if (found != tree.roots.end()) {
            roots.insert(QLatin1String(name), keyToJson(found->second));
        }
    }
    QString reason;
    if (!writeWholeFile(m_filePath, QJsonDocument(roots).toJson(), reason)) {
        m_error = QStringLiteral("The key store %1 cannot be written: %2").arg(m_filePath, reason);
        return CannotWrite;
    }
    return Success;
}

long KeyStore::prepare(Handle parent, const QString &path, long badPath, Handle *root, QStringList *base,
                       QStringList *parts, Tree &tree)
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
    Tree tree;
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
    Tree tree;
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
    Tree tree;
    if (const long result = load(tree); result != Success) {
        return result;
    }
    Key *found = tree.find(open->root, open->path);
    if (found == nullptr) {
        return KeyDeleted;
    }
    // A name that differs only in case is the same value, and keeps its first spelling.
    const auto value = findName(found->values, name);
    if (value == found->values.end()) {
        found->values.emplace(name, Value{type, data, {}});
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
    Value value{StringValue, machineValue(root, path, name), {}};
    if (value.data.isEmpty()) {
        Tree tree;
        if (const long result = load(tree); result != Success) {
            return result;
        }
        const Key *found = tree.find(root, path);
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
