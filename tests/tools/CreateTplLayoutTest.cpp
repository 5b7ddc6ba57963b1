#include "gamefiles/FshFile.h"
#include "gamefiles/RavTestSupport.h"
#include "output/Format.h"
#include "support/FshBuilder.h"
#include "support/PathMarks.h"
#include "support/ScriptedServices.h"
#include "tools/RavTools.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

using Dialog = bool (*)(CImageSelection&);

bool All(CImageSelection&) {
    return true;
}

bool None(CImageSelection& selection) {
    selection.SetSelected(0, false);
    return true;
}

class CreateTplLayoutTest : public ::testing::Test {
protected:
    CreateTplLayoutTest() {
        archive.SetOutput(LogInto(messages));
        tools.SetOutput(LogInto(messages));
        tools.SetServices(services);
        tools.SetDialogs(services);
    }

    // Writes an archive of `images` as `name` in the test's folder and loads it.
    void Load(const std::string& name, const std::vector<FshSize>& images) {
        path = dir.Write(name, MakeFshOfSizes(images));
        ASSERT_TRUE(archive.Load(path, 1));
        messages.clear();
    }

    TempDir dir;
    ScriptedServices services;
    CFshFile archive;
    CRavTools tools;
    Messages messages;
    std::string path;
};

// The layouts in tests/data/tpl, byte for byte; an earlier, longer file of
// the same name is replaced. What lies beyond the end of the archive reads
// as zeros, and such images are still laid out.
TEST_F(CreateTplLayoutTest, WritesTheGoldenLayouts) {
    // clang-format off
    const struct {
        const char* archive; std::vector<FshSize> images; Dialog dialog; int pages;
        bool cut = false;
    } cases[] = {
        {"two-pages.fsh", {{"big0", 256, 256}, {"sm01", 64, 64}, {"half", 256, 128}}, All, 2},
        // Only the last three characters are replaced.
        {"none.FSH", {{"q1", 128, 128}}, None, 1},
        // Cut after the width of "half".
        {"cut.fsh", {{"ok", 16, 8}, {"half", 200, 100}, {"gone", 300, 300}}, All, 1, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        Load(c.archive, c.images);
        if (c.cut) {
            fs::resize_file(path, archive.GetEntry(1)->offset + 6);
        }
        const std::string golden = fs::path(c.archive).stem().string() + ".tpl";
        const std::string tpl = dir.Write(golden, std::vector<std::uint8_t>(5000, 'x'));
        services.selectionDialog = c.dialog;
        EXPECT_TRUE(tools.CreateTplLayout(&archive));
        EXPECT_EQ(messages, (Messages{{"Generating TPages...", 0},
                                      {Format("%d TPages required...writing file", c.pages), 0}}));
        EXPECT_EQ(ReadText(tpl), ReadText(POLYPORT_TEST_DATA "/tpl/" + golden));
    }
}

// Nothing is written when the user cancels, when an image is larger than a
// page (each one named), when the archive or the layout cannot be opened,
// or when the layout would be the archive itself (here by a hard link).
// "@" stands for the archive's path, "#" for the layout's.
TEST_F(CreateTplLayoutTest, WritesNothingWrong) {
    const std::string tooLarge =
        "Error! Texture %s is larger than 256 pixels (width and/or height) (%d x %d px). Aborting";
    const std::vector<FshSize> fine{{"ok", 10, 10}};
    const std::string tpl = dir.File("crowd.tpl");
    // clang-format off
    const struct {
        const char* what; std::string name; std::vector<FshSize> images; Dialog dialog;
        std::function<void()> before; Messages log;
    } cases[] = {
        {"cancelled", "crowd.fsh", fine, nullptr, [] {}, {}},
        {"too large", "crowd.fsh", {{"wide", 257, 10}, {"ok", 10, 10}, {"full", 256, 256},
                                    {"tall", 10, 300}}, All, [] {},
         {{Format(tooLarge.c_str(), "wide", 257, 10), 1},
          {Format(tooLarge.c_str(), "tall", 10, 300), 1}}},
        {"layout is a folder", "crowd.fsh", fine, All, [&] { fs::create_directory(tpl); },
         {{"Generating TPages...", 0}, {"1 TPages required...writing file", 0},
          {"Error opening # for writing", 1}}},
        {"layout is the archive", "crowd.fsh", fine, All, [&] { fs::create_hard_link(path, tpl); },
         {{"Error! The TPL file # would replace the archive itself. Aborting", 1}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load(c.name, c.images);
        const std::vector<std::uint8_t> bytes = ReadBytes(path);
        c.before();
        const bool existed = fs::exists(tpl);
        services.selectionDialog = c.dialog;
        EXPECT_FALSE(tools.CreateTplLayout(&archive));
        EXPECT_EQ(messages, FillPaths(c.log, path, tpl));
        EXPECT_EQ(fs::exists(tpl), existed);
        EXPECT_EQ(fs::exists(path) ? ReadBytes(path) : bytes, bytes);
        fs::remove(tpl);
    }
}

} // namespace
