#include "platform/programs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

// An enabled handler whose magic bytes (at its offset) begin the file.
bool binfmtTakes(const QByteArray &head, const QString &binfmtDir)
{
    const QDir dir(binfmtDir);
    for (const QString &name : dir.entryList(QDir::Files)) {
        if (name == QLatin1String("register") || name == QLatin1String("status"))
            continue;
        QFile entry(dir.filePath(name));
        if (!entry.open(QIODevice::ReadOnly))
            continue;
        bool enabled = false;
        int offset = 0;
        QByteArray magic;
        for (const QByteArray &line : entry.readAll().split('\n')) {
            if (line == "enabled")
                enabled = true;
            else if (line.startsWith("offset "))
                offset = line.mid(7).toInt();
            else if (line.startsWith("magic "))
                magic = QByteArray::fromHex(line.mid(6));
        }
        if (enabled && !magic.isEmpty() && head.mid(offset, magic.size()) == magic)
            return true;
    }
    return false;
}

} // namespace

bool canRunProgram(const QString &path, const QString &binfmtDir)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(256);
    if (head.startsWith("\x7f" "ELF") || head.startsWith("#!"))
        return true;
    return binfmtTakes(head, binfmtDir);
}

} // namespace platform
