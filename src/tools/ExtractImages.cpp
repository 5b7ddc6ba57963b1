#include "tools/RavTools.h"

#include "gamefiles/FileIo.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/ImageFileName.h"
#include "output/Format.h"
#include "tools/ImageSelection.h"
#include "tools/ToolDialogs.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

// "007_ab_c.png": the index as wide as the highest one needs, at least
// three digits, so that the files sort in archive order.
std::string PngName(std::int32_t index, std::int32_t count, const FshEntry& entry) {
    const int digits = std::max<int>(3, static_cast<int>(std::to_string(count - 1).size()));
    return Format("%0*d_", digits, index) + SafeFileNamePart(entry.name.data()) + ".png";
}

} // namespace

bool CRavTools::ExtractImages(const CFshFile* archive, const std::string& folder) {
    if (archive == nullptr) {
        return false;
    }
    const std::int32_t count = archive->header.entryCount;
    CImageSelection selection(ImageNames(*archive), count, "%d images of %d selected for extraction");
    if (!Dialogs().SelectImages(selection, *archive)) {
        return false;
    }
    std::error_code error;
    const std::filesystem::path where = PathFromUtf8(folder);
    if (folder.empty() || (!std::filesystem::create_directories(where, error) && error)) {
        FailWithReason(Format("Error! Cannot create the folder %s", folder.c_str()), error);
        return false;
    }
    bool all = true;
    std::vector<std::uint8_t> png;
    std::vector<std::string> warnings;
    const std::vector<std::uint8_t>& chosen = selection.Flags();
    for (std::int32_t i = 0; i < count; ++i) {
        if (chosen[static_cast<std::size_t>(i)] == 0) {
            continue;
        }
        const FshEntry& entry = archive->Entries()[static_cast<std::size_t>(i)];
        std::string problem;
        if (!archive->ImageAsPng(i, png, warnings, problem)) {
            Fail(Format("Error! Image %d (%s) %s", i, entry.name.data(), problem.c_str()));
            all = false;
            continue;
        }
        for (const std::string& warning : warnings) {
            Output(Format("Warning! Image %d (%s) %s", i, entry.name.data(), warning.c_str()), 1);
        }
        const std::string path = folder + "/" + PngName(i, count, entry);
        // Never half a picture; but one lost to a power cut can simply be
        // extracted again, so a sync per file (most of the time a large
        // extract takes) is not worth it.
        if (WriteWholeFile(path, png, &error, Durability::Unsynced) !=
            CWholeFileWriter::Failure::None) {
            FailWithReason(Format("Error writing %s", path.c_str()), error);
            all = false;
            continue;
        }
        Output(Format("Written %s", path.c_str()), 0);
    }
    return all;
}
