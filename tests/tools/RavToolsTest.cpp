#include "tools/RavTools.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/RavTestSupport.h"
#include "output/Format.h"
#include "support/FshBuilder.h"
#include "support/PathMarks.h"
#include "support/ScriptedServices.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <set>

namespace {

namespace fs = std::filesystem;
using Mode = CRavTools::TransformMode;
using Names = std::vector<std::string>;
using Dialog = std::function<bool(CImageSelection&)>;

// The tools, the RAV model and the archive write into one log, as in the
// window; the dialogs are scripted.
class RavToolsTest : public RavFileTest {
protected:
    RavToolsTest() {
        tools.SetOutput(LogInto(messages));
        tools.SetServices(services);
        tools.SetDialogs(services);
        archive.SetOutput(LogInto(messages));
    }

    void Load(const RavBuilder& scene) { LoadOk(scene.Build().image); }

    // Object `i` as it is on disk now.
    RavObject OnDisk(std::int32_t i) const {
        CRavFile file;
        EXPECT_TRUE(file.Load(path));
        return *file.GetObject(i);
    }

    // Writes an archive of `images` as `name` in the test's folder and loads it.
    void LoadArchive(const std::string& name, const std::vector<FshSize>& images) {
        fshPath = dir.Write(name, MakeFshOfSizes(images));
        ASSERT_TRUE(archive.Load(fshPath, 1));
        messages.clear();
    }

    CRavTools tools;
    ScriptedServices services;
    CFshFile archive;
    std::string fshPath;
};

using ImportFshNamesTest = RavToolsTest;
using CreateTplLayoutTest = RavToolsTest;

// Clicks exactly the items `chosen`, without the dialog's cap, and presses OK.
Dialog Choose(std::set<std::size_t> chosen) {
    return [chosen](CImageSelection& selection) {
        for (std::size_t i = 0; i < selection.Items().size(); ++i) {
            selection.SetSelected(i, chosen.contains(i));
        }
        return true;
    };
}

// One G2 object with the colour 200, 255, 10 (bytes 2, 1, 0) and alpha 77 at
// each corner, next to a kind-1 object with four corners but three colours
// far outside, which is neither shaded nor counted in the extent.
TEST_F(RavToolsTest, ShadeG2DarkensByDistanceWithTheStoredArithmetic) {
    using Corners = std::array<std::pair<float, float>, 4>; // x, z
    using Bytes = std::array<int, 3>;                       // colour bytes 2, 1, 0
    const Corners example{{{3500, 0}, {4500, 5500}, {-2000, 3000}, {0, -5500}}};
    const Bytes same{200, 255, 10}, half{100, 127, 5}, white{255, 255, 255};
    const Bytes edge100{199, 254, 9};
    const std::array<Bytes, 4> unchanged{same, same, same, same};
    const Messages shaded{{"Successfully shaded 2 G2 objects", 0}};
    const Messages range{{"Valid Shade % is between 0 and 100, type -1 for reset the shades", 1}};
    // clang-format off
    const struct {
        const char* what; Corners corners; float shade; std::array<Bytes, 4> colours; Messages log;
    } cases[] = {
        // 0.01 in single precision, the product in double: 0.01 as a double
        // gives 110 and 20, 25, 1.
        {"10", example, 10, {{{109, 140, 5}, {19, 25, 0}, same, {19, 25, 0}}}, shaded},
        {"100, clamped", example, 100, {{edge100, edge100, same, edge100}}, shaded},
        {"reset", example, -1, {{white, white, white, white}},
         {{"Successfully restored 2 G2 objects", 0}}},
        // A product in single precision would round this to exactly 1.
        {"just above 100", example, std::nextafter(100.f, 200.f), unchanged, range},
        {"not a number", example, std::nanf(""), unchanged, range},
        // MX < 2500: the x factor is negative; every corner gets the darkest.
        {"x extent below 2500", {{{2000, 0}, {1000, 0}, {0, 0}, {-2000, 3500}}}, 50,
         {{half, half, half, half}}, shaded},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RavBuilder::Object g2{.name = "Crowd"};
        for (const auto& [x, z] : c.corners) {
            g2.vertices.push_back({x, 7, z});
            g2.colours.push_back({10, 255, 200, 77});
        }
        const std::vector<RavColour> three{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
        Load(RavBuilder{
            .objects = {
                g2, {.name = "Far", .vertices = {{9000, 0, 9000}, {}, {}, {}}, .colours = three}}});
        EXPECT_EQ(tools.ShadeG2(&rav, c.shade), c.log != range);
        EXPECT_EQ(messages, c.log);
        for (std::size_t k = 0; k < 4; ++k) {
            const RavColour colour = OnDisk(0).colours[k];
            EXPECT_EQ((Bytes{colour[2], colour[1], colour[0]}), c.colours[k]) << "corner " << k;
            EXPECT_EQ(colour[3], 77);
        }
        EXPECT_EQ(OnDisk(1).colours, three);
    }
}

Names Numbered(const char* format, int count) {
    Names names;
    for (int i = 0; i < count; ++i) {
        names.push_back(Format(format, i));
    }
    return names;
}

// Texture k gets the k-th chosen image's name in directory order, the rest
// "NULL". Declining, cancelling, or a dialog that lets through more images
// than there are textures, changes nothing and says nothing.
TEST_F(ImportFshNamesTest, NamesTexturesAfterTheChosenImages) {
    const Names twenty = Numbered("im%02d", 20); // the sizes refer to these names
    std::vector<FshSize> images;
    for (const std::string& name : twenty) {
        images.push_back({name});
    }
    LoadArchive("twenty.fsh", images);
    const Messages written{{"Succefully written texture data", 0}};
    // clang-format off
    const struct {
        const char* what; int textures; bool yes; Dialog dialog;
        std::optional<Names> names; // none: the file is left as it was
    } cases[] = {
        {"three of twenty", 10, true, Choose({11, 2, 5}),
         Names{"im02", "im05", "im11", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL"}},
        {"answered No", 3, false, [](CImageSelection&) { return true; }, std::nullopt},
        {"cancelled", 3, true, nullptr, std::nullopt},
        {"more than the textures", 3, true, Choose({0, 1, 2, 3}), std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load(RavBuilder{.textures = Numbered("texture%02d", c.textures), .objects = {{}}});
        const std::vector<std::uint8_t> before = ReadBytes(path);
        services = ScriptedServices{};
        services.answerYes = c.yes;
        services.selectionDialog = c.dialog;
        EXPECT_EQ(tools.ImportFshNames(&rav, &archive), c.names.has_value());
        EXPECT_EQ(messages, c.names ? written : Messages{});
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

// The layouts in tests/data/tpl, byte for byte; an earlier, longer file of
// the same name is replaced. What lies beyond the end of the archive reads
// as zeros, and such images are still laid out.
TEST_F(CreateTplLayoutTest, WritesTheGoldenLayouts) {
    const Dialog all = [](CImageSelection&) { return true; };
    const Dialog none = [](CImageSelection& selection) {
        selection.SetSelected(0, false);
        return true;
    };
    // clang-format off
    const struct {
        const char* archive; std::vector<FshSize> images; Dialog dialog; int pages;
        bool cut = false;
    } cases[] = {
        {"two-pages.fsh", {{"big0", 256, 256}, {"sm01", 64, 64}, {"half", 256, 128}}, all, 2},
        // Only the last three characters are replaced.
        {"none.FSH", {{"q1", 128, 128}}, none, 1},
        // Cut after the width of "half"; a name without an extension gets one.
        {"cut", {{"ok", 16, 8}, {"half", 200, 100}, {"gone", 300, 300}}, all, 1, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        LoadArchive(c.archive, c.images);
        if (c.cut) {
            fs::resize_file(fshPath, archive.GetEntry(1)->offset + 6);
        }
        const std::string golden = fs::path(c.archive).stem().string() + ".tpl";
        const std::string tpl = dir.Write(golden, std::vector<std::uint8_t>(5000, 'x'));
        services.selectionDialog = c.dialog;
        EXPECT_TRUE(tools.CreateTplLayout(&archive));
        EXPECT_EQ(messages, (Messages{{"Generating TPages...", 0},
                                      {Format("%d TPages required...writing file", c.pages), 0},
                                      {"TPL layout written to " + tpl, 0}}));
        EXPECT_EQ(ReadText(tpl), ReadText(POLYPORT_TEST_DATA "/tpl/" + golden));
    }
}

// Nothing is written when the user cancels, when an image is larger than a
// page (each one named), when the layout cannot be opened, or when it would
// be the archive itself (here by a hard link). "@" stands for the archive's
// path, "#" for the layout's.
TEST_F(CreateTplLayoutTest, WritesNothingWrong) {
    const std::string tooLarge =
        "Error! Texture %s is larger than 256 pixels (width and/or height) (%d x %d px). Aborting";
    const std::vector<FshSize> fine{{"ok", 10, 10}};
    const std::string tpl = dir.File("crowd.tpl");
    // clang-format off
    const struct {
        const char* what; std::vector<FshSize> images; bool cancel;
        std::function<void()> before; Messages log;
    } cases[] = {
        {"cancelled", fine, true, [] {}, {}},
        {"too large", {{"wide", 257, 10}, {"ok", 10, 10}, {"full", 256, 256}, {"tall", 10, 300}},
         false, [] {}, {{Format(tooLarge.c_str(), "wide", 257, 10), 1},
                        {Format(tooLarge.c_str(), "tall", 10, 300), 1}}},
        {"layout is a folder", fine, false, [&] { fs::create_directory(tpl); },
         {{"Generating TPages...", 0}, {"1 TPages required...writing file", 0},
          {"Error opening # for writing", 1}, {"Reason: Is a directory", 1}}},
        {"layout is the archive", fine, false, [&] { fs::create_hard_link(fshPath, tpl); },
         {{"Error! The TPL file # would replace the archive itself. Aborting", 1}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadArchive("crowd.fsh", c.images);
        const std::vector<std::uint8_t> bytes = ReadBytes(fshPath);
        c.before();
        const bool existed = fs::exists(tpl);
        services.selectionDialog = c.cancel ? Dialog{} : [](CImageSelection&) { return true; };
        EXPECT_FALSE(tools.CreateTplLayout(&archive));
        EXPECT_EQ(messages, FillPaths(c.log, fshPath, tpl));
        EXPECT_EQ(fs::exists(tpl), existed);
        EXPECT_EQ(ReadBytes(fshPath), bytes);
        fs::remove(tpl);
    }
}

} // namespace
