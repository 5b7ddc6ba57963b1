#pragma once

#include <chrono>
#include <string>

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
    // holder. False with ErrorNumber() set when the file cannot be opened or
    // stays locked (EWOULDBLOCK).
    [[nodiscard]] bool Acquire(const std::string& utf8Path, std::chrono::milliseconds patience);
    void Release();

    [[nodiscard]] int ErrorNumber() const { return m_error; }

private:
    // True once the file is locked; false with m_error set, or false with
    // m_error 0 when the path no longer names the locked file.
    bool LockOnce(const std::string& utf8Path, std::chrono::steady_clock::time_point deadline);

#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
    int m_error = 0;
};
