// Config.ini: the program-wide file and the product's file (slot state,
// device-wide options, library list), with the profile set built from them.

#include "fuzzenv.h"
#include "profile/configstore.h"
#include "profile/description.h"
#include "profile/language.h"
#include "profile/macrostore.h"
#include "profile/paths.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dir = fuzzenv::freshDir();
    fuzzenv::writeFile(dir + QStringLiteral("/Configs/Config.ini"), data, size);
    const QString product = productConfigPath();   // named by the file itself
    if (!QFile::exists(product))
        fuzzenv::writeFile(product, data, size);
    ProfileSet set;
    loadProfileSet(set);
    (void)readLibraryList();
    (void)readDiff();
    (void)readBattery();
    (void)readBatteryFull();
    (void)readAccentIndex();
    (void)readModel();
    (void)sensorCode();
    (void)ledVariant();
    (void)mouseListName();
    (void)listMacros();
    LanguageList languages;
    readLanguageList(languages);
    (void)pageFontPixelSize();
    (void)pageFontFamily();
    return 0;
}
