#include "gamefiles/FshFile.h"
#include "gamefiles/RavTestSupport.h"
#include "output/Format.h"
#include "support/FshBuilder.h"
#include "support/InChild.h"
#include "support/ScriptedServices.h"
#include "tools/RavTools.h"

#include <filesystem>
#include <functional>
#include <tuple>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

struct Image {
    const char* name;
    std::uint16_t width, height;
};

bool AcceptAll(CImageSelection&) {
    return true;
}

bool AcceptNone(CImageSelection& selection) {
    for (std::size_t i = 0; i < selection.Items().size(); ++i) {
        selection.SetSelected(i, false);
    }
    return true;
}

class CreateTplLayoutTest : public ::testing::Test {
protected:
    CreateTplLayoutTest() {
        const auto log = [this](const char* text, int flag) { messages.emplace_back(text, flag); };
        archive.SetOutput(log);
        tools.SetOutput(log);
        tools.SetServices(services);
        services.selectionDialog = AcceptAll;
    }

    // Writes and loads an archive of `images` named `name`.
    void Load(const std::string& name, const std::vector<Image>& images) {
        std::vector<FshNamedImage> named;
        for (const auto& [image, width, height] : images) {
            named.emplace_back(MakeFshTag(image),
                               FshImage{.width = width, .height = height, .pixels = {}});
        }
        path = dir.Write(name, MakeFshArchive(named, MakeFshTag("G264")));
        ASSERT_TRUE(archive.Load(path, 1));
        messages.clear();
    }

    // The number of files in the folder, the archive included.
    [[nodiscard]] std::ptrdiff_t FileCount() const {
        const std::filesystem::directory_iterator files(dir.Path());
        return std::distance(begin(files), end(files));
    }

    TempDir dir;
    ScriptedServices services;
    CFshFile archive;
    CRavTools tools;
    Messages messages;
    std::string path;
};

// The layouts in tests/data/tpl, byte for byte; an earlier, longer file of
// the same name is replaced.
TEST_F(CreateTplLayoutTest, WritesTheGoldenLayouts) {
    const struct {
        const char* archive;
        std::vector<Image> images;
        bool (*dialog)(CImageSelection&);
        const char* golden;
        int pages;
    } cases[] = {
        {"two-pages.fsh",
         {{"big0", 256, 256}, {"sm01", 64, 64}, {"half", 256, 128}},
         AcceptAll,
         "two-pages.tpl",
         2},
        {"column-gap.fsh",
         {{"aa", 50, 64}, {"bb", 1, 128}, {"cc", 51, 1}},
         AcceptAll,
         "column-gap.tpl",
         1},
        {"equal-areas.fsh",
         {{"a", 2, 2}, {"b", 2, 2}, {"c", 2, 4}},
         AcceptAll,
         "equal-areas.tpl",
         1},
        {"quarters.fsh",
         {{"q1", 128, 128}, {"q2", 128, 128}, {"q3", 128, 128}, {"q4", 128, 128}, {"q5", 128, 128}},
         AcceptAll,
         "quarters.tpl",
         2},
        // Only the last three characters are replaced.
        {"none.FSH", {{"q1", 128, 128}}, AcceptNone, "none.tpl", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        Load(c.archive, c.images);
        const std::string tpl = dir.Write(c.golden, std::vector<std::uint8_t>(5000, 'x'));
        services.selectionDialog = c.dialog;
        EXPECT_TRUE(tools.CreateTplLayout(&archive));
        EXPECT_EQ(messages, (Messages{{"Generating TPages...", 0},
                                      {Format("%d TPages required...writing file", c.pages), 0}}));
        EXPECT_EQ(ReadText(tpl), ReadText(std::string(POLYPORT_TEST_DATA "/tpl/") + c.golden));
        EXPECT_EQ(FileCount(), 2);
        std::filesystem::remove(tpl);
        std::filesystem::remove(path);
    }
}

// Nothing is written when the user cancels, when an image is larger than a
// page (each one named), or when the archive or the layout cannot be opened.
TEST_F(CreateTplLayoutTest, StopsBeforeWritingAnythingWrong) {
    const std::vector<Image> fine{{"ok", 10, 10}};
    const std::string tpl = dir.File("crowd.tpl");
    const struct {
        const char* what;
        std::vector<Image> images;
        std::function<void()> before;
        bool (*dialog)(CImageSelection&);
        Messages log;
    } cases[] = {
        {"cancelled", fine, [] {}, nullptr, {}},
        {"too large",
         {{"wide", 257, 10}, {"ok", 10, 10}, {"full", 256, 256}, {"tall", 10, 300}},
         [] {},
         AcceptAll,
         {{"Error! Texture wide is larger than 256 pixels (width and/or height) (257 x 10 px). "
           "Aborting",
           1},
          {"Error! Texture tall is larger than 256 pixels (width and/or height) (10 x 300 px). "
           "Aborting",
           1}}},
        {"archive gone",
         fine,
         [&] { std::filesystem::remove(path); },
         AcceptAll,
         {{"Error opening @ for reading", 1}}},
        {"layout is a folder",
         fine,
         [&] { std::filesystem::create_directory(tpl); },
         AcceptAll,
         {{"Generating TPages...", 0},
          {"1 TPages required...writing file", 0},
          {"Error opening " + tpl + " for writing", 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load("crowd.fsh", c.images);
        c.before();
        services.selectionDialog = c.dialog;
        EXPECT_FALSE(tools.CreateTplLayout(&archive));
        Messages expected = c.log;
        for (auto& [text, flag] : expected) {
            if (const std::size_t at = text.find('@'); at != std::string::npos) {
                text.replace(at, 1, path);
            }
        }
        EXPECT_EQ(messages, expected);
        EXPECT_FALSE(std::filesystem::is_regular_file(tpl));
        std::filesystem::remove(tpl);
    }
}

// The layout's name comes from the whole archive path; one that would be
// the archive itself, or that has no three characters to replace, is refused
// before anything is chosen.
TEST_F(CreateTplLayoutTest, RefusesLayoutPathsItCannotUse) {
    Load("crowd.tpl", {{"ok", 10, 10}});
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    EXPECT_FALSE(tools.CreateTplLayout(&archive));
    EXPECT_EQ(messages, (Messages{{"Error! The TPL file " + path +
                                       " would replace the archive itself. "
                                       "Aborting",
                                   1}}));
    EXPECT_EQ(ReadBytes(path), bytes);

    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    for (const std::string name : {"ab", "abc"}) {
        Load(name, {{"ok", 10, 10}});
        ASSERT_TRUE(archive.Load(name, 1));
        const bool done = tools.CreateTplLayout(&archive);
        EXPECT_EQ(done, name == "abc");
        EXPECT_EQ(std::filesystem::exists("tpl"), done);
        if (!done) {
            EXPECT_EQ(messages, (Messages{{"Error! Cannot name a TPL file after ab: the path is "
                                           "shorter than three characters",
                                           1}}));
        }
    }
    std::filesystem::current_path(home);
    EXPECT_EQ(services.shownSelections.size(), 1U);
}

#ifndef _WIN32
// A layout cut short by a full disk is reported and removed, never left as
// if it were whole.
TEST_F(CreateTplLayoutTest, RemovesALayoutItCouldNotWriteWhole) {
    Load("crowd.fsh", {{"q1", 128, 128}, {"q2", 128, 128}, {"q3", 128, 128}});
    const std::string tpl = dir.File("crowd.tpl");
    EXPECT_TRUE(InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        return !tools.CreateTplLayout(&archive) && !std::filesystem::exists(tpl) &&
               messages.back() == std::pair<std::string, int>{"Error writing " + tpl, 1};
    })) << "a cut-off layout was reported as written or left behind";
}
#endif

} // namespace
