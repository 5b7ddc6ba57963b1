#include "gamefiles/FileLock.h"

#include "gamefiles/NativeFiles.h"

#include <cerrno>
#include <filesystem>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr std::chrono::milliseconds kPoll{25};

} // namespace

CFileLock::~CFileLock() {
    Release();
}

bool CFileLock::Acquire(const std::string& utf8Path, std::chrono::milliseconds patience) {
    Release();
    m_error.clear();
    m_inUse = false;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    // A save of another process may replace the file while this one waits
    // for its lock; the new file is then locked instead, once or twice.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (LockOnce(utf8Path, deadline)) {
            return true;
        }
        if (m_error || m_inUse) {
            return false;
        }
    }
    m_inUse = true;
    return false;
}

#ifdef _WIN32

bool CFileLock::LockOnce(const std::string& utf8Path,
                         std::chrono::steady_clock::time_point deadline) {
    std::wstring path;
    try {
        path = native::PathFromUtf8(utf8Path).wstring();
    } catch (const std::exception&) {
        m_error = std::make_error_code(std::errc::invalid_argument);
        return false;
    }
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_error = native::LastError();
        return false;
    }
    OVERLAPPED whole{};
    while (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                       MAXDWORD, &whole)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            m_error = native::LastError();
            CloseHandle(handle);
            m_inUse = true;
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
    BY_HANDLE_FILE_INFORMATION locked{};
    GetFileInformationByHandle(handle, &locked);
    HANDLE now = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    BY_HANDLE_FILE_INFORMATION named{};
    const bool same = now != INVALID_HANDLE_VALUE && GetFileInformationByHandle(now, &named) &&
                      named.dwVolumeSerialNumber == locked.dwVolumeSerialNumber &&
                      named.nFileIndexHigh == locked.nFileIndexHigh &&
                      named.nFileIndexLow == locked.nFileIndexLow;
    if (now != INVALID_HANDLE_VALUE) {
        CloseHandle(now);
    }
    if (!same) {
        UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &whole);
        CloseHandle(handle);
        return false;
    }
    m_handle = handle;
    return true;
}

void CFileLock::Release() {
    if (m_handle != nullptr) {
        OVERLAPPED whole{};
        UnlockFileEx(static_cast<HANDLE>(m_handle), 0, MAXDWORD, MAXDWORD, &whole);
        CloseHandle(static_cast<HANDLE>(m_handle));
        m_handle = nullptr;
    }
}

#else

bool CFileLock::LockOnce(const std::string& utf8Path,
                         std::chrono::steady_clock::time_point deadline) {
    std::filesystem::path path;
    try {
        path = native::PathFromUtf8(utf8Path);
    } catch (const std::exception&) {
        m_error = std::make_error_code(std::errc::invalid_argument);
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_error = native::LastError();
        return false;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        if (!busy || std::chrono::steady_clock::now() >= deadline) {
            m_error = busy ? std::make_error_code(std::errc::resource_unavailable_try_again)
                           : native::LastError();
            m_inUse = busy;
            ::close(fd);
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
    struct stat locked {};
    struct stat named {};
    if (::fstat(fd, &locked) != 0 || ::stat(path.c_str(), &named) != 0 ||
        locked.st_dev != named.st_dev || locked.st_ino != named.st_ino) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void CFileLock::Release() {
    if (m_fd >= 0) {
        ::close(m_fd); // closing the last descriptor releases the lock
        m_fd = -1;
    }
}

#endif
