#pragma once

#include "commands/Command.h"
#include "commands/CommandInputs.h"
#include "filters/FilterTable.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "output/OutputFn.h"
#include "tools/ChangeReport.h"
#include "tools/RavTools.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CUiServices;

// Runs the commands of the action buttons against the workers it owns. Both
// front ends use it: the window fills the inputs from its fields, the
// command-line tool from its arguments.
//
// Every command that works on the RAV file loads it from disk first and
// releases the model at its end, whatever happened in between; a failed load
// ends the command with the loader's message alone. Only an import that the
// filter accepted, and the tools, write the RAV file; an export never writes
// over the RAV file itself. The FSH commands load the archive the same way
// and free it after the RAV model.
class CCommandDispatcher {
public:
    CCommandDispatcher() = default;
    CCommandDispatcher(const CCommandDispatcher&) = delete;
    CCommandDispatcher& operator=(const CCommandDispatcher&) = delete;

    // Runs `command`. True when the command did all it was asked to do;
    // "Execute" with neither transform mode chosen gives false (after
    // loading and releasing the RAV file).
    bool Run(Command command, const CommandInputs& inputs);

    // Where the one-line summaries of imports and exports go (flag 0; the
    // failure summaries with the severity Failure).
    void SetLog(OutputFn log) { m_log = std::move(log); }

    // The workers in the order the window routes their output at start-up:
    // the RAV file, the FSH archive, the tools, then the filters in table
    // order.
    [[nodiscard]] std::vector<CMessageOutput*> Workers();
    void SetServices(CUiServices& services);

    // Strict: a command that warned writes nothing and fails, for batch
    // scripts that must not accept a half-applied change.
    void SetStrict(bool strict) { m_strict = strict; }

    // A dry run: every command that writes the RAV file runs to its end,
    // prints its change report and writes nothing.
    void SetDryRun(bool dryRun) { m_dryRun = dryRun; }
    // Keeps the RAV file's previous content as NAME.bak (.bak2, .bak3 ...
    // when one exists) before a command replaces it.
    void SetBackup(bool backup) { m_backup = backup; }

    // Told after every command that changed the RAV file's bytes, with the
    // bytes it had before (which the listener may keep) and those written.
    using SaveListener = std::function<void(
        const std::string& path, std::vector<std::uint8_t>& previous, std::span<const std::uint8_t> written)>;
    void SetSaveListener(SaveListener listener) { m_saveListener = std::move(listener); }

    // How long a command waits for another program that works on the same
    // RAV file (a few seconds unless set).
    void SetLockPatience(std::chrono::milliseconds patience) { m_lockPatience = patience; }

    [[nodiscard]] CFilterTable& Filters() { return m_filters; }
    [[nodiscard]] CRavFile& Rav() { return m_rav; }
    [[nodiscard]] CFshFile& Fsh() { return m_fsh; }
    [[nodiscard]] CRavTools& Tools() { return m_tools; }

private:
    // Whether a command reads the RAV file only, or saves it too.
    enum class RavUse { Read, Save };
    // Loads the RAV file, runs `work` on the model when that succeeded, and
    // releases the model on every path. A command that saves locks the file
    // from before the load until the end, so that two commands on one file
    // follow each other.
    bool WithRav(const std::string& path, RavUse use, const std::function<bool()>& work);
    bool Import(const CommandInputs& inputs);
    bool Execute(const CommandInputs& inputs);
    // False after a message when a strict run warned.
    [[nodiscard]] bool StrictAllowsWriting();
    // Every save of a command passes here before anything is written: the
    // strict check, the change report, the dry run and the backup.
    [[nodiscard]] CRavFile::SaveDecision OnSave(std::vector<std::uint8_t>& previous);
    // False after a message when the backup could not be written.
    [[nodiscard]] bool WriteBackup(std::span<const std::uint8_t> previous);
    // After the command's own lines: the report's summary, and for a dry
    // run the report itself.
    void ReportSave();
    bool Export(const CommandInputs& inputs);
    bool ImportNames(const CommandInputs& inputs);
    bool CreateTpl(const CommandInputs& inputs);
    [[nodiscard]] CFilter* SelectedFilter(const CommandInputs& inputs) const;
    // False after a message from `filter` when no exchange file is named.
    [[nodiscard]] static bool HasExchangePath(CFilter& filter, const CommandInputs& inputs);
    void Log(const char* text, Severity severity = Severity::Note);
    void Log(const std::string& text) { Log(text.c_str()); }

    CRavFile m_rav;
    CFshFile m_fsh;
    CRavTools m_tools;
    CFilterTable m_filters;
    OutputFn m_log;
    SaveListener m_saveListener;
    std::optional<RavChangeReport> m_report; // of the save the command prepared
    std::vector<std::uint8_t> m_previous;     // the file's bytes before that save
    std::chrono::milliseconds m_lockPatience{5000};
    bool m_strict = false;
    bool m_dryRun = false;
    bool m_backup = false;
};
