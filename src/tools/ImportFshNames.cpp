#include "tools/RavTools.h"

#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "output/MessageBoxes.h"
#include "tools/ImageSelection.h"
#include "tools/ToolDialogs.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The game keeps texture names of at most four characters.
constexpr std::size_t kNameLength = 4;

std::string ShortName(const FshEntry& entry) {
    const std::string_view chars(entry.name.data(), kNameLength);
    return std::string(chars.substr(0, chars.find('\0')));
}

} // namespace

bool CRavTools::ImportFshNames(CRavFile* model, const CFshFile* archive) {
    if (model == nullptr || archive == nullptr) {
        return false;
    }
    if (!Services().AskYesNo("Warning! This option creates a new FSH name order in the ravfile. "
                             "All texture associations may become invalid (wrong textures). "
                             "Continue?")) {
        return false;
    }

    const std::int32_t textureCount = model->header.textureCount;
    CImageSelection selection(ImageNames(*archive), textureCount,
                              "%d images of %d selected for import");
    if (!Dialogs().SelectImages(selection, *archive) || selection.Count() > textureCount) {
        return false;
    }

    // The chosen images in directory order, then "NULL" for the rest.
    const std::span<RavTexture> textures = model->Textures();
    const std::span<const FshEntry> entries = archive->Entries();
    const std::vector<std::uint8_t>& chosen = selection.Flags();
    std::size_t k = 0;
    for (std::size_t i = 0; i < chosen.size() && i < entries.size(); ++i) {
        if (chosen[i] == 0) {
            continue;
        }
        if (k == textures.size()) {
            return false;
        }
        textures[k++].name = ShortName(entries[i]);
    }
    for (; k < textures.size(); ++k) {
        textures[k].name = "NULL";
    }

    if (!model->SaveTextureNames()) {
        Fail("Error writing texture data", 0);
        return false;
    }
    Output("Succefully written texture data", 0);
    return true;
}
