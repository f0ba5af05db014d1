// The device description DefaultProfile.bin and everything read from it.

#include "fuzzenv.h"
#include "profile/description.h"
#include "profile/paths.h"
#include "profile/profileset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzenv::freshDir();
    fuzzenv::writeFile(descriptionPath(), data, size);
    DeviceDescription d;
    readDeviceDescription(d);
    quint8 matrix[16];
    readButtonMatrix(matrix);
    readButtonMatrix2(matrix);
    (void)buttonCount();
    (void)dpiStageCount();
    (void)productName();
    (void)productVersion();
    (void)descriptionInt(QStringLiteral("vid1"));
    ProfileData p;
    buildDefaultProfile(p);
    return 0;
}
