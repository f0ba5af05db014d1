// The INI parser and writer behind every file: any text parses without a
// crash, and what the writer makes of a parse reads back to the same text.

#include "fuzzenv.h"
#include "profile/inifile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzenv::init();
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QSettings::SettingsMap first;
    if (!parseIniText(text, first))
        return 0;
    const QByteArray written = formatIniText(first);
    QSettings::SettingsMap second;
    if (!parseIniText(written, second))
        abort();
    if (formatIniText(second) != written)
        abort();   // the writer's text must be a fixed point
    return 0;
}
