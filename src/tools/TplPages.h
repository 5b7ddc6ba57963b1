#pragma once

#include "tools/TplPacker.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CFshFile;

// The pages of a TPL layout as pictures, and the layout file read back.

// Where the layout of the archive at `archivePath` goes: the archive's name
// with "tpl" in place of its three-letter extension, or ".tpl" added where
// it has none.
[[nodiscard]] std::string TplPathFor(const std::string& archivePath);

// Reads a layout file's text: LAYOUT { TPAGE { WIDTH HEIGHT TSLOT { NAME
// WIDTH HEIGHT UOFFSET VOFFSET } ... } ... }. The slots in file order, each
// with its page; `pages` is the number of TPAGE blocks. False with `problem`
// set when the text is not such a layout.
[[nodiscard]] bool ReadTplLayout(std::string_view text, std::vector<TplSlot>& placed,
                                 std::int32_t& pages, std::string& problem);

// Gives each slot the archive entry it stands for: the first entry, in
// directory order, of its name and size that no earlier slot took. A slot
// without one keeps entry -1.
void MatchTplSlots(const CFshFile& archive, std::span<TplSlot> placed);

// One 256 x 256 RGBA page per page number below `pages`: each slot's
// decoded image copied at (u, v), transparent elsewhere. An image that
// cannot be decoded leaves its place empty and adds a line to `problems`
// ("<name> <what is wrong>").
[[nodiscard]] std::vector<std::vector<std::uint8_t>>
ComposeTplPages(const CFshFile& archive, std::span<const TplSlot> placed, std::int32_t pages,
                std::vector<std::string>& problems);
