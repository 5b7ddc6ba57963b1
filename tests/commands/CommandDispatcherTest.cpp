#include "commands/DispatcherLog.h"
#include "support/FshBuilder.h"
#include "support/PathMarks.h"
#include "support/ScriptedServices.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class CommandDispatcherTest : public ::testing::Test {
protected:
    CommandDispatcherTest() { LogEverything(dispatcher, log); }

    bool Run(Command id, const CommandInputs& inputs) {
        log.clear();
        return dispatcher.Run(id, inputs);
    }

    TempDir dir;
    CCommandDispatcher dispatcher;
    Messages log;
};

// Each row runs on a fresh scene.rav. Only an import the filter accepted and
// the tools write the RAV file; a command that stops early writes nothing.
// Whatever happened, the model and the archive are released afterwards, a
// partly read model included. Paths are relative to the test's folder, which
// "@" stands for in the messages.
TEST_F(CommandDispatcherTest, RunsEachCommandAndReleasesWhatItLoaded) {
    ScriptedServices services;
    services.answerYes = true;
    services.selectionDialog = [](CImageSelection&) { return true; };
    dispatcher.SetServices(services);
    const auto built = SampleScene().Build();
    const std::vector<std::uint8_t>& scene = built.image.Bytes();
    ByteImage cut = built.image;
    cut.Resize(built.layout.objects[0].detail);
    dir.Write("bad.rav", cut.Bytes());
    dir.Write("crowd.fsh", MakeFshOfSizes({{"ab01", 4, 2}}));
    // Mode 0: no vertex lines; renames the first object in place.
    dir.WriteText("in.txt", "EXMODE=0\nOBJECTS=1\nObject 0:\nNAME=Field\nVERTEXES=3\nTEXTURES=1\n"
                            "NAME=grass01\n");
    const std::string damaged =
        "@bad.rav is not a valid RAV file (or a new format) [Section: Poly1]";
    // The fields of CommandInputs, with defaults for the rows to leave out.
    struct Fields {
        std::optional<CRavTools::TransformMode> transform{};
        int filterIndex = 0;
        std::string ravPath = "scene.rav", exchangePath{}, x{}, fshPath{};
    };
    const struct {
        const char* what;
        Command id;
        Fields in;
        Messages log;
        bool result;
        std::string changed = ""; // the one file written
    } cases[] = {
        // clang-format off
        {"import", Command::Import, {.exchangePath = "in.txt"},
         {{"Successful imported data... updating data", 0}, {"Successful updated data", 0}}, true,
         "scene.rav"},
        // A failed load ends the command before the filter slot is looked at.
        {"export, no RAV path", Command::Export, {.filterIndex = 99, .ravPath = "",
         .exchangePath = "out.txt"}, {{"Error opening ", 1}}, false},
        {"export, RAV bad", Command::Export, {.ravPath = "bad.rav", .exchangePath = "out.txt"},
         {{damaged, 1}}, false},
        // A filter slot that holds no filter does nothing.
        {"slot 3", Command::Export, {.filterIndex = 3, .exchangePath = "out.txt"}, {}, false},
        {"neither mode", Command::Execute, {.x = "1"}, {}, false},
        {"normalize", Command::Normalize, {}, {{"Normalizing G2 ravfile", 0},
         {"Warning! Object 0 is not a G2 Object. Skipping", 0},
         {"Successfully written 3 objects", 0}}, true, "scene.rav"},
        {"tpl without RAV", Command::CreateTpl, {.ravPath = "", .fshPath = "crowd.fsh"},
         {{"Generating TPages...", 0}, {"1 TPages required...writing file", 0}}, true, "crowd.tpl"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string rav = dir.Write("scene.rav", scene);
        fs::remove(dir.File("out.txt"));
        fs::remove(dir.File("crowd.tpl"));
        const auto path = [&](const std::string& name) {
            return name.empty() ? "" : dir.File(name);
        };
        CommandInputs inputs;
        inputs.transform = c.in.transform;
        inputs.filterIndex = c.in.filterIndex;
        inputs.ravPath = path(c.in.ravPath);
        inputs.exchangePath = path(c.in.exchangePath);
        inputs.fshPath = path(c.in.fshPath);
        inputs.x = c.in.x;
        EXPECT_EQ(Run(c.id, inputs), c.result);
        EXPECT_EQ(log, FillPaths(c.log, dir.File("")));
        EXPECT_FALSE(dispatcher.Rav().IsLoaded());
        EXPECT_EQ(dispatcher.Rav().header.objectCount, 0);
        EXPECT_FALSE(dispatcher.Fsh().IsLoaded());
        EXPECT_EQ(ReadBytes(rav) != scene, c.changed == "scene.rav");
        EXPECT_EQ(fs::exists(dir.File("out.txt")), c.changed == "out.txt");
        EXPECT_EQ(fs::exists(dir.File("crowd.tpl")), c.changed == "crowd.tpl");
    }
}

} // namespace
