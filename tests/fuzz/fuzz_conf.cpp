// A configuration export (.conf): imported.

#include "fuzzenv.h"
#include "profile/configstore.h"
#include "profile/profilefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dir = fuzzenv::freshDir();
    const QString path = dir + QStringLiteral("/in.conf");
    fuzzenv::writeFile(path, data, size);
    ProfileSet set;
    // Whatever model the file names is taken as the current one, so the
    // whole file is read.
    writeCurrentProduct(readModelTag(path));
    importConfig(set, path);
    return 0;
}
