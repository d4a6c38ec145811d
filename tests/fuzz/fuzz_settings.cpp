// The settings file as anyone may have left it: whatever its bytes, reading
// ends, and what was read is written as twelve lines that read back the same.
#include "app/SettingsFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const SettingsLines read = parseSettingsLines(bytes);
    const QByteArray written = formatSettingsLines(read);
    const SettingsLines again = parseSettingsLines(written);
    bool same = written.count("\r\n") == 12;
    same &= again.top == read.top.value_or(0) && again.left == read.left.value_or(0);
    same &= again.width == read.width.value_or(0) && again.height == read.height.value_or(0);
    same &= again.alwaysOnTop == read.alwaysOnTop.value_or(0) && again.sizeMode == read.sizeMode.value_or(0);
    same &= again.barOrientation == read.barOrientation.value_or(0);
    same &= again.insertButtons == read.insertButtons.value_or(0);
    for (int i = 0; i < SettingsLines::RecentCount; ++i) {
        const QString &path = read.recent.at(i);
        const bool fits = !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
        same &= again.recent.at(i) == (fits ? path : QString());
    }
    if (!same) {
        std::abort();
    }
    return 0;
}
