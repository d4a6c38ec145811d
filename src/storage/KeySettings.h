#pragma once

#include <QByteArray>
#include <QString>

// Settings that came after velmor.ini, whose twelve lines have fixed meanings
// and no room for more: a small file of "name=value" lines beside it.
struct KeySettings
{
    bool globalShortcuts = false;
};

// velmora-keys.ini in the folder of the settings file.
QString keySettingsPath(const QString &settingsFilePath);

// Unknown lines and values are passed over; anything else is the default.
KeySettings parseKeySettings(const QByteArray &bytes);
QByteArray formatKeySettings(const KeySettings &settings);

// Reads the file when it is a regular file (not another user's link); otherwise the defaults.
KeySettings readKeySettings(const QString &path);
// Writes the file all or nothing; false with the reason when it cannot.
bool writeKeySettings(const QString &path, const KeySettings &settings, QString &error);
