#include "storage/KeyTree.h"

#include <QJsonDocument>

namespace {

bool isHex(const QString &text)
{
    for (const QChar c : text) {
        if (!c.isDigit() && (c.toLower() < QLatin1Char('a') || c.toLower() > QLatin1Char('f'))) {
            return false;
        }
    }
    return text.size() % 2 == 0;
}

bool keyFromJson(const QJsonObject &object, StoredKey &key)
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

QJsonObject keyToJson(const StoredKey &key)
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

} // namespace

StoredKey *KeyTree::find(KeyStore::Handle root, const QStringList &path, bool create, bool *created)
{
    StoredKey *key = &roots[root];
    for (const QString &part : path) {
        auto found = findName(key->keys, part);
        if (found == key->keys.end()) {
            if (!create) {
                return nullptr;
            }
            found = key->keys.emplace(part, StoredKey()).first;
            if (created != nullptr) {
                *created = true;
            }
        }
        key = &found->second;
    }
    return key;
}

bool parseKeyTree(const QByteArray &json, KeyTree &tree)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    bool sound = document.isObject();
    const QJsonObject roots = document.object();
    for (auto it = roots.begin(); sound && it != roots.end(); ++it) {
        sound = false;
        for (const auto &[handle, name] : KeyStoreRoots) {
            if (it.key() == QLatin1String(name) && it.value().isObject()) {
                sound = keyFromJson(it.value().toObject(), tree.roots[handle]);
            }
        }
    }
    return sound;
}

QByteArray formatKeyTree(const KeyTree &tree)
{
    QJsonObject roots;
    for (const auto &[handle, name] : KeyStoreRoots) {
        const auto found = tree.roots.find(handle);
        if (found != tree.roots.end()) {
            roots.insert(QLatin1String(name), keyToJson(found->second));
        }
    }
    return QJsonDocument(roots).toJson();
}
