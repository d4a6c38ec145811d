// The settings file as anyone may have left it: whatever its bytes, reading
// ends, and what was read is written as twelve lines that read back the same.
#include "storage/SettingsFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray written = formatSettingsLines(parseSettingsLines(bytes));
    if (written.count("\r\n") != 12 || formatSettingsLines(parseSettingsLines(written)) != written) {
        std::abort();
    }
    return 0;
}
