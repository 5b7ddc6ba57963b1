#include "gamefiles/FshFile.h"
#include "gamefiles/RavTestSupport.h"
#include "output/Format.h"
#include "support/FshBuilder.h"
#include "support/ScriptedServices.h"
#include "tools/RavTools.h"

#include <optional>
#include <set>

namespace {

using Names = std::vector<std::string>;

// Clicks exactly the items `chosen`, without the dialog's cap, and presses OK.
std::function<bool(CImageSelection&)> Choose(std::set<std::size_t> chosen) {
    return [chosen](CImageSelection& selection) {
        for (std::size_t i = 0; i < selection.Items().size(); ++i) {
            selection.SetSelected(i, chosen.contains(i));
        }
        return true;
    };
}

Names Numbered(const char* format, int count) {
    Names names;
    for (int i = 0; i < count; ++i) {
        names.push_back(Format(format, i));
    }
    return names;
}

using ImportFshNamesTest = RavFileTest;

// Texture k gets the k-th chosen image's name in directory order, the rest
// "NULL". Declining, cancelling, or a dialog that lets through more images
// than there are textures, changes nothing and says nothing.
TEST_F(ImportFshNamesTest, NamesTexturesAfterTheChosenImages) {
    const Messages written{{"Succefully written texture data", 0}};
    const Names twenty = Numbered("im%02d", 20);
    std::vector<FshSize> images;
    for (const std::string& name : twenty) {
        images.push_back({name});
    }
    CFshFile archive;
    ASSERT_TRUE(archive.Load(dir.Write("twenty.fsh", MakeFshOfSizes(images)), 1));
    const auto preselected = [](CImageSelection&) { return true; };
    // clang-format off
    const struct {
        const char* what; int textures; bool yes;
        std::function<bool(CImageSelection&)> dialog;
        std::optional<Names> names; // none: the file is left as it was
        Messages log;
    } cases[] = {
        {"three of twenty", 10, true, Choose({11, 2, 5}),
         Names{"im02", "im05", "im11", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL"},
         written},
        {"answered No", 3, false, preselected, std::nullopt, {}},
        {"cancelled", 3, true, nullptr, std::nullopt, {}},
        {"more than the textures", 3, true, Choose({0, 1, 2, 3}), std::nullopt, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadOk(RavBuilder{.textures = Numbered("texture%02d", c.textures), .objects = {{}}}
                   .Build()
                   .image);
        const std::vector<std::uint8_t> before = ReadBytes(path);
        CRavTools tools;
        tools.SetOutput(LogInto(messages));
        ScriptedServices services;
        services.answerYes = c.yes;
        services.selectionDialog = c.dialog;
        tools.SetServices(services);
        tools.SetDialogs(services);
        messages.clear();

        EXPECT_EQ(tools.ImportFshNames(&rav, &archive), c.names.has_value());
        EXPECT_EQ(messages, c.log);
        EXPECT_EQ(services.questions.size(), 1U);
        if (c.names) {
            CRavFile after;
            ASSERT_TRUE(after.Load(path));
            Names names;
            for (std::int32_t k = 0; k < after.header.textureCount; ++k) {
                names.push_back(after.GetTexture(k)->name);
            }
            EXPECT_EQ(names, *c.names);
        } else {
            EXPECT_EQ(ReadBytes(path), before);
        }
        // The dialog comes only after a Yes, allowing at most one image per
        // texture, the first of them preselected.
        ASSERT_EQ(services.shownSelections.size(), c.yes ? 1U : 0U);
        if (c.yes) {
            EXPECT_EQ(services.shownSelections[0].Label(),
                      Format("%d images of %d selected for import", c.textures, c.textures));
        }
    }
}

} // namespace
