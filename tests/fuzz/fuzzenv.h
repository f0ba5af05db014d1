#pragma once
// Shared by the fuzz targets: a Qt application object, and a fresh
// application directory and Configs base for every input, so no file is
// served from an earlier input's cache.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace fuzzenv {

// Once per process.
void init();
// A new empty folder that is now both the application directory and (with
// "/Configs") the Configs base; the previous one is removed.
QString freshDir();
void writeFile(const QString &path, const uint8_t *data, size_t size);

} // namespace fuzzenv

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
