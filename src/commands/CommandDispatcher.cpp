#include "commands/CommandDispatcher.h"

#include "gamefiles/FileIo.h"
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

bool CCommandDispatcher::Run(int id, const CommandInputs& inputs) {
    switch (id) {
    case kCommandImport:
        return Import(inputs);
    case kCommandExport:
        return Export(inputs);
    case kCommandExecute:
        return Execute(inputs);
    case kCommandNormalize:
        return WithRav(inputs.ravPath, [&] { return m_tools.NormalizeG2(&m_rav); });
    case kCommandShader:
        return WithRav(inputs.ravPath, [&] { return m_tools.ShadeG2(&m_rav, inputs.Shade()); });
    case kCommandImportNames:
        return ImportNames(inputs);
    case kCommandCreateTpl:
        return CreateTpl(inputs);
    default:
        return false;
    }
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
}

CFilter* CCommandDispatcher::SelectedFilter(const CommandInputs& inputs) const {
    return inputs.filterIndex < 0 ? nullptr
                                  : m_filters.Get(static_cast<std::size_t>(inputs.filterIndex));
}

bool CCommandDispatcher::HasExchangePath(CFilter& filter, const CommandInputs& inputs) {
    // The filters refuse an empty path without a word; say why nothing
    // happens.
    if (inputs.exchangePath.empty()) {
        filter.Output("Error! No exchange file given", 1);
        return false;
    }
    return true;
}

void CCommandDispatcher::Log(const char* text) {
    if (m_log) {
        m_log(text, 0);
    }
}

bool CCommandDispatcher::WithRav(const std::string& path, const std::function<bool()>& work) {
    // Set before the load: a damaged file leaves a partly read model behind.
    const CLoadedRav release(m_rav);
    return m_rav.Load(path) && work();
}

bool CCommandDispatcher::Import(const CommandInputs& inputs) {
    return WithRav(inputs.ravPath, [&] {
        CFilter* filter = SelectedFilter(inputs);
        if (filter == nullptr) {
            return false;
        }
        if (!HasExchangePath(*filter, inputs) || !filter->Import(inputs.exchangePath, &m_rav)) {
            Log("Error while importing data");
            return false;
        }
        Log("Successful imported data... updating data");
        const bool saved = m_rav.Save();
        Log(saved ? "Successful updated data" : "Error updating data");
        return saved;
    });
}

bool CCommandDispatcher::Export(const CommandInputs& inputs) {
    return WithRav(inputs.ravPath, [&] {
        CFilter* filter = SelectedFilter(inputs);
        if (filter == nullptr) {
            return false;
        }
        // Creating the exchange file truncates it: it must not be the RAV
        // file, which is usually the modder's only copy.
        if (IsSameFile(inputs.exchangePath, inputs.ravPath)) {
            filter->Output(Format("Error! The exchange file %s is the RAV file itself. Nothing "
                                  "written",
                                  inputs.exchangePath.c_str()),
                           1);
            Log("Error exporting data");
            return false;
        }
        const bool exported =
            HasExchangePath(*filter, inputs) && filter->Export(inputs.exchangePath, &m_rav);
        Log(exported ? "Successful exported data" : "Error exporting data");
        return exported;
    });
}

bool CCommandDispatcher::Execute(const CommandInputs& inputs) {
    return WithRav(inputs.ravPath, [&] {
        switch (inputs.transformMode) {
        case kTransformMove:
            return m_tools.TransformVertices(&m_rav, inputs.Vector(),
                                             CRavTools::TransformMode::Move);
        case kTransformScale:
            return m_tools.TransformVertices(&m_rav, inputs.Vector(),
                                             CRavTools::TransformMode::Scale);
        default:
            return false;
        }
    });
}

bool CCommandDispatcher::ImportNames(const CommandInputs& inputs) {
    // Declared first, so the archive is freed after the RAV model.
    const CLoadedFsh release(m_fsh);
    return WithRav(inputs.ravPath, [&] {
        return m_fsh.Load(inputs.fshPath, 1) && m_tools.ImportFshNames(&m_rav, &m_fsh);
    });
}

bool CCommandDispatcher::CreateTpl(const CommandInputs& inputs) {
    const CLoadedFsh release(m_fsh);
    return m_fsh.Load(inputs.fshPath, 1) && m_tools.CreateTplLayout(&m_fsh);
}
