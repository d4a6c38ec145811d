#pragma once

#include <QString>

// Where the settings file lives: beside the executable when that folder can be
// written, otherwise in the user's configuration folder.
QString settingsFilePath(const QString &executableFolder);
