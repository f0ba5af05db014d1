#pragma once
// Files written whole: the bytes go to a temporary file beside the target,
// which is renamed over it once everything is on disk. After a full disk, a
// kill or a crash the target is the old file or the new one, never neither.

#include <QByteArray>
#include <QString>

// True when `path` names nothing yet or a regular file (a link counts as what
// it points to). A folder, a fifo or a device is never written: opening a
// fifo would wait for a reader, and a device would take the bytes unseen.
bool isRegularFileOrAbsent(const QString &path);

// Writes `bytes` as the whole file at `path`. False, with the old file left
// as it was, when the target is refused above or the write or the rename
// fails. A new file gets the mode every new file of the program gets (the
// umask's); an existing one keeps its own. A file rewritten within the same
// millisecond gets a later time, so QSettings' cache sees the change.
bool writeWholeFile(const QString &path, const QByteArray &bytes);

// The whole of a regular file of at most maxIniFileSize() bytes, written to
// `target` as above (not the source's mode: a read-only import stays
// writable for the saves that follow). False when either side is refused.
bool copyWholeFile(const QString &source, const QString &target);
