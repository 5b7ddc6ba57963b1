#include "commands/DispatcherLog.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/RavTestSupport.h"
#include "support/FshBuilder.h"
#include "support/InChild.h"
#include "support/PathMarks.h"
#include "support/ScriptedServices.h"

#include <filesystem>
#include <functional>
#include <set>
#ifndef _WIN32
#include <csignal>
#include <cstdlib>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

// A G2 quad of the crowd, 10 x 5 at x, 4000 behind the pitch, with the box
// Save computes, so that a save of an unchanged model changes no byte.
RavBuilder::Object Quad(std::string name, float x, std::int32_t texture) {
    const RavBuilder::Colour grey{200, 200, 200, 255};
    return {.name = std::move(name),
            .vertices = {{x, 0, 4000}, {x + 10, 0, 4000}, {x + 10, 5, 4000}, {x, 5, 4000}},
            .uvs = {{0.5f, 0}, {1, 0}, {1, 1}, {0, 1}},
            .colours = {grey, grey, grey, grey},
            .textureRecords = {RavBuilder::Record(texture, {0, 1, 2, 3})},
            .boxMin = {-2048, -2048, -2048},
            .boxMax = {x + 2058, 2053, 6048}};
}

// Something for every filter and tool to write; the names hold Latin-1 and
// UTF-8 bytes.
RavBuilder Crowd() {
    return {
        .textures = {"Trib\xFCne", "Ger\xC3\xA4t"},
        .objects = {Quad("Feld", 0, 0), Quad("Trib\xFCne", 100, 0), Quad("Tor\xC3\xA9", 200, 1)}};
}

// One command and the files it gets. In paths and messages "@" stands for
// the test's folder. `before` runs before the command, `during` in the
// image selection dialog, after the loads and before anything is written.
struct Row {
    const char* what;
    Command id;
    int filter = 0;
    std::string exchange{};
    std::optional<CRavTools::TransformMode> mode = CRavTools::TransformMode::Move;
    std::string x = "1";
    std::string rav = "@scene.rav";
    std::string fsh = "@crowd.fsh";
    std::function<void()> before{};
    std::function<void()> during{};
    Messages log{};
};

// Every row starts from the crowd scene and an archive of two images whose
// names differ from the scene's textures.
class FaultTest : public ::testing::Test {
protected:
    FaultTest() {
        LogEverything(dispatcher, log);
        dispatcher.SetServices(services);
        services.answerYes = true;
        services.selectionDialog = [this](CImageSelection&) {
            if (m_during) {
                m_during();
            }
            return true;
        };
    }

    [[nodiscard]] std::string At(const std::string& text) const {
        return FillPaths(text, dir.File(""));
    }

    void Reset() {
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            fs::remove_all(entry.path());
        }
        dir.Write("scene.rav", scene);
        dir.Write("crowd.fsh", MakeFshOfSizes({{"\xE9t\xE9", 8, 8}, {"S\xFC", 8, 8}}));
    }

    bool Run(const Row& row) {
        CommandInputs inputs;
        inputs.filterIndex = row.filter;
        inputs.ravPath = At(row.rav);
        inputs.exchangePath = At(row.exchange);
        inputs.fshPath = At(row.fsh);
        inputs.transform = row.mode;
        inputs.x = row.x;
        inputs.y = inputs.z = "1";
        inputs.shade = "50";
        m_during = row.during;
        log.clear();
        const bool result = dispatcher.Run(row.id, inputs);
        // Whatever happened, the model and the archive are released, a
        // partly read model included.
        EXPECT_FALSE(dispatcher.Rav().IsLoaded() || dispatcher.Fsh().IsLoaded());
        EXPECT_EQ(dispatcher.Rav().header.objectCount, 0);
        return result;
    }

    // The names in the test's folder.
    [[nodiscard]] std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    TempDir dir;
    ScriptedServices services;
    CCommandDispatcher dispatcher;
    Messages log;
    const std::vector<std::uint8_t> scene = Crowd().Build().image.Bytes();

private:
    std::function<void()> m_during;
};

// Whatever the command cannot use is reported, the command fails, the RAV
// file keeps every byte and no file is created, removed or replaced.
// Devices and paths through a file are never opened as files. Ids of other
// buttons, filter slots that hold no filter and a transform without a mode
// do nothing; a failed load ends the command before the filter slot is
// looked at. A file taken away or replaced after it was loaded, here while
// the user chooses images, is reported when it is needed again: the RAV file
// is not recreated, and a layout is never made from a file that is no longer
// the archive that was loaded.
TEST_F(FaultTest, ReportsWhatItCannotUseAndWritesNothing) {
    const std::string rav = dir.File("scene.rav");
    const std::pair<std::string, int> exportFailed{"Error exporting data", 0};
    const std::pair<std::string, int> importFailed{"Error while importing data", 0};
    // clang-format off
    const Row rows[] = {
        {.what = "export without a path", .id = Command::Export,
         .log = {{"Error! No exchange file given", 1}, exportFailed}},
        // The RAV file by another name.
        {.what = "export onto the RAV file", .id = Command::Export, .filter = 2,
         .exchange = "@./scene.rav", .log = {{"Error! The exchange file @./scene.rav is the RAV "
                                              "file itself. Nothing written", 1}, exportFailed}},
#ifndef _WIN32
        {.what = "export to a device", .id = Command::Export, .exchange = "/dev/null",
         .log = {{"Error opening /dev/null", 1}, {"Reason: Invalid argument", 1}, exportFailed}},
        {.what = "RAV file is a device", .id = Command::Export, .exchange = "@out.txt",
         .rav = "/dev/zero", .log = {{"Error opening /dev/zero", 1}, {"Reason: Invalid argument", 1}}},
#endif
        {.what = "export through a file", .id = Command::Export, .exchange = "@scene.rav/out.txt",
         .log = {{"Error opening @scene.rav/out.txt", 1}, {"Reason: Not a directory", 1},
                 exportFailed}},
        // One reader of exchange files serves every filter.
        {.what = "import, no file", .id = Command::Import, .filter = 2, .exchange = "@in.lwo",
         .log = {{"Error opening @in.lwo", 1}, {"Reason: No such file or directory", 1},
                 importFailed}},
        {.what = "no archive file", .id = Command::CreateTpl, .fsh = "@none.fsh",
         .log = {{"Can't open @none.fsh for reading", 0},
                 {"Reason: No such file or directory", 0}}},
        {.what = "names from no archive", .id = Command::ImportNames,
         .before = [this] { dir.WriteText("crowd.fsh", "SHP"); },
         .log = {{"@crowd.fsh is not a valid FSH file", 0}}},
        {.what = "no RAV path", .id = Command::Export, .filter = 99, .exchange = "@out.txt",
         .rav = "", .log = {{"Error opening ", 1}, {"Reason: No such file or directory", 1}}},
        {.what = "slot 4", .id = Command::Export, .filter = 4, .exchange = "@out.txt"},
        {.what = "neither mode", .id = Command::Execute, .mode = std::nullopt},
        {.what = "RAV file deleted", .id = Command::ImportNames, .during = [&] { fs::remove(rav); },
         .log = {{"Error opening @scene.rav", 1}, {"Reason: No such file or directory", 1},
                 {"Error writing texture data", 0}}},
        {.what = "archive replaced by another", .id = Command::CreateTpl,
         .during = [&] { dir.Write("crowd.fsh", MakeFshOfSizes({{"\xE9t\xE9"}, {"Neu"}})); },
         .log = {{"Error! @crowd.fsh has changed since it was loaded. Aborting", 1}}},
        // Another program's file in its place, here the archive.
        {.what = "RAV file replaced", .id = Command::ImportNames,
         .during = [&] { fs::copy_file(dir.File("crowd.fsh"), rav, fs::copy_options::overwrite_existing); },
         .log = {{"Error! @scene.rav has changed since it was loaded. Nothing written", 1},
                 {"Error writing texture data", 0}}},
        // Numbers nobody means, which no move could take back.
        {.what = "move by abc", .id = Command::Execute, .x = "abc",
         .log = {{"Error! The X field holds no number: abc", 1}}},
        {.what = "move by a decimal comma", .id = Command::Execute, .x = "0,5",
         .log = {{"Error! The X field holds no number: 0,5", 1}}},
        {.what = "move to infinity", .id = Command::Execute, .x = "1e40",
         .log = {{"Moving all vertexes in @scene.rav", 0},
                 {"Error! The move would make a coordinate of object 0 infinite or not a number. "
                  "Nothing written", 1}}},
        // Texts out of step with the model stop the import before it writes.
        {.what = "a random text", .id = Command::Import, .exchange = "@in.txt",
         .before = [&] { dir.WriteText("in.txt", "Dear diary,\r\n"); },
         .log = {{"Error! @in.txt line 1: expected EXMODE= but found \"Dear diary,\". Nothing "
                  "imported", 1}, importFailed}},
        {.what = "a VERTEXES count edited alone", .id = Command::Import, .exchange = "@in.txt",
         .before = [&] { dir.WriteText("in.txt", "EXMODE=1\r\nOBJECTS=1\r\nObject 0:\r\n"
                                       "NAME=Feld\r\nVERTEXES=3\r\n1, 1, 1\r\n2, 2, 2\r\n"
                                       "3, 3, 3\r\n4, 4, 4\r\nTEXTURES=1\r\nNAME=x\r\n"); },
         .log = {{"Warning! Object 0 (Feld) has a 3 Vertexes, the ravfile has 4. Skipping Object", 1},
                 {"Error! @in.txt line 9: expected TEXTURES= but found \"4, 4, 4\". Nothing "
                  "imported", 1}, importFailed}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Reset();
        if (row.before) {
            row.before();
        }
        // What is there once the files were changed, if they are.
        const auto ravNow = [&] { return fs::exists(rav) ? ReadBytes(rav) : scene; };
        std::set<std::string> files = Files();
        std::vector<std::uint8_t> bytes = scene;
        Row changing = row;
        changing.during = [&] {
            if (row.during) {
                row.during();
            }
            files = Files();
            bytes = ravNow();
        };
        EXPECT_FALSE(Run(changing));
        EXPECT_EQ(log, FillPaths(row.log, dir.File("")));
        EXPECT_EQ(Files(), files);
        EXPECT_EQ(ravNow(), bytes);
    }
}

// A RAV file cut at the start of each section, or inside a block: a table or
// block that does not lie wholly within the file fails the load with its
// section, before anything is written. Only an array of values may run past
// the end; it reads as zeros. Colours and order lists that start at the end
// are not written back while they hold those zeros (the file would grow),
// and a change to them is refused.
TEST_F(FaultTest, TruncatedRavFilesFailWithTheirSection) {
    RavBuilder single{.textures = {"grass"}, .objects = {Quad("Feld", 0, 0)}};
    const auto built = single.Build();
    const auto& at = built.layout;
    const auto& o = at.objects[0];
    Reset();
    dir.Write("full.rav", built.image.Bytes());
    ASSERT_TRUE(Run({.what = "", .id = Command::Export, .exchange = "@in.txt", .rav = "@full.rav"}));
    const struct {
        const char* what;
        std::uint32_t size;
        const char* section; // null: loads
    } cuts[] = {
        {"empty", 0, "Start"},
        {"texture table", at.textureTable, "Start"},
        {"record table", at.recordTable, "Start"},
        {"object table", at.objectTable, "Texture"},
        {"texture name", at.textureNames[0], "Poly1"},
        {"object name", o.name, "Poly1"},
        {"detail block", o.detail, "Poly1"},
        {"mesh header", o.mesh, "Poly2"},
        {"vertices", o.vertices, "Poly2"},
        {"uv header", o.uvHeader, "Poly2"},
        {"uvs", o.uvs, "Poly2"},
        {"texture records", o.textureRecords, "Poly2"},
        {"order list", o.orders[0], nullptr},
        {"colours", o.colours, nullptr},
    };
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.what);
        ByteImage image = built.image;
        image.Resize(cut.size);
        const std::string rav = dir.Write("scene.rav", image.Bytes());
        const bool loads = cut.section == nullptr;
        EXPECT_EQ(Run({.what = "", .id = Command::Import, .exchange = "@in.txt"}), loads);
        if (loads) {
            EXPECT_EQ(log, (Messages{{"Successful imported data... updating data", 0},
                                     {"Successful updated data", 0},
                                     {"nothing changed", 0}}));
            EXPECT_EQ(ReadBytes(rav), image.Bytes());
            CommandInputs whiten;
            whiten.ravPath = rav;
            whiten.shade = "-1";
            EXPECT_FALSE(dispatcher.Run(Command::Shade, whiten));
            EXPECT_EQ(log.back(), (std::pair<std::string, int>{
                                      "Error! Object 0: its colours lie beyond the end of " + rav +
                                          ". Nothing written",
                                      1}));
            EXPECT_EQ(ReadBytes(rav), image.Bytes());
        } else {
            EXPECT_EQ(log, (Messages{{InvalidRav(rav, cut.section), 1}}));
            EXPECT_EQ(ReadBytes(rav), image.Bytes());
        }
    }
}

// Names are bytes: Latin-1 and UTF-8 names go out and come back without a
// change, so an import of an unchanged export leaves every byte of the RAV
// file. Image names reach the texture table and the layout the same way.
// Paths have no length limit of the system's own: the files lie in a folder
// whose name is UTF-8 and whose path is longer than 300 bytes.
TEST_F(FaultTest, NamesKeepEveryByte) {
    Reset();
    const std::string folder =
        "Stadion M\xC3\xBCnchen/" + std::string(150, 'd') + "/" + std::string(150, 'e') + "/";
    const std::string folderPath = dir.File(folder);
    fs::create_directories(fs::path(std::u8string(folderPath.begin(), folderPath.end())));
    dir.Write(folder + "scene.rav", scene);
    dir.Write(folder + "crowd.fsh", ReadBytes(dir.File("crowd.fsh")));
    Row row{
        .what = "", .id = Command::Export, .rav = "@" + folder + "scene.rav", .fsh = "@" + folder + "crowd.fsh"};
    for (const auto& [filter, name] : {std::pair{0, "x.txt"}, {1, "x.dw"}, {2, "x.lwo"}}) {
        SCOPED_TRACE(name);
        row.filter = filter;
        row.exchange = "@" + folder + name;
        row.id = Command::Export;
        ASSERT_TRUE(Run(row));
        if (filter != 2) {
            EXPECT_NE(ReadText(At(row.exchange)).find("Trib\xFCne\r\n"), std::string::npos);
        }
        row.id = Command::Import;
        EXPECT_TRUE(Run(row));
        EXPECT_EQ(ReadBytes(At(row.rav)), scene);
    }
    row.id = Command::ImportNames;
    ASSERT_TRUE(Run(row));
    CRavFile rav;
    ASSERT_TRUE(rav.Load(At(row.rav)));
    EXPECT_EQ(rav.GetTexture(1)->name, "S\xFC");
    row.id = Command::CreateTpl;
    ASSERT_TRUE(Run(row));
    EXPECT_NE(ReadText(At("@" + folder + "crowd.tpl")).find("NAME=\xE9t\xE9\r\n"),
              std::string::npos);
}

// Exchange files that modellers and editors leave behind, imported with
// --strict or without: a byte-order mark and comment lines are passed over,
// the sample goes out to DesignWorkshop and back unchanged (its G2 objects
// do not start at object 1), and a LightWave file short of a quadrilateral
// is refused by a strict import before anything is written.
TEST_F(FaultTest, ImportsChangeWhatTheFileSaysAndNothingElse) {
    const std::string bom = "\xEF\xBB\xBF" "EXMODE=0\r\nOBJECTS=1\r\nObject 0:\r\nNAME=Wald\r\n"
                            "VERTEXES=4\r\nTEXTURES=1\r\nNAME=Trib\xFCne\r\n";
    const auto quadDropped = [this] {
        ASSERT_TRUE(Run({.what = "", .id = Command::Export, .filter = 2, .exchange = "@x.lwo"}));
        std::string lwo = ReadText(dir.File("x.lwo"));
        const std::size_t pols = lwo.find("POLS");
        const auto put = [&lwo](std::size_t at, std::size_t size) {
            for (int i = 0; i < 4; ++i) {
                lwo[at + i] = static_cast<char>(size >> (24 - 8 * i));
            }
        };
        lwo.erase(pols + 8, 12); // the first record: four corners and a surface
        put(pols + 4, 24);
        put(4, lwo.size() - 8);
        dir.WriteText("x.lwo", lwo);
    };
    const std::pair<std::string, int> imported{"Successful imported data... updating data", 0};
    const auto updated = [&imported](const char* summary) {
        return Messages{imported, {"Successful updated data", 0}, {summary, 0}};
    };
    const struct {
        const char* what;
        int filter;
        std::function<void()> before;
        Messages log;
        bool changes;
    } cases[] = {
        {"a byte-order mark", 0, [&] { dir.WriteText("x.txt", bom); },
         updated("1 object changed: 1 name"), true},
        {"comment lines only", 0, [&] { dir.WriteText("x.txt", "// none\r\n//\r\n"); },
         updated("nothing changed"), false},
        {"the sample through DesignWorkshop", 1, [&] {
             dir.Write("scene.rav", ReadBytes(POLYPORT_EXAMPLES "/sample.rav"));
             ASSERT_TRUE(Run({.what = "", .id = Command::Export, .filter = 1, .exchange = "@x.dw"}));
         }, updated("nothing changed"), false},
        {"a quadrilateral deleted", 2, quadDropped,
         {{"Warning! @x.lwo holds 2 quadrilaterals but the RAV file has 3 four-vertex objects; "
           "quadrilaterals added or removed in a modelling tool shift onto other objects", 1},
          imported, {"Error! 1 warning in a strict run: nothing written to @scene.rav", 1},
          {"Error updating data", 0}}, false},
    };
    dispatcher.SetStrict(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        c.before();
        const std::vector<std::uint8_t> before = ReadBytes(dir.File("scene.rav"));
        const char* const extension[] = {".txt", ".dw", ".lwo"};
        EXPECT_EQ(Run({.what = "", .id = Command::Import, .filter = c.filter,
                       .exchange = std::string("@x") + extension[c.filter]}),
                  c.log.size() == 3);
        EXPECT_EQ(log, FillPaths(c.log, dir.File("")));
        EXPECT_EQ(ReadBytes(dir.File("scene.rav")) != before, c.changes);
    }
}

#ifndef _WIN32
// Root may write to read-only files: it becomes an ordinary user first.
bool AsOrdinaryUser() {
    return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
}

// A save or export that cannot write fails the command after the writer's
// message and the system's reason, and no success line follows. A file-size
// limit below the first byte to be written stands in for a full disk: the
// RAV file keeps every byte, so does an earlier export or layout of the same
// name, and no temporary file is left behind. A read-only RAV file is tried
// by an ordinary user, as root may write to it anyway.
TEST_F(FaultTest, WriteErrorsFailTheCommand) {
    const std::pair<std::string, int> ravError{"Error writing @scene.rav", 1};
    const std::pair<std::string, int> readOnly{"Error opening @scene.rav", 1};
    const std::pair<std::string, int> updating{"Successful imported data... updating data", 0};
    const std::pair<std::string, int> notUpdated{"Error updating data", 0};
    const std::pair<std::string, int> namesFailed{"Error writing texture data", 0};
    const std::pair<std::string, int> exportFailed{"Error exporting data", 0};
    const std::pair<std::string, int> tooLarge{"Reason: File too large", 1};
    // clang-format off
    const std::pair<Row, bool> rows[] = { // read-only rather than limited
        {{.what = "ASCII export", .id = Command::Export, .exchange = "@out.txt",
          .log = {{"Error writing @out.txt", 1}, tooLarge, exportFailed}}, false},
        {{.what = "DW export", .id = Command::Export, .filter = 1, .exchange = "@out.dw",
          .log = {{"Error writing @out.dw", 1}, tooLarge, exportFailed}}, false},
        {{.what = "LWO export", .id = Command::Export, .filter = 2, .exchange = "@out.lwo",
          .log = {{"Error writing @out.lwo", 1}, tooLarge, exportFailed}}, false},
        {{.what = "DW import", .id = Command::Import, .filter = 1, .exchange = "@in.dw",
          .log = {updating, ravError, tooLarge, notUpdated}}, false},
        {{.what = "layout", .id = Command::CreateTpl,
          .log = {{"Generating TPages...", 0}, {"1 TPages required...writing file", 0},
                  {"Error writing @crowd.tpl", 1}, tooLarge}}, false},
        {{.what = "read-only names", .id = Command::ImportNames,
          .log = {readOnly, {"Reason: Permission denied", 1}, namesFailed}}, true},
    };
    // clang-format on
    const std::string rav = dir.File("scene.rav");
    // Stale boxes, so that even an unchanged import has something to write.
    RavBuilder crowd = Crowd();
    for (RavBuilder::Object& object : crowd.objects) {
        object.boxMin = {};
    }
    const std::vector<std::uint8_t> stale = crowd.Build().image.Bytes();
    for (const auto& [row, asUser] : rows) {
        SCOPED_TRACE(row.what);
        Reset();
        ASSERT_TRUE(Run({.what = "", .id = Command::Export, .filter = 1, .exchange = "@in.dw"}));
        dir.Write("scene.rav", stale);
        const std::string earlier = "an earlier file\r\n";
        for (const char* name : {"out.txt", "out.dw", "out.lwo", "crowd.tpl"}) {
            dir.WriteText(name, earlier);
        }
        const std::set<std::string> files = Files();
        // An ordinary user must be able to read everything but write nothing.
        fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::others_read |
                                        fs::perms::others_exec | fs::perms::group_read |
                                        fs::perms::group_exec);
        for (const std::string& name : files) {
            fs::permissions(dir.Path() / name,
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
        EXPECT_TRUE(InChild([&] {
            if (asUser) {
                if (!AsOrdinaryUser()) {
                    return false;
                }
            } else {
                fs::permissions(rav, fs::perms::owner_write, fs::perm_options::add);
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{kRavHeaderSize, kRavHeaderSize};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            const bool failed = !Run(row);
            EXPECT_EQ(log, FillPaths(row.log, dir.File("")));
            return failed && log == FillPaths(row.log, dir.File(""));
        }));
        fs::permissions(dir.Path(), fs::perms::owner_all, fs::perm_options::add);
        EXPECT_EQ(Files(), files);
        EXPECT_EQ(ReadBytes(rav), stale);
        for (const char* name : {"out.txt", "out.dw", "out.lwo", "crowd.tpl"}) {
            EXPECT_EQ(ReadText(dir.File(name)), earlier) << name;
        }
    }
}

// A save stopped between its complete temporary file and the replacement,
// then killed, leaves the old file whole; a full file system fails it and
// leaves the old file too. Two commands on one file follow each other: the
// second waits for the first, then moves what the first wrote. A file with
// another hard link is patched in place, so the link sees the change.
TEST_F(FaultTest, SavesAreAllOrNothing) {
    Reset();
    const std::string rav = dir.File("scene.rav");
    const auto moveInChild = [&](const char* pause) {
        const pid_t child = fork();
        if (child == 0) {
            if (pause != nullptr) {
                setenv("POLYPORT_TEST_BEFORE_REPLACE", pause, 1);
            }
            _exit(Run({.what = "", .id = Command::Execute}) ? 0 : 1);
        }
        return child;
    };
    const auto firstX = [&] {
        CRavFile file;
        return file.Load(rav) ? file.GetObject(0)->vertices[0].x : -1.0f;
    };
    int status = 0;
    const pid_t stopped = moveInChild("stop");
    ASSERT_EQ(waitpid(stopped, &status, WUNTRACED), stopped);
    EXPECT_TRUE(WIFSTOPPED(status));
    kill(stopped, SIGKILL);
    waitpid(stopped, &status, 0);
    EXPECT_EQ(ReadBytes(rav), scene);

    const pid_t first = moveInChild("400");
    usleep(150000); // the first holds the lock and waits before replacing
    const pid_t second = moveInChild(nullptr);
    for (const pid_t child : {first, second}) {
        EXPECT_TRUE(waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                    WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(firstX(), 2.0f);

    fs::create_hard_link(rav, dir.File("link.rav"));
    EXPECT_TRUE(Run({.what = "", .id = Command::Execute}));
    EXPECT_EQ(log[1], (std::pair<std::string, int>{
                          rav + " is saved in place, not atomically: it has 2 hard links", 0}));
    EXPECT_EQ(ReadBytes(dir.File("link.rav")), ReadBytes(rav));

    const fs::path small = dir.Path() / "small";
    fs::create_directory(small);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=8k") != 0) {
        std::printf("No small file system could be mounted here: the full disk is not tried\n");
        return;
    }
    const std::string onSmall = (small / "scene.rav").string();
    dir.Write("small/scene.rav", scene);
    for (FilePtr filler = OpenFile((small / "filler").string(), "wb");
         std::fputc('x', filler.get()) != EOF && std::fflush(filler.get()) == 0;) {
    }
    EXPECT_FALSE(Run({.what = "", .id = Command::Execute, .rav = onSmall}));
    EXPECT_EQ(log[1], (std::pair<std::string, int>{"Error writing " + onSmall, 1}));
    EXPECT_EQ(log[2], (std::pair<std::string, int>{"Reason: No space left on device", 1}));
    EXPECT_EQ(ReadBytes(onSmall), scene);
    EXPECT_EQ(std::distance(fs::directory_iterator(small), fs::directory_iterator()), 2);
    umount(small.c_str());
}
#endif

} // namespace
