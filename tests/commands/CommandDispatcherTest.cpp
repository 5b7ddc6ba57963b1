#include "commands/CommandDispatcher.h"
#include "gamefiles/RavTestSupport.h"
#include "support/FshBuilder.h"
#include "support/PathMarks.h"
#include "support/ScriptedServices.h"

#include <filesystem>

namespace {

// A dispatcher whose workers and summaries all write into one list, as the
// window's log pane receives them.
class CommandDispatcherTest : public ::testing::Test {
protected:
    CommandDispatcherTest() {
        for (CMessageOutput* worker : dispatcher.Workers()) {
            worker->SetOutput([this](const char* text, int flag) { log.emplace_back(text, flag); });
        }
        dispatcher.SetLog([this](const char* text, int flag) { log.emplace_back(text, flag); });
        log.clear();
    }

    bool Run(int id, int filter, const std::string& ravPath, const std::string& exchangePath) {
        CommandInputs inputs;
        inputs.filterIndex = filter;
        inputs.ravPath = ravPath;
        inputs.exchangePath = exchangePath;
        return Run(id, inputs);
    }
    bool Run(int id, const CommandInputs& inputs) {
        log.clear();
        return dispatcher.Run(id, inputs);
    }

    TempDir dir;
    CCommandDispatcher dispatcher;
    Messages log;
};

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(std::filesystem::path(std::u8string(path.begin(), path.end())));
}

// Only an import the filter accepted writes the RAV file; a command that
// stops early writes no exchange file either. Whatever happened, the model
// is released afterwards, a partly read one included.
TEST_F(CommandDispatcherTest, WritesOnlyWhatASuccessfulCommandWrites) {
    const ByteImage scene = SampleScene().Build().image;
    ByteImage cut = SampleScene().Build().image;
    cut.Resize(SampleScene().Build().layout.objects[0].detail);
    const std::string rav = dir.Write("scene.rav", scene.Bytes());
    const std::string damaged = dir.Write("damaged.rav", cut.Bytes());
    const std::string missing = dir.File("missing.rav");
    const std::string out = dir.File("out.txt");
    const std::string absent = dir.File("absent.txt");
    const std::string noFolder = dir.File("no/out.txt");
    // Mode 0: no vertex lines; renames the first object in place.
    const std::string text =
        dir.Write("in.txt", Bytes("EXMODE=0\nOBJECTS=1\nObject 0:\nNAME=Field\n"
                                  "VERTEXES=3\nTEXTURES=1\nNAME=grass01\n"));
    const std::string damagedMessage =
        damaged + " is not a valid RAV file (or a new format) [Section: Poly4]";

    // An accepted import renames the first object in the RAV file; an
    // accepted export writes `out`. Nothing else writes anything.
    const struct {
        const char* what;
        int id;
        std::string ravPath, exchangePath;
        Messages log;
        bool result;
    } cases[] = {
        // clang-format off
        {"export", kCommandExport, rav, out, {{"Successful exported data", 0}}, true},
        {"export, folder missing", kCommandExport, rav, noFolder,
         {{"Error opening " + noFolder, 1}, {"Error exporting data", 0}}, false},
        {"export, no exchange path", kCommandExport, rav, "", {{"Error exporting data", 0}}, false},
        {"import", kCommandImport, rav, text,
         {{"Successful imported data... updating data", 0}, {"Successful updated data", 0}}, true},
        {"import, exchange missing", kCommandImport, rav, absent,
         {{"Error opening " + absent, 1}, {"Error while importing data", 0}}, false},
        {"import, no exchange path", kCommandImport, rav, "", {{"Error while importing data", 0}},
         false},
        {"export, no RAV path", kCommandExport, "", out, {{"Error opening ", 1}}, false},
        {"import, no RAV path", kCommandImport, "", text, {{"Error opening ", 1}}, false},
        {"export, RAV missing", kCommandExport, missing, out, {{"Error opening " + missing, 1}},
         false},
        {"import, RAV missing", kCommandImport, missing, text, {{"Error opening " + missing, 1}},
         false},
        {"export, RAV damaged", kCommandExport, damaged, out, {{damagedMessage, 1}}, false},
        {"import, RAV damaged", kCommandImport, damaged, text, {{damagedMessage, 1}}, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string ravBefore = Exists(c.ravPath) ? ReadText(c.ravPath) : "";
        std::filesystem::remove(out);
        EXPECT_EQ(Run(c.id, 0, c.ravPath, c.exchangePath), c.result);
        EXPECT_EQ(log, c.log);
        EXPECT_FALSE(dispatcher.Rav().IsLoaded());
        EXPECT_EQ(dispatcher.Rav().header.objectCount, 0);
        EXPECT_EQ(dispatcher.Rav().header.textureCount, 0);
        EXPECT_EQ(Exists(out), c.result && c.id == kCommandExport);
        if (c.result && c.id == kCommandImport) {
            CRavFile reloaded;
            ASSERT_TRUE(reloaded.Load(c.ravPath));
            EXPECT_EQ(reloaded.GetObject(0)->name, "Field");
            dir.Write("scene.rav", scene.Bytes());
        } else if (Exists(c.ravPath)) {
            EXPECT_EQ(ReadText(c.ravPath), ravBefore);
        }
    }
    EXPECT_FALSE(Exists(missing));
}

// Ids of other buttons, and filter slots that hold no filter, do nothing:
// no message, no file, false. A slot is only looked at after the load.
TEST_F(CommandDispatcherTest, OtherIdsAndEmptyFilterSlotsDoNothing) {
    const std::string rav = dir.Write("scene.rav", SampleScene().Build().image.Bytes());
    const std::string ravBefore = ReadText(rav);
    const std::string text = dir.File("scene.txt");
    // Command id and filter index.
    // clang-format off
    const std::pair<int, int> cases[] = {
        {0, 0}, {1049, 0}, {1057, 0}, {-1, 0},
        {kCommandExport, 3}, {kCommandExport, -1}, {kCommandExport, 99}, {kCommandImport, 3},
        {kCommandImport, -1}, {kCommandImport, 99}};
    // clang-format on
    for (const auto& [id, filter] : cases) {
        SCOPED_TRACE(testing::Message() << id << " filter " << filter);
        EXPECT_FALSE(Run(id, filter, rav, text));
        EXPECT_EQ(log, Messages{});
        EXPECT_FALSE(Exists(text));
        EXPECT_EQ(ReadText(rav), ravBefore);
        EXPECT_FALSE(dispatcher.Rav().IsLoaded());
    }
    // With a RAV file that cannot be loaded, the slot is never reached.
    EXPECT_FALSE(Run(kCommandExport, 99, "", text));
    EXPECT_EQ(log, (Messages{{"Error opening ", 1}}));
}

// A path longer than 259 characters is used whole: cut short it could name
// another file, which an export would overwrite.
TEST_F(CommandDispatcherTest, TakesPathsWhole) {
    const std::string base = dir.File("");
    const std::string prefix = base + std::string(259 - base.size() - 4, 'p') + ".txt";
    const std::string other = dir.Write(prefix.substr(base.size()), Bytes("keep me"));
    const std::string folder(200, 'd');
    std::filesystem::create_directory(dir.Path() / folder);
    const std::string rav = dir.Write(folder + "/" + std::string(100, 'r') + ".rav",
                                      SampleScene().Build().image.Bytes());
    const std::string text = prefix + "-and-more.txt";
    ASSERT_GT(rav.size(), 259U);
    EXPECT_TRUE(Run(kCommandExport, 0, rav, text));
    EXPECT_TRUE(Run(kCommandImport, 0, rav, text));
    EXPECT_EQ(ReadText(other), "keep me");
    EXPECT_TRUE(Exists(text));
}

// The tool commands load what they need, hand it to the tools, and release
// it on every path, the RAV model before the archive. "@" stands for the RAV
// path, "#" for the FSH path.
TEST_F(CommandDispatcherTest, RunsTheToolCommands) {
    ScriptedServices services;
    services.answerYes = true;
    services.selectionDialog = [](CImageSelection&) { return true; };
    dispatcher.SetServices(services);
    // The window routes the workers' output in this order.
    Messages notices;
    CCommandDispatcher fresh;
    for (CMessageOutput* worker : fresh.Workers()) {
        worker->SetOutput(
            [&notices](const char* text, int flag) { notices.emplace_back(text, flag); });
    }
    notices.resize(3);
    EXPECT_EQ(notices, (Messages{{"Output from RAVfile rerooted to this output", 0},
                                 {"Output from FSHfile rerooted to this output", 0},
                                 {"Output from RavTools rerooted to this output", 0}}));
    // Object 3 is a white G2 crowd at the origin, so the shade gives every
    // corner the darkest colour: 255 * 12.5 % reads as 31.
    RavBuilder crowd = SampleScene();
    crowd.objects.push_back({.name = "Crowd",
                             .vertices = {{}, {}, {}, {}},
                             .uvs = {{}, {}, {}, {}},
                             .colours = std::vector<RavBuilder::Colour>(4, {255, 255, 255, 255})});
    const std::vector<std::uint8_t> scene = crowd.Build().image.Bytes();
    const std::string fsh = dir.Write(
        "crowd.fsh",
        MakeFshArchive({{MakeFshTag("ab01"), FshImage{.width = 4, .height = 2, .pixels = {}}}},
                       MakeFshTag("G264")));
    const std::string missing = dir.File("missing.fsh");
    const std::string tpl = dir.File("crowd.tpl");
    const std::string written = "Successfully written 4 objects";
    const struct {
        const char* what;
        int id;
        int mode;
        std::string rav, fsh, shade;
        Messages log;
        bool result, changed;
        std::string firstTexture = "grass01";
        float firstX = 10;
        int crowdByte = 255;
    } cases[] = {
        // clang-format off
        {"move", kCommandExecute, kTransformMove, "@", "", "",
         {{"Moving all vertexes in @", 0}, {written, 0}}, true, true, "grass01", 11.5f},
        {"scale", kCommandExecute, kTransformScale, "@", "", "",
         {{"Scaling all vertexes in @", 0}, {written, 0}}, true, true, "grass01", 15},
        {"neither mode", kCommandExecute, kTransformNone, "@", "", "", {}, false, false},
        {"normalize", kCommandNormalize, 0, "@", "", "",
         {{"Normalizing G2 ravfile", 0}, {"Warning! Object 0 is not a G2 Object. Skipping", 0},
          {written, 0}}, true, true},
        {"shade", kCommandShader, 0, "@", "", "12.5%",
         {{"Successfully shaded 4 G2 objects", 0}}, true, true, "grass01", 10, 31},
        {"import names", kCommandImportNames, 0, "@", "#", "",
         {{"Succefully written texture data", 0}}, true, true, "ab01"},
        {"import names, bad archive", kCommandImportNames, 0, "@", missing, "",
         {{"Can't open " + missing + " for reading", 0}}, false, false},
        {"import names, bad RAV", kCommandImportNames, 0, "", missing, "",
         {{"Error opening ", 1}}, false, false},
        {"tpl without RAV", kCommandCreateTpl, 0, "", "#", "",
         {{"Generating TPages...", 0}, {"1 TPages required...writing file", 0}}, true, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string rav = dir.Write("scene.rav", scene);
        CommandInputs inputs;
        inputs.transformMode = c.mode;
        inputs.ravPath = FillPaths(c.rav, rav, fsh);
        inputs.fshPath = FillPaths(c.fsh, rav, fsh);
        inputs.x = "1.5abc";
        inputs.y = "2";
        inputs.z = "3";
        inputs.shade = c.shade;
        std::filesystem::remove(tpl);
        EXPECT_EQ(Run(c.id, inputs), c.result);
        EXPECT_EQ(log, FillPaths(c.log, rav, fsh));
        EXPECT_FALSE(dispatcher.Rav().IsLoaded());
        EXPECT_FALSE(dispatcher.Fsh().IsLoaded());
        EXPECT_EQ(ReadBytes(rav) != scene, c.changed);
        CRavFile after;
        ASSERT_TRUE(after.Load(rav));
        EXPECT_EQ(after.GetTexture(0)->name, c.firstTexture);
        EXPECT_EQ(after.GetObject(0)->vertices[0].x, c.firstX);
        EXPECT_EQ(after.GetObject(3)->colours[0][0], c.crowdByte);
        EXPECT_EQ(Exists(tpl), c.id == kCommandCreateTpl && c.result);
    }
}

TEST(CommandInputs, ReadsNumberFieldsAsAtofDoes) {
    const std::pair<const char*, float> cases[] = {
        {"1.5abc", 1.5f}, {"abc", 0}, {"  -2e1", -20}, {" 0x10", 16}, {"", 0}, {"-.25,1", -0.25f},
    };
    for (const auto& [text, value] : cases) {
        CommandInputs inputs;
        inputs.x = text;
        inputs.z = text;
        inputs.shade = text;
        EXPECT_EQ(inputs.Vector(), (std::array<float, 3>{value, 0, value})) << text;
        EXPECT_EQ(inputs.Shade(), value) << text;
    }
}

} // namespace
