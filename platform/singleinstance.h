#pragma once
// One running copy per product and user: a lock file named after the product's
// mutex name in the user's runtime folder ($XDG_RUNTIME_DIR, else a private
// folder of the user's own in the temporary folder), so each user of a machine
// runs a copy of their own, as a per-session named mutex allows. A lock left
// behind by a copy that crashed belongs to a process that no longer exists and
// is taken over by the next start.

#include <QString>
#include <memory>

class QLockFile;

namespace platform {

class SingleInstance {
public:
    explicit SingleInstance(const QString &mutexName);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when this process owns the name; false when another copy runs.
    bool isOwner() const { return m_owner; }

    static QString lockPathFor(const QString &mutexName);
    // $XDG_RUNTIME_DIR when it is a private folder of this user, else
    // <temp>/mousecfg-<uid>, created private when missing.
    static QString runtimeFolder();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_owner = false;
};

} // namespace platform
