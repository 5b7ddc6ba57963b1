#include "commands/CommandDispatcher.h"

#include "commands/UiServices.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/FileLock.h"
#include "output/Format.h"

#include <cstddef>
#include <functional>
#include <string>

namespace {

// Releases the model on every path out of a command that loads it.
class CLoadedRav {
public:
    explicit CLoadedRav(CRavFile& rav) : m_rav(rav) {}
    ~CLoadedRav() { m_rav.Clear(); }
    CLoadedRav(const CLoadedRav&) = delete;
    CLoadedRav& operator=(const CLoadedRav&) = delete;

private:
    CRavFile& m_rav;
};

// Frees the archive on every path out of a command that loads it.
class CLoadedFsh {
public:
    explicit CLoadedFsh(CFshFile& fsh) : m_fsh(fsh) {}
    ~CLoadedFsh() { m_fsh.Free(); }
    CLoadedFsh(const CLoadedFsh&) = delete;
    CLoadedFsh& operator=(const CLoadedFsh&) = delete;

private:
    CFshFile& m_fsh;
};

} // namespace

bool CCommandDispatcher::Run(Command command, const CommandInputs& inputs) {
    switch (command) {
    case Command::Import:
        return Import(inputs);
    case Command::Export:
        return Export(inputs);
    case Command::Execute:
        return Execute(inputs);
    case Command::Normalize:
        return WithRav(inputs.ravPath, RavUse::Save, [&] { return m_tools.NormalizeG2(&m_rav); });
    case Command::Shade:
        return WithRav(inputs.ravPath, RavUse::Save,
                       [&] { return m_tools.ShadeG2(&m_rav, inputs.Shade()); });
    case Command::ImportNames:
        return ImportNames(inputs);
    case Command::CreateTpl:
        return CreateTpl(inputs);
    case Command::ExtractImages: {
        const CLoadedFsh release(m_fsh);
        return m_fsh.Load(inputs.fshPath, 1) &&
               m_tools.ExtractImages(&m_fsh, inputs.imageFolder);
    }
    }
    return false;
}

std::vector<CMessageOutput*> CCommandDispatcher::Workers() {
    std::vector<CMessageOutput*> workers{&m_rav, &m_fsh, &m_tools};
    for (std::size_t i = 0; i < m_filters.Count(); ++i) {
        workers.push_back(m_filters.Get(i));
    }
    return workers;
}

void CCommandDispatcher::SetServices(CUiServices& services) {
    for (CMessageOutput* worker : Workers()) {
        worker->SetServices(services);
    }
    for (std::size_t i = 0; i < m_filters.Count(); ++i) {
        m_filters.Get(i)->SetDialogs(services);
    }
    m_tools.SetDialogs(services);
}

CFilter* CCommandDispatcher::SelectedFilter(const CommandInputs& inputs) const {
    return inputs.filterIndex < 0 ? nullptr
                                  : m_filters.Get(static_cast<std::size_t>(inputs.filterIndex));
}

bool CCommandDispatcher::HasExchangePath(CFilter& filter, const CommandInputs& inputs) {
    // The filters refuse an empty path without a word; say why nothing
    // happens.
    if (inputs.exchangePath.empty()) {
        filter.Fail("Error! No exchange file given");
        return false;
    }
    return true;
}

void CCommandDispatcher::Log(const char* text, Severity severity) {
    if (m_log) {
        m_log(text, 0, severity);
    }
}

bool CCommandDispatcher::WithRav(const std::string& path, RavUse use,
                                 const std::function<bool()>& work) {
    CFileLock lock;
    if (use == RavUse::Save && !path.empty() && !lock.Acquire(path, m_lockPatience) &&
        lock.InUse()) {
        m_rav.FailWithReason(Format("Error! %s is in use by another program", path.c_str()),
                             lock.Error());
        return false;
    }
    // A file that cannot be opened even for the lock is the load's to report.
    // Set before the load: a damaged file leaves a partly read model behind.
    const CLoadedRav release(m_rav);
    for (CMessageOutput* worker : Workers()) {
        worker->ResetWarnings();
    }
    m_rav.SetSaveGate([this](std::vector<std::uint8_t>& previous) { return OnSave(previous); });
    m_report.reset();
    const bool done = m_rav.Load(path) && work();
    if (done && m_report) {
        ReportSave();
    }
    m_report.reset();
    m_previous = {};
    return done;
}

CRavFile::SaveDecision CCommandDispatcher::OnSave(std::vector<std::uint8_t>& previous) {
    if (!StrictAllowsWriting()) {
        return CRavFile::SaveDecision::Stop;
    }
    CRavFile loaded;
    loaded.SetOutput([](const char*, int, Severity) {});
    // The bytes loaded once already; only memory can fail them now.
    if (!loaded.LoadBytes(previous, m_rav.GetPath())) {
        m_rav.Fail(Format("Not enough memory to save %s. Nothing written", m_rav.GetPath().c_str()));
        return CRavFile::SaveDecision::Stop;
    }
    m_report = CompareRav(loaded, m_rav);
    if (m_dryRun) {
        return CRavFile::SaveDecision::Skip;
    }
    // A save that changes no byte replaces nothing, and needs no backup.
    if (m_backup && !m_report->changedBytes.empty() && !WriteBackup(previous)) {
        return CRavFile::SaveDecision::Stop;
    }
    m_previous = std::move(previous);
    return CRavFile::SaveDecision::Write;
}

// A backup is never written over: the first free name is taken, and held
// by an empty file from that moment, so that a file another program makes
// under the same name meanwhile is not replaced.
bool CCommandDispatcher::WriteBackup(std::span<const std::uint8_t> previous) {
    const std::string& path = m_rav.GetPath();
    std::string backup;
    std::error_code error;
    bool taken = true;
    for (int n = 1; taken; ++n) {
        backup = path + ".bak" + (n == 1 ? std::string() : std::to_string(n));
        error = CreateEmptyFile(backup, taken);
    }
    if (!error && WriteWholeFile(backup, previous, &error) != CWholeFileWriter::Failure::None) {
        RemoveFile(backup); // only the empty file that held the name is there
    } else if (!error) {
        Log(Format("Backup of the previous content written to %s", backup.c_str()));
        return true;
    }
    m_rav.FailWithReason(Format("Error! The backup %s could not be written. Nothing written to %s",
                                backup.c_str(), path.c_str()),
                         error);
    return false;
}

void CCommandDispatcher::ReportSave() {
    if (m_dryRun) {
        for (const std::string& line : m_report->Lines()) {
            Log(line);
        }
    }
    Log(m_report->Summary());
    if (m_dryRun) {
        Log(Format("Dry run: nothing written to %s", m_rav.GetPath().c_str()));
    } else if (m_saveListener && !m_report->changedBytes.empty()) {
        m_saveListener(m_rav.GetPath(), m_previous, m_rav.Bytes());
    }
}

bool CCommandDispatcher::StrictAllowsWriting() {
    if (!m_strict) {
        return true;
    }
    int warnings = 0;
    for (CMessageOutput* worker : Workers()) {
        warnings += worker->Warnings();
    }
    if (warnings == 0) {
        return true;
    }
    m_rav.Fail(Format("Error! %d warning%s in a strict run: nothing written to %s", warnings,
                      warnings == 1 ? "" : "s", m_rav.GetPath().c_str()));
    return false;
}

bool CCommandDispatcher::Import(const CommandInputs& inputs) {
    return WithRav(inputs.ravPath, RavUse::Save, [&] {
        CFilter* filter = SelectedFilter(inputs);
        if (filter == nullptr) {
            return false;
        }
        if (!HasExchangePath(*filter, inputs) || !filter->Import(inputs.exchangePath, &m_rav)) {
            Log("Error while importing data", Severity::Failure);
            return false;
        }
        Log("Successful imported data... updating data");
        const bool saved = m_rav.Save();
        if (saved) {
            Log("Successful updated data");
        } else {
            Log("Error updating data", Severity::Failure);
        }
        return saved;
    });
}

bool CCommandDispatcher::Export(const CommandInputs& inputs) {
    return WithRav(inputs.ravPath, RavUse::Read, [&] {
        CFilter* filter = SelectedFilter(inputs);
        if (filter == nullptr) {
            return false;
        }
        // Creating the exchange file truncates it: it must not be the RAV
        // file, which is usually the modder's only copy.
        if (IsSameFile(inputs.exchangePath, inputs.ravPath)) {
            filter->Fail(Format("Error! The exchange file %s is the RAV file itself. Nothing "
                                "written",
                                inputs.exchangePath.c_str()));
            Log("Error exporting data", Severity::Failure);
            return false;
        }
        const bool exported =
            HasExchangePath(*filter, inputs) && filter->Export(inputs.exchangePath, &m_rav);
        if (exported) {
            Log("Successful exported data");
        } else {
            Log("Error exporting data", Severity::Failure);
        }
        return exported;
    });
}

bool CCommandDispatcher::Execute(const CommandInputs& inputs) {
    return WithRav(inputs.ravPath, RavUse::Save, [&] {
        if (!inputs.transform) {
            return false;
        }
        std::string problem;
        const std::optional<std::array<float, 3>> vector = inputs.Vector(problem);
        if (!vector) {
            m_tools.Fail(problem);
            return false;
        }
        return m_tools.TransformVertices(&m_rav, *vector, *inputs.transform);
    });
}

bool CCommandDispatcher::ImportNames(const CommandInputs& inputs) {
    // Declared first, so the archive is freed after the RAV model.
    const CLoadedFsh release(m_fsh);
    return WithRav(inputs.ravPath, RavUse::Save, [&] {
        return m_fsh.Load(inputs.fshPath, 1) && m_tools.ImportFshNames(&m_rav, &m_fsh);
    });
}

bool CCommandDispatcher::CreateTpl(const CommandInputs& inputs) {
    const CLoadedFsh release(m_fsh);
    return m_fsh.Load(inputs.fshPath, 1) && m_tools.CreateTplLayout(&m_fsh, inputs.tplPictures);
}
