#include "filters/Filter.h"

#include "output/MessageBoxes.h"

#include "filters/FilterDialogs.h"
#include "gamefiles/FileIo.h"
#include "output/Format.h"

#include <cerrno>
#include <new>

CFilter::CFilter(const FilterTraits& traits)
    : m_traits(traits), m_dialogs(&CFilterDialogs::None()) {
}

void CFilter::Configure() {
    Services().ShowMessage("No configuration");
}

std::optional<std::string> CFilter::ApplyOptions(const FilterOptionValues& given) {
    if (given.empty()) {
        return std::nullopt;
    }
    return given.front().first + " is not an option of the " + std::string(m_traits.key) +
           " filter";
}

bool CFilter::ReadExchangeFile(const std::string& path,
                               const std::function<bool(std::vector<std::uint8_t>&)>& use) {
    FilePtr file = OpenFile(path, "rb");
    if (!file) {
        FailWithReason(Format("Error opening %s", path.c_str()), errno);
        return false;
    }
    try {
        std::vector<std::uint8_t> bytes;
        if (!ReadToEnd(file.get(), bytes, 1)) {
            FailWithReason(Format("Error reading %s", path.c_str()), errno);
            return false;
        }
        file.reset();
        return use(bytes);
    } catch (const std::bad_alloc&) {
        Fail(Format("Not enough memory to read %s", path.c_str()));
        return false;
    }
}

bool CFilter::ReadExchangeStream(const std::string& path,
                                 const std::function<bool(std::FILE*)>& use) {
    FilePtr file = OpenFile(path, "rb");
    if (!file) {
        FailWithReason(Format("Error opening %s", path.c_str()), errno);
        return false;
    }
    try {
        const bool used = use(file.get());
        if (std::ferror(file.get()) != 0) {
            FailWithReason(Format("Error reading %s", path.c_str()), errno);
            return false;
        }
        return used;
    } catch (const std::bad_alloc&) {
        Fail(Format("Not enough memory to read %s", path.c_str()));
        return false;
    }
}

bool CFilter::WriteExchangeFile(const std::string& path, const char* openMessage,
                                const std::function<bool(CWholeFileWriter&)>& produce) {
    CWholeFileWriter writer(path);
    writer.SetSynced(m_durable);
    if (!writer.Open()) {
        FailWithReason(Format(openMessage, path.c_str()), writer.Error());
        return false;
    }
    try {
        if (produce(writer) && writer.Commit()) {
            return true;
        }
    } catch (const std::bad_alloc&) {
        Fail(Format("Not enough memory to write %s", path.c_str()));
        return false;
    }
    FailWithReason(Format("Error writing %s", path.c_str()), writer.Error());
    return false;
}
