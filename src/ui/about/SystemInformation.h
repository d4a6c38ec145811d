#pragma once

#include "storage/KeyStore.h"

#include <QString>

class Desktop;

// Reads one value of the key store as text. A text value is taken up to a
// terminating zero; a number is written as "&h" and the hexadecimal digits of
// its bytes from the last to the first, appended to what keyVal held; a value
// of another type leaves keyVal as it was. On failure (no such key or value,
// no data, more than 1024 bytes) keyVal becomes empty and the result is false.
bool getKeyValue(KeyStore &store, KeyStore::Handle keyRoot, const QString &keyName, const QString &subKeyRef,
                 QString &keyVal);

// Starts the machine's System Information program, or says that there is none,
// in a message box titled with the program title.
void startSystemInformation(KeyStore &store, Desktop &desktop, const QString &title);
