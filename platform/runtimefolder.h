#pragma once
// The user's private runtime folder, for sockets only this user may reach.

#include <QString>

namespace platform {

// A folder that exists, is a real folder (not a link), belongs to this user
// and lets no one else in.
bool isPrivateFolder(const QString &path);

// $XDG_RUNTIME_DIR when it is a private folder of this user; else
// <temp>/mousecfg-<uid>, made private when missing; else, when someone else
// has taken that name (or opened it to others), a fresh private folder beside
// it, the same for the rest of the process. Empty only when no private folder
// can be made at all.
QString privateRuntimeFolder();

} // namespace platform
