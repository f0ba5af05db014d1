// LangConfig.ini.

#include "fuzzenv.h"
#include "profile/language.h"
#include "profile/paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dir = fuzzenv::freshDir();
    fuzzenv::writeFile(dir + QStringLiteral("/Configs/LangConfig.ini"), data, size);
    (void)readLanguageId();
    writeLanguageId(2);   // a write merges with whatever the file held
    return readLanguageId() == 2 ? 0 : (abort(), 0);
}
