#pragma once

#include "output/MessageOutput.h"

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

// The commands that replaced a RAV file, each with what it takes to put the
// file back: the bytes before the command (to undo) or after it (to redo),
// and a digest of the bytes the file must hold for that. Steps go oldest
// first; the oldest are dropped beyond a count or a total size. Undo and
// redo refuse a file that no longer holds what the step left, and write
// through the whole-file writer.
class CUndoHistory : public CMessageOutput {
public:
    struct Limits {
        std::size_t steps = 20;
        std::uint64_t bytes = std::uint64_t{256} << 20;
    };
    void SetLimits(Limits limits);

    // After `label` ("Execute") replaced the file at `path`, which held
    // `previous` and now holds `written`. A file larger than the whole
    // budget is not kept (the log says so once). Clears the redo steps.
    void Record(const std::string& label, const std::string& path,
                std::vector<std::uint8_t> previous, std::span<const std::uint8_t> written);

    [[nodiscard]] bool CanUndo() const { return !m_undo.empty(); }
    [[nodiscard]] bool CanRedo() const { return !m_redo.empty(); }
    // Put the file as it was before the last command, or after the last
    // undone one. False after a message; the steps stay as they were then.
    bool Undo();
    bool Redo();

protected:
    [[nodiscard]] std::string OutputName() const override { return "Undo"; }

private:
    struct Digest {
        std::uint64_t size = 0;
        std::uint64_t low = 0, high = 0;
        bool operator==(const Digest&) const = default;
    };
    struct Step {
        std::string label;
        std::string path;
        std::vector<std::uint8_t> bytes; // what the step restores
        Digest expected;                 // what the file must hold for that
    };

    [[nodiscard]] static Digest DigestOf(std::span<const std::uint8_t> bytes);
    // Takes the newest step of `from`, restores its file and moves the step,
    // turned round, onto `to`.
    bool Move(std::deque<Step>& from, std::deque<Step>& to, const char* done, const char* verb);
    // Writes `wanted` over the file at `path`, which holds `current`.
    bool PutBack(const std::string& path, std::span<const std::uint8_t> current,
                 std::span<const std::uint8_t> wanted);
    void Trim();

    Limits m_limits;
    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    bool m_toldTooLarge = false;
};
