#include "tools/RavTools.h"

#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "output/UiServices.h"
#include "tools/ImageSelection.h"

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
    if (!Services().SelectImages(selection) || selection.Count() > textureCount) {
        return false;
    }

    std::int32_t k = 0;
    const std::vector<std::uint8_t>& chosen = selection.Flags();
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (chosen[i] == 0) {
            continue;
        }
        RavTexture* texture = model->GetTexture(k);
        const FshEntry* entry = archive->GetEntry(static_cast<std::int32_t>(i));
        if (texture == nullptr || entry == nullptr) {
            return false;
        }
        texture->name = ShortName(*entry);
        ++k;
    }
    for (; k < textureCount; ++k) {
        if (RavTexture* texture = model->GetTexture(k)) {
            texture->name = "NULL";
        }
    }

    if (!model->SaveTextureNames()) {
        Output("Error writing texture data", 0);
        return false;
    }
    Output("Succefully written texture data", 0);
    return true;
}
