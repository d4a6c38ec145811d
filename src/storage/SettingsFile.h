#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// The settings file, velmor.ini: twelve lines ended by CR LF and no keys, an
// item's meaning being its line number. Top, Left, Width and Height of the
// window (twips), the four window settings, then the four recent files in
// double quotes, byte for byte. Top and Left are read back as 32-bit integers,
// the other numbers as 16-bit ones.
struct SettingsLines
{
    static constexpr int RecentCount = 4;

    // An item that could not be read (missing, not a number, beyond its range)
    // is empty; an unreadable recent file is an empty text.
    std::optional<int> top, left, width, height;
    std::optional<qint16> alwaysOnTop, sizeMode, barOrientation, insertButtons;
    std::array<QString, RecentCount> recent;
};

// The items of a settings file's bytes; lines after the twelfth are ignored.
SettingsLines parseSettingsLines(const QByteArray &bytes);

// The twelve lines of the settings; an empty item is written as 0. A recent
// file that a line cannot hold (a path with a line break) is written empty.
QByteArray formatSettingsLines(const SettingsLines &settings);

enum class SettingsRead { Ok, Missing, Failed };

// Reads the settings file. Missing: there is none (a first start). Failed: it
// exists but cannot be read as a file (a folder, a named pipe, no permission,
// another user's link), and every item is empty.
SettingsRead readSettingsFile(const QString &path, SettingsLines &settings);

// Writes the settings file all or nothing; false with the reason when it cannot.
bool writeSettingsFile(const QString &path, const SettingsLines &settings, QString &error);
// Writes the bytes of a settings file (velmor.ini or one beside it) the same way,
// and says the same when it cannot.
bool writeSettingsBytes(const QString &path, const QByteArray &bytes, QString &error);

// Where the settings file lives: beside the executable when that folder is the
// user's own, nobody else may write to it, and it is neither a system folder
// nor the bin folder of an installed program; otherwise in the user's
// configuration folder.
QString settingsFilePath(const QString &executableFolder);
