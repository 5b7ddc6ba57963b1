#include "commands/UndoHistory.h"

#include "gamefiles/FileIo.h"
#include "gamefiles/FileLock.h"
#include "output/Format.h"

#include <cerrno>
#include <chrono>
#include <cstring>

void CUndoHistory::SetLimits(Limits limits) {
    m_limits = limits;
    Trim();
}

// Two independent 64-bit lanes over the file's words: a file that changed
// behind our back matches by chance with a probability too small to count.
CUndoHistory::Digest CUndoHistory::DigestOf(std::span<const std::uint8_t> bytes) {
    Digest digest{bytes.size(), 0x243F6A8885A308D3u, 0x13198A2E03707344u};
    const auto mix = [&digest](std::uint64_t word) {
        digest.low = (digest.low ^ word) * 0x9E3779B97F4A7C15u;
        digest.low ^= digest.low >> 29;
        digest.high = (digest.high + word) * 0xC2B2AE3D27D4EB4Fu;
        digest.high ^= digest.high >> 31;
    };
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, 8);
        mix(word);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
    mix(tail);
    return digest;
}

void CUndoHistory::Record(const std::string& label, const std::string& path,
                          std::vector<std::uint8_t> previous,
                          std::span<const std::uint8_t> written) {
    m_redo.clear();
    if (previous.size() > m_limits.bytes) {
        if (!m_toldTooLarge) {
            m_toldTooLarge = true;
            Output(Format("%s is too large to keep for undo: commands on it cannot be taken back",
                          path.c_str()),
                   0);
        }
        return;
    }
    m_undo.push_back({label, path, std::move(previous), DigestOf(written)});
    Trim();
}

void CUndoHistory::Trim() {
    const auto total = [this] {
        std::uint64_t bytes = 0;
        for (const auto* steps : {&m_undo, &m_redo}) {
            for (const Step& step : *steps) {
                bytes += step.bytes.size();
            }
        }
        return bytes;
    };
    while (!m_undo.empty() &&
           (m_undo.size() + m_redo.size() > m_limits.steps || total() > m_limits.bytes)) {
        m_undo.pop_front();
    }
}

bool CUndoHistory::Undo() {
    return Move(m_undo, m_redo, "Undone", "undone");
}

bool CUndoHistory::Redo() {
    return Move(m_redo, m_undo, "Redone", "redone");
}

// As a save does: whole through a replacement, or in place where a
// replacement would cost the file its identity (hard links, ACLs) and the
// size stays, which it does for every step a save made.
bool CUndoHistory::PutBack(const std::string& path, std::span<const std::uint8_t> current,
                           std::span<const std::uint8_t> wanted) {
    const std::optional<std::string> why = WhyNotReplaceable(path);
    if (why && current.size() == wanted.size()) {
        Output(Format("%s is written in place, not atomically: %s", path.c_str(), why->c_str()), 0);
        FilePtr file = OpenFile(path, "r+b");
        bool written = file != nullptr;
        for (std::size_t at = 0; written && at < wanted.size();) {
            // Only the runs that differ, as a save writes them.
            if (current[at] == wanted[at]) {
                ++at;
                continue;
            }
            std::size_t end = at;
            while (end < wanted.size() && current[end] != wanted[end]) {
                ++end;
            }
            written = WriteAt(file.get(), at, wanted.data() + at, end - at);
            at = end;
        }
        const int error = written ? 0 : errno;
        if (!file || !CloseFile(file) || !written) {
            FailWithReason(Format("Error writing %s", path.c_str()), error != 0 ? error : errno);
            return false;
        }
        return true;
    }
    std::error_code error;
    if (WriteWholeFile(path, wanted, &error) != CWholeFileWriter::Failure::None) {
        FailWithReason(Format("Error writing %s", path.c_str()), error);
        return false;
    }
    return true;
}

bool CUndoHistory::Move(std::deque<Step>& from, std::deque<Step>& to, const char* done,
                        const char* verb) {
    if (from.empty()) {
        return false;
    }
    Step& step = from.back();
    const char* path = step.path.c_str();
    CFileLock lock;
    if (!lock.Acquire(step.path, std::chrono::seconds(5)) && lock.InUse()) {
        FailWithReason(Format("Error! %s is in use by another program", path), lock.Error());
        return false;
    }
    std::vector<std::uint8_t> current;
    if (!ReadWholeFile(step.path, current)) {
        FailWithReason(Format("Error opening %s", path), errno);
        return false;
    }
    if (DigestOf(current) != step.expected) {
        Fail(Format("Error! %s has changed since the last command. Nothing %s", path, verb));
        return false;
    }
    if (!PutBack(step.path, current, step.bytes)) {
        return false;
    }
    step.expected = DigestOf(step.bytes);
    step.bytes = std::move(current);
    Output(Format("%s: %s on %s", done, step.label.c_str(), path), 0);
    to.push_back(std::move(step));
    from.pop_back();
    Trim();
    return true;
}
