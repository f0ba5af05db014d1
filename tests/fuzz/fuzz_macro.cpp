// A macro file (.MSMACRO) in MacroDB.

#include "fuzzenv.h"
#include "profile/macrostore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzenv::freshDir();
    const QString name = QStringLiteral("m");
    fuzzenv::writeFile(macroPath(name), data, size);
    const QVector<KeyInfo> events = loadMacroEvents(name);
    if (events.size() > MACRO_EVENT_MAX)
        abort();
    const MacroSettings settings = loadMacroSettings(name);
    (void)readWriteSign(name);
    clearWriteSign(name);
    saveMacro(name, settings, events);
    return 0;
}
