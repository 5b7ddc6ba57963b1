#pragma once

#include <chrono>
#include <string>
#include <system_error>

// An advisory lock that keeps two Polyport commands from working on one file
// at once: each takes it before loading the file it will save and keeps it
// until the save is done, so the second one waits and then works on the
// first one's result. The lock belongs to the file, not to its name: a save
// replaces the file, so a lock taken on the old file is retaken on the new
// one before it counts.
class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock();
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Locks the file at `utf8Path`, waiting up to `patience` for another
    // holder. False with Error() set when the file cannot be opened, or
    // with InUse() when another holder kept it.
    [[nodiscard]] bool Acquire(const std::string& utf8Path, std::chrono::milliseconds patience);
    void Release();

    [[nodiscard]] std::error_code Error() const { return m_error; }
    [[nodiscard]] bool InUse() const { return m_inUse; }

private:
    // True once the file is locked; false with m_error or m_inUse set, or
    // false alone when the path no longer names the locked file.
    bool LockOnce(const std::string& utf8Path, std::chrono::steady_clock::time_point deadline);

#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
    std::error_code m_error;
    bool m_inUse = false;
};
