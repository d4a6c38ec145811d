#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The program's text files (clip documents, the settings file) are UTF-8; a file
// whose bytes are not valid UTF-8 comes from an older 8-bit system and is read
// as Windows-1252, so that its accents survive.

// The largest document or clipboard text the program takes, in bytes: reading
// more would ask for memory the machine may not have (a label is held as
// UTF-16, and a Windows-1252 text grows in UTF-8). Messages call it by its
// name below.
constexpr qint64 LargestTextBytes = qint64(1) << 30;
constexpr char LargestTextName[] = "1 GiB";

// The character a Windows-1252 byte stands for. The five bytes it leaves
// undefined keep their Latin-1 code points.
char16_t fromWindows1252(uchar byte);

// The bytes read as Windows-1252.
QString windows1252Text(QByteArrayView bytes);

// The bytes as UTF-8 when they are valid UTF-8, otherwise as Windows-1252.
QString decodeText(QByteArrayView bytes);
