// A profile file (.prof): read and imported into the Profile folder.

#include "fuzzenv.h"
#include "profile/configstore.h"
#include "profile/profilefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dir = fuzzenv::freshDir();
    const QString path = dir + QStringLiteral("/in.prof");
    fuzzenv::writeFile(path, data, size);
    ProfileData p;
    readProfileFile(p, path);
    // Whatever model the file names is taken as the current one.
    writeCurrentProduct(readModelTag(path));
    QString name;
    importProfile(path, p, &name);
    return 0;
}
