#include "gamefiles/RavTestSupport.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Builder = RavBuilder;

// The sample scene with the boxes Save computes for its geometry objects.
RavBuilder SavedScene() {
    RavBuilder scene = SampleScene();
    scene.objects[0].boxMin = {-2049, -2053, -2056};
    scene.objects[0].boxMax = {2058, 2055, 2051};
    scene.objects[2].boxMin = {-2048, -2048, -2048};
    scene.objects[2].boxMax = {2056, 2057, 2058};
    return scene;
}

TEST_F(RavFileTest, SavingAnUnchangedModelOnlyRecomputesTheBoxes) {
    const auto original = SampleScene().Build();
    const std::string path = LoadImage(original.image);
    EXPECT_TRUE(rav.SaveTextureNames());
    EXPECT_EQ(ReadBytes(path), original.image.Bytes());

    EXPECT_TRUE(rav.Save());
    EXPECT_EQ(messages, Messages{});
    EXPECT_EQ(ReadBytes(path), SavedScene().Build().image.Bytes());
    EXPECT_EQ(rav.GetObject(0)->detail.boxMin, (std::array<float, 3>{-2049, -2053, -2056}));
    EXPECT_EQ(rav.GetObject(0)->detail.boxMax, (std::array<float, 3>{2058, 2055, 2051}));

    // Nothing changes now, and nothing is written.
    const auto file = std::filesystem::path(path);
    const auto past = std::filesystem::last_write_time(file) - std::chrono::hours(48);
    std::filesystem::last_write_time(file, past);
    EXPECT_TRUE(rav.Save());
    EXPECT_TRUE(rav.SaveTextureNames());
    EXPECT_EQ(std::filesystem::last_write_time(file), past);
}

// The box always holds the origin and gets a margin of 2048 on every side,
// unless all six values are zero.
TEST_F(RavFileTest, BoxesEncloseTheOriginAndTheVerticesWithAMargin) {
    using V = Builder::Vertex;
    const struct {
        std::vector<V> vertices;
        V min;
        V max;
    } cases[] = {
        {{{10, -5, 3}, {-1, 7, 0}}, {-2049, -2053, -2048}, {2058, 2055, 2051}},
        {{}, {0, 0, 0}, {0, 0, 0}},
        {{{0, 0, 0}, {0, 0, 0}}, {0, 0, 0}, {0, 0, 0}},
        {{{0, 0, 1}}, {-2048, -2048, -2048}, {2048, 2048, 2049}},
        {{{5, 6, 7}}, {-2048, -2048, -2048}, {2053, 2054, 2055}},
        {{{-3, -4, -5}}, {-2051, -2052, -2053}, {2048, 2048, 2048}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vertices.size());
        Builder scene;
        scene.objects.resize(1);
        scene.objects[0].vertices = c.vertices;
        scene.objects[0].boxMin = scene.objects[0].boxMax = {7, 7, 7};
        const std::string path = LoadImage(scene.Build().image);
        EXPECT_TRUE(rav.Save());
        scene.objects[0].boxMin = c.min;
        scene.objects[0].boxMax = c.max;
        EXPECT_EQ(ReadBytes(path), scene.Build().image.Bytes());
        EXPECT_EQ(rav.GetObject(0)->detail.boxMax,
                  (std::array<float, 3>{c.max.x, c.max.y, c.max.z}));
    }
}

// What a command changes goes back where it was read from, every
// uninterpreted word as the model holds it. Objects of other kinds get their
// name back and nothing else, though the sample's has blocks on disk.
TEST_F(RavFileTest, SaveWritesTheModelBackInPlace) {
    const std::string path = LoadImage(SampleScene().Build().image);
    RavObject& pitch = *rav.GetObject(0);
    pitch.name = "Field";
    pitch.vertices[1] = {20, 1, -30};
    pitch.uvs[2] = {0.75f, 0.125f};
    pitch.colours[0] = {9, 8, 7, 6};
    pitch.textureRecords[0].value0 = 0x99;
    pitch.textureRecords[0].textureRef = rav.FindTexture("STAND_A");
    pitch.orders[0] = {2, 1, 0};
    pitch.detail.value00 = 0xABC;
    pitch.mesh.value10 = 0x1234;
    rav.GetObject(1)->name = "Buoy";
    rav.GetObject(2)->orders[1][3] = 7;
    EXPECT_TRUE(rav.Save());
    EXPECT_EQ(messages, Messages{});

    auto expected = SavedScene();
    Builder::Object& field = expected.objects[0];
    field.name = "Field";
    field.vertices[1] = {20, 1, -30};
    field.uvs[2] = {0.75f, 0.125f};
    field.colours[0] = {9, 8, 7, 6};
    field.textureRecords[0] = Builder::Record(1, {2, 1, 0}, 0x99);
    field.detailValue00 = 0xABC;
    field.meshValue10 = 0x1234;
    field.boxMin = {-2048, -2053, -2078};
    field.boxMax = {2068, 2049, 2051};
    expected.objects[2].textureRecords[1].orders[3] = 7;
    auto built = expected.Build();
    built.image.PutString(built.layout.objects[1].name, "Buoy");
    EXPECT_EQ(ReadBytes(path), built.image.Bytes());
}

// A new name takes the room of the stored name, its length up to its zero
// byte or the end of the file; longer names are cropped.
TEST_F(RavFileTest, NamesAreWrittenIntoTheRoomOfTheStoredName) {
    const struct {
        std::string stored; // at the end of the file
        std::string name;
        std::string written;
        std::string kept; // by the model
    } cases[] = {
        {std::string("LONGNAME\0XYZ", 12), "AB", std::string("AB\0GNAME\0XYZ", 12), "AB"},
        {std::string("LONGNAME\0XYZ", 12), "LONGNAMX", std::string("LONGNAMX\0XYZ", 12),
         "LONGNAMX"},
        {std::string("LONGNAME\0XYZ", 12), "ABCDEFGHIJ", std::string("ABCDEFGH\0XYZ", 12),
         "ABCDEFGH"},
        {std::string("\0XYZ", 4), "A", std::string("\0XYZ", 4), ""},
        {"TAIL", "ABCD", "ABCD", "ABCD"},
        {"TAIL", "AB", std::string("AB\0L", 4), "AB"},
        {"TAIL", "ABCDEF", "ABCD", "ABCD"},
    };
    for (const bool texture : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE((texture ? "texture " : "object ") + c.name);
            Builder scene;
            scene.textures = {"t0", "t1"};
            scene.objects.resize(2);
            auto built = scene.Build();
            const std::uint32_t at = built.image.AppendRaw(c.stored);
            built.image.PutU32(
                texture ? built.layout.textureTable + 4 : built.layout.objects[1].entry, at);
            const std::string path = LoadImage(built.image);

            std::string& name = texture ? rav.GetTexture(1)->name : rav.GetObject(1)->name;
            name = c.name;
            EXPECT_TRUE(texture ? rav.SaveTextureNames() : rav.Save());
            const std::string warning = std::string(texture ? "Texture" : "Object") +
                                        " 1: Warning! Objectname too long - cropping";
            EXPECT_EQ(messages, (c.kept == c.name ? Messages{} : Messages{{warning, 1}}));
            EXPECT_EQ(name, c.kept);
            built.image.PutRaw(at, c.written);
            EXPECT_EQ(ReadBytes(path), built.image.Bytes());
        }
    }
}

// The room is measured in the file as it is when saving. A stored name
// longer than the model keeps stays whole unless it is renamed.
TEST_F(RavFileTest, NameRoomIsMeasuredWhenSaving) {
    Builder scene;
    scene.textures = {"t0"};
    scene.objects.resize(1);
    auto built = scene.Build();
    const std::uint32_t at = built.image.AppendRaw(std::string("LONGNAME\0XYZ", 12));
    built.image.PutU32(built.layout.objects[0].entry, at);
    const std::string longName(1500, 'q');
    const std::uint32_t longAt = built.image.AppendString(longName);
    built.image.PutU32(built.layout.textureTable, longAt);
    const std::string path = LoadImage(built.image);
    EXPECT_EQ(rav.GetTexture(0)->name.size(), 1023u);

    built.image.PutU8(at + 3, 0);
    Write(built.image);
    rav.GetObject(0)->name = "ABCDEF";
    EXPECT_TRUE(rav.Save());
    EXPECT_TRUE(rav.SaveTextureNames());
    EXPECT_EQ(messages, (Messages{{"Object 0: Warning! Objectname too long - cropping", 1}}));
    EXPECT_EQ(rav.GetObject(0)->name, "ABC");
    built.image.PutRaw(at, "ABC");
    EXPECT_EQ(ReadBytes(path), built.image.Bytes());

    rav.GetTexture(0)->name = "short";
    EXPECT_TRUE(rav.SaveTextureNames());
    built.image.PutString(longAt, "short");
    EXPECT_EQ(ReadBytes(path), built.image.Bytes());
}

TEST_F(RavFileTest, EachSaveWritesOnlyItsOwnNames) {
    const auto original = SampleScene().Build();
    const std::string path = LoadImage(original.image);
    rav.GetObject(0)->name = "Pit";
    rav.GetTexture(0)->name = "mud";
    EXPECT_TRUE(rav.SaveTextureNames());
    ByteImage expected = original.image;
    expected.PutString(original.layout.textureNames[0], "mud");
    EXPECT_EQ(ReadBytes(path), expected.Bytes());

    EXPECT_TRUE(rav.Save());
    expected = SavedScene().Build().image;
    expected.PutString(original.layout.textureNames[0], "mud");
    expected.PutString(original.layout.objects[0].name, "Pit");
    EXPECT_EQ(ReadBytes(path), expected.Bytes());

    // Empty tables save without writing anything.
    const auto none = Builder{}.Build().image;
    const std::string empty = LoadImage(none, "empty.rav");
    EXPECT_TRUE(rav.Save());
    EXPECT_TRUE(rav.SaveTextureNames());
    EXPECT_EQ(messages, Messages{});
    EXPECT_EQ(ReadBytes(empty), none.Bytes());
}

TEST_F(RavFileTest, SaveNeedsTheLoadedFileToExist) {
    for (const bool names : {false, true}) {
        const auto save = [names](CRavFile& file) {
            return names ? file.SaveTextureNames() : file.Save();
        };
        CRavFile empty;
        Messages emptyMessages;
        empty.SetOutput([&](const char* text, int flag) { emptyMessages.push_back({text, flag}); });
        emptyMessages.clear();
        EXPECT_FALSE(save(empty));
        EXPECT_EQ(emptyMessages, (Messages{{"Error opening ", 1}}));

        const std::string path = LoadImage(SampleScene().Build().image);
        std::filesystem::remove(path);
        EXPECT_FALSE(save(rav));
        EXPECT_EQ(messages, (Messages{{"Error opening " + path, 1}}));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST_F(RavFileTest, ReadOnlyFilesAreNotSaved) {
    const auto image = SampleScene().Build().image;
    const std::string path = LoadImage(image);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    if (std::FILE* probe = std::fopen(path.c_str(), "r+b")) {
        std::fclose(probe);
        GTEST_SKIP() << "file permissions are not enforced for this user";
    }
    EXPECT_FALSE(rav.Save());
    EXPECT_EQ(messages, (Messages{{"Error opening " + path, 1}}));
    EXPECT_EQ(ReadBytes(path), image.Bytes());
}

// The file ends as if every section had been written in order: later
// sections win where they share bytes, and sections that ran past the end
// of the file are written out whole.
TEST_F(RavFileTest, SaveEndsAsIfEverySectionWereWrittenInOrder) {
    auto built = SampleScene().Build();
    const auto& at = built.layout;
    built.image.PutU32(at.objects[0].entry + Builder::kEntryDetail, at.objects[2].detail);
    built.image.PutU32(at.objects[2].mesh + Builder::kMeshColourOffset, at.objects[2].vertices);
    const std::string path = LoadImage(built.image);
    for (auto& vertex : rav.GetObject(0)->vertices) {
        vertex = {1, 1, 1};
    }
    rav.GetObject(2)->vertices[3] = {-8, 9, 10};
    rav.GetObject(2)->colours = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
    EXPECT_TRUE(rav.Save());

    auto scene = SampleScene();
    scene.objects[2].vertices[3] = {-8, 9, 10};
    scene.objects[2].boxMin = {-2056, -2048, -2048};
    scene.objects[2].boxMax = {2053, 2057, 2058};
    auto expected = scene.Build();
    expected.image.PutU32(at.objects[0].entry + Builder::kEntryDetail, at.objects[2].detail);
    expected.image.PutU32(at.objects[2].mesh + Builder::kMeshColourOffset, at.objects[2].vertices);
    expected.image.PutRaw(at.objects[2].vertices,
                          std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(ReadBytes(path), expected.image.Bytes());

    built = SampleScene().Build();
    const std::uint32_t size = built.image.Size();
    built.image.Resize(size - 6);
    const std::string cut = LoadImage(built.image, "cut.rav");
    EXPECT_TRUE(rav.Save());
    expected = SavedScene().Build();
    expected.image.PutRaw(size - 6, std::vector<std::uint8_t>(6));
    EXPECT_EQ(ReadBytes(cut), expected.image.Bytes());
}

// A child process limits the file size to the current size, so the write
// that would grow the file fails.
TEST_F(RavFileTest, WriteFailuresAreReported) {
    auto built = SampleScene().Build();
    built.image.Resize(built.image.Size() - 6);
    const std::string path = LoadImage(built.image);
    rav.GetObject(2)->colours[2] = {1, 2, 3, 4};

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = built.image.Size();
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool saved = rav.Save();
        const bool reported = messages == Messages{{"Error writing " + path, 1}};
        if (saved || !reported) {
            std::fprintf(stderr, "Save returned %d after %zu messages\n", saved, messages.size());
            for (const auto& message : messages) {
                std::fprintf(stderr, "  %s (flag %d)\n", message.text.c_str(), message.flag);
            }
        }
        _exit(!saved && reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "expected false after \"Error writing " << path << "\" (flag 1)";
}

} // namespace
