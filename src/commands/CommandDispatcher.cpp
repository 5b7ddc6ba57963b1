#include "commands/CommandDispatcher.h"

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

} // namespace

bool CCommandDispatcher::Run(int id, const CommandInputs& inputs) {
    switch (id) {
    case kCommandImport:
        return Import(inputs);
    case kCommandExport:
        return Export(inputs);
    default:
        return false;
    }
}

std::vector<CMessageOutput*> CCommandDispatcher::Workers() {
    std::vector<CMessageOutput*> workers{&m_rav, &m_fsh};
    // Every filled slot, also one behind a slot still empty.
    for (std::size_t i = 0; i < CFilterTable::kSlots; ++i) {
        if (CFilter* filter = m_filters.Get(i)) {
            workers.push_back(filter);
        }
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
        if (!filter->Import(inputs.exchangePath, &m_rav)) {
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
        const bool exported = filter->Export(inputs.exchangePath, &m_rav);
        Log(exported ? "Successful exported data" : "Error exporting data");
        return exported;
    });
}
