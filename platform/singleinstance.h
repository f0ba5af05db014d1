#pragma once
// One running copy per product: a lock file in the temporary folder named after
// the product's mutex name. A lock left behind by a copy that crashed belongs to
// a process that no longer exists and is taken over by the next start.

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

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_owner = false;
};

} // namespace platform
