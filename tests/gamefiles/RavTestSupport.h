#pragma once

#include "gamefiles/RavFile.h"
#include "support/RavBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

struct LoggedMessage {
    std::string text;
    int flag = 0;
    bool operator==(const LoggedMessage&) const = default;
};
using Messages = std::vector<LoggedMessage>;

inline void PrintTo(const LoggedMessage& message, std::ostream* out) {
    *out << "{\"" << message.text << "\", " << message.flag << "}";
}

inline std::string InvalidRav(const std::string& path, const std::string& section) {
    return path + " is not a valid RAV file (or a new format) [Section: " + section + "]";
}

// A field of a built file: a block of the layout (of object `object`) and
// the field's position in it.
enum class Block { Header, TextureTable, Entry, Detail, Mesh, UvHeader, Records };
struct Field {
    Block block;
    int object;
    std::uint32_t offset;
};

inline std::uint32_t Locate(const RavBuilder::Layout& layout, Field field) {
    const auto object = [&] { return layout.objects[static_cast<std::size_t>(field.object)]; };
    switch (field.block) {
    case Block::Header:
        return field.offset;
    case Block::TextureTable:
        return layout.textureTable + field.offset;
    case Block::Entry:
        return object().entry + field.offset;
    case Block::Detail:
        return object().detail + field.offset;
    case Block::Mesh:
        return object().mesh + field.offset;
    case Block::UvHeader:
        return object().uvHeader + field.offset;
    case Block::Records:
        return object().textureRecords + field.offset;
    }
    return 0;
}

inline std::vector<float> Floats(const std::vector<RavVertex>& vertices) {
    std::vector<float> floats;
    for (const RavVertex& v : vertices) {
        floats.insert(floats.end(), {v.x, v.y, v.z});
    }
    return floats;
}

// A scene with something in every section: two textures behind one skipped
// record, a textured geometry object, an object of another kind whose detail
// block would fail the detail check if it were followed, and a second
// geometry object with two texture records. The boxes are not those Save
// computes.
inline RavBuilder SampleScene() {
    RavBuilder scene;
    scene.textures = {"grass01", "Stand_A"};
    scene.recordSkip = 1;
    scene.offset00 = 36;
    scene.value0C = 0x0C0C0C0C;
    scene.offset10 = 40;

    RavBuilder::Object pitch;
    pitch.name = "Pitch";
    pitch.vertices = {{10, -5, 3}, {-1, 7, 0}, {4.5f, 0.25f, -8}};
    pitch.uvs = {{0, 0}, {1, 0.5f}, {0.25f, 1}};
    pitch.colours = {{{1, 2, 3, 4}}, {{250, 251, 252, 253}}};
    pitch.textureRecords = {RavBuilder::Record(0, {0, 1, 2}, 0x11)};
    pitch.detailValue00 = 0xD00;
    pitch.detailValue0C = 0xD0C;
    pitch.detailValue34 = 0xD34;
    pitch.detailValue3C = 0xD3C;
    pitch.boxMin = {-1, -2, -3};
    pitch.boxMax = {1, 2, 3};
    pitch.meshValue08 = 0xE08;
    pitch.meshValue0C = 0xE0C;
    pitch.meshValue10 = 0xE10;
    pitch.meshValue1C = 0xE1C;

    RavBuilder::Object marker;
    marker.name = "Marker";
    marker.kind = 0;
    marker.vertices = {{1, 1, 1}};
    marker.detailOffset08 = 0xFFFFFFF0;
    marker.boxMin = {9, 9, 9};

    RavBuilder::Object stand;
    stand.name = "Stand";
    stand.vertices = {{0, 0, 1}, {2, 3, 4}, {5, 6, 7}, {8, 9, 10}};
    stand.uvs = {{0, 0}, {1, 1}, {0, 1}, {1, 0}};
    stand.colours = {{{10, 20, 30, 40}}, {{50, 60, 70, 80}}, {{90, 100, 110, 120}}};
    stand.textureRecords = {RavBuilder::Record(1, {0, 1, 2}, 0x22),
                            RavBuilder::Record(0, {2, 3, 0, 1}, 0x33)};
    scene.objects = {pitch, marker, stand};
    return scene;
}

// A RAV file in a temporary folder, with every message it sends recorded.
class RavFileTest : public ::testing::Test {
protected:
    RavFileTest() {
        rav.SetOutput([this](const char* text, int flag) { messages.push_back({text, flag}); });
        messages.clear();
    }

    std::string Write(const ByteImage& image, const std::string& name = "scene.rav") {
        return dir.Write(name, image.Bytes());
    }

    // Writes `image` and loads it; false with the messages of the load.
    bool Load(const ByteImage& image, std::string& path, const std::string& name = "scene.rav") {
        path = Write(image, name);
        messages.clear();
        return rav.Load(path);
    }

    // Writes and loads `image`, expecting success without messages.
    std::string LoadImage(const ByteImage& image, const std::string& name = "scene.rav") {
        std::string path;
        EXPECT_TRUE(Load(image, path, name));
        EXPECT_EQ(messages, Messages{});
        return path;
    }

    TempDir dir;
    CRavFile rav;
    Messages messages;
};
