#include "gamefiles/FshFile.h"
#include "gamefiles/RavTestSupport.h"
#include "output/Format.h"
#include "support/FshBuilder.h"
#include "support/ScriptedServices.h"
#include "tools/RavTools.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <set>

namespace {

constexpr const char* kQuestion =
    "Warning! This option creates a new FSH name order in the ravfile. All texture associations "
    "may become invalid (wrong textures). Continue?";

using Dialog = std::function<bool(CImageSelection&)>;
using Names = std::vector<std::string>;

// Clicks exactly the items `chosen`, without the dialog's cap, and presses OK.
Dialog Choose(std::set<std::size_t> chosen) {
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

class ImportFshNamesTest : public ::testing::Test {
protected:
    ImportFshNamesTest() {
        const auto log = [this](const char* text, int flag) { messages.emplace_back(text, flag); };
        rav.SetOutput(log);
        tools.SetOutput(log);
        tools.SetServices(services);
    }

    // A RAV file with `textures` names long enough for any new one, and an
    // archive of `images`.
    void Load(int textures, const Names& images) {
        ravPath = dir.Write("scene.rav", RavBuilder{.textures = Numbered("texture%02d", textures),
                                                    .objects = {{.name = "Crowd"}}}
                                             .Build()
                                             .image.Bytes());
        std::vector<FshNamedImage> named;
        for (const std::string& name : images) {
            named.emplace_back(MakeFshTag(name), FshImage{.width = 8, .height = 8, .pixels = {}});
        }
        ASSERT_TRUE(
            archive.Load(dir.Write("crowd.fsh", MakeFshArchive(named, MakeFshTag("G264"))), 1));
        ASSERT_TRUE(rav.Load(ravPath));
        messages.clear();
        services = {};
    }

    Names TextureNamesOnDisk() const {
        CRavFile file;
        EXPECT_TRUE(file.Load(ravPath));
        Names names;
        for (std::int32_t k = 0; k < file.header.textureCount; ++k) {
            names.push_back(file.GetTexture(k)->name);
        }
        return names;
    }

    TempDir dir;
    ScriptedServices services;
    CRavFile rav;
    CFshFile archive;
    CRavTools tools;
    Messages messages;
    std::string ravPath;
};

// Texture k gets the k-th chosen image's name in directory order, the rest
// "NULL". Declining, cancelling or a dialog that lets through more images
// than there are textures change nothing and say nothing.
TEST_F(ImportFshNamesTest, NamesTexturesAfterTheChosenImages) {
    const Messages written{{"Succefully written texture data", 0}};
    const Names twenty = Numbered("im%02d", 20);
    const struct {
        const char* what;
        int textures;
        Names images;
        bool yes;
        Dialog dialog;
        std::optional<Names> names; // none: the file is left as it was
        Messages log;
    } cases[] = {
        {"three of twenty", 10, twenty, true, Choose({11, 2, 5}),
         Names{"im02", "im05", "im11", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL"},
         written},
        {"fewer images than textures",
         5,
         {"ab", "cdef", "ghij"},
         true,
         [](CImageSelection&) { return true; },
         Names{"ab", "cdef", "ghij", "NULL", "NULL"},
         written},
        {"none chosen", 3, twenty, true, Choose({}), Names{"NULL", "NULL", "NULL"}, written},
        {"no textures", 0, twenty, true, Choose({}), Names{}, written},
        {"answered No", 3, twenty, false, Choose({1}), std::nullopt, {}},
        {"cancelled", 3, twenty, true, nullptr, std::nullopt, {}},
        {"more than the textures", 3, twenty, true, Choose({0, 1, 2, 3}), std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load(c.textures, c.images);
        const std::vector<std::uint8_t> before = ReadBytes(ravPath);
        services.answerYes = c.yes;
        services.selectionDialog = c.dialog;
        EXPECT_EQ(tools.ImportFshNames(&rav, &archive), c.names.has_value());
        EXPECT_EQ(messages, c.log);
        EXPECT_EQ(services.questions, Names{kQuestion});
        if (c.names) {
            EXPECT_EQ(TextureNamesOnDisk(), *c.names);
        } else {
            EXPECT_EQ(ReadBytes(ravPath), before);
        }
        // The dialog opens only after a Yes, with the first min(N, T) images
        // selected and at most T allowed.
        ASSERT_EQ(services.shownSelections.size(), c.yes ? 1U : 0U);
        if (c.yes) {
            const CImageSelection& shown = services.shownSelections[0];
            const int preselected = std::min<int>(c.textures, static_cast<int>(c.images.size()));
            EXPECT_EQ(shown.MaxSelected(), c.textures);
            EXPECT_EQ(shown.Label(),
                      Format("%d images of %d selected for import", preselected, c.textures));
            EXPECT_EQ(shown.Items().size(), c.images.size());
            EXPECT_EQ(shown.Items().back().name, c.images.back());
        }
    }
}

// The writer's reason comes first; the tool's own failure line has flag 0.
TEST_F(ImportFshNamesTest, FailedWriteIsReportedWithFlagZero) {
    Load(2, {"ab"});
    services.answerYes = true;
    services.selectionDialog = Choose({0});
    std::filesystem::remove(ravPath);
    EXPECT_FALSE(tools.ImportFshNames(&rav, &archive));
    EXPECT_EQ(messages,
              (Messages{{"Error opening " + ravPath, 1}, {"Error writing texture data", 0}}));
}

} // namespace
