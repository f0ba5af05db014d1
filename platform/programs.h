#pragma once
// Whether a program file can be started on this system.

#include <QString>

namespace platform {

// True when `path` is an executable file this system can run: a native
// (ELF) program, a script with a "#!" line, or a format a binfmt_misc handler
// of the kernel takes (Windows programs under Wine, for instance). `binfmtDir`
// names the handlers' folder (tests).
bool canRunProgram(const QString &path, const QString &binfmtDir = QStringLiteral("/proc/sys/fs/binfmt_misc"));

} // namespace platform
