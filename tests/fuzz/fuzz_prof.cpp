// A profile file (.prof): read, brought into the model's ranges and imported
// into the Profile folder.

#include "fuzzenv.h"
#include "device/sensors.h"
#include "profile/configstore.h"
#include "profile/modellimits.h"
#include "profile/profilefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dir = fuzzenv::freshDir();
    const QString path = dir + QStringLiteral("/in.prof");
    fuzzenv::writeFile(path, data, size);
    ProfileData p;
    readProfileFile(p, path);
    // What any value becomes in the model's ranges, as the library loads it.
    clampProfileToModel(p, currentModelLimits());
    // Whatever model the file names is taken as the current one.
    writeCurrentProduct(readModelTag(path));
    QString name;
    importProfile(path, p, &name);
    return 0;
}
