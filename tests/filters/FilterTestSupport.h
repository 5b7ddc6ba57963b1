#pragma once

#include "gamefiles/RavTestSupport.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

// Each line followed by `end`.
inline std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) {
        text += line + end;
    }
    return text;
}

// An expected file from tests/data.
inline std::string Golden(const std::string& name) {
    return ReadText(std::string(POLYPORT_TEST_DATA) + "/" + name);
}

// A texture record whose texture is missing from the table.
inline RavBuilder::TextureRecord Orphan(std::vector<std::uint16_t> orders = {}) {
    RavBuilder::TextureRecord record = RavBuilder::Record(0, std::move(orders));
    record.texture.reset();
    record.textureRef = 0x7777;
    return record;
}

// A G2 object: four corners and one texture record.
inline RavBuilder::Object Quad(const std::string& name, std::vector<RavBuilder::Vertex> corners,
                               std::int32_t texture) {
    return {.name = name,
            .vertices = std::move(corners),
            .textureRecords = {RavBuilder::Record(texture, {})}};
}

// Everything a filter can change in object k, exact:
// "name | x,y,z ... | u,v ... | colour bytes 0-3 ... | texture:orders ...".
inline std::string Summary(const CRavFile& rav, std::int32_t k) {
    const RavObject& object = *rav.GetObject(k);
    std::string text = object.name + " |";
    const auto number = [&](char before, float value) {
        char digits[32];
        text += before;
        text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    };
    for (const RavVertex& v : object.vertices) {
        number(' ', v.x), number(',', v.y), number(',', v.z);
    }
    text += " |";
    for (const RavUv& uv : object.uvs) {
        number(' ', uv.u), number(',', uv.v);
    }
    text += " |";
    for (const RavColour& c : object.colours) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " %02x%02x%02x%02x", c[0], c[1], c[2], c[3]);
        text += hex;
    }
    text += " |";
    for (std::size_t t = 0; t < object.textureRecords.size(); ++t) {
        const char* name = rav.GetTextureName(object.textureRecords[t].textureRef);
        text += std::string(" ") + (name != nullptr ? name : "?") + ":";
        for (std::size_t j = 0; j < object.orders[t].size(); ++j) {
            text += (j != 0 ? "," : "") + std::to_string(object.orders[t][j]);
        }
    }
    return text;
}

// The rectangles of tests/data/lwo/two-rectangles.lwo as objects 0 and 3,
// among objects the file leaves out: a triangle, a four-vertex object at
// the origin (with a -0) and a single vertex of another kind.
inline RavBuilder TwoRectangles() {
    return {.objects = {
                {.name = "a", .vertices = {{1.5f, 2, -3}, {4, 2, -3}, {4, 0, -3}, {1.5f, 0, -3}}},
                {.name = "tri", .vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}},
                {.name = "zero", .vertices = {{}, {0, -0.0f, 0}, {}, {}}},
                {.name = "b", .vertices = {{4, -0.0f, -3}, {4, 2, -3}, {7, 2, -3}, {7, 0, -3}}},
                {.name = "mark", .kind = 0, .vertices = {{5, 5, 5}}}}};
}

// What assimp (its WebAssembly build, run by node) sees in an exported model
// and the files beside it, as tests/node/model-to-glb.js prints it; nothing
// when node or the npm packages are missing, which fails the test under
// CI=true.
inline std::optional<nlohmann::json> SeenByAssimp(const std::vector<std::string>& files,
                                                  const TempDir& dir) {
    const std::filesystem::path tools = POLYPORT_NODE_TOOLS;
    const auto quoted = [](const std::string& path) { return "\"" + path + "\""; };
    if (!std::filesystem::exists(tools / "node_modules" / "assimpjs" / "package.json") ||
        std::system(("node --version > " + quoted(dir.File("node")) + " 2>&1").c_str()) != 0) {
        const char* ci = std::getenv("CI");
        EXPECT_FALSE(ci != nullptr && std::string(ci) == "true")
            << "node or " << (tools / "node_modules").string()
            << " is missing; scripts/ensure-node-modules.sh installs them";
        return std::nullopt;
    }
    std::string command = "node " + quoted((tools / "model-to-glb.js").string());
    for (const std::string& file : files) {
        command += " " + quoted(file);
    }
    command += " > " + quoted(dir.File("seen.json"));
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return nlohmann::json::parse(ReadText(dir.File("seen.json")));
}

// A loaded RAV file and a filter; the messages of both are recorded in order.
template <typename F> class FilterTest : public RavFileTest {
protected:
    FilterTest() { filter.SetOutput(LogInto(messages)); }

    void LoadScene(const RavBuilder& scene) { LoadOk(scene.Build().image); }

    // The bytes of an export of the model.
    std::string Export() {
        EXPECT_TRUE(filter.Export(exchange, &rav));
        return ReadText(exchange);
    }

    bool Import(const std::string& bytes) {
        dir.WriteText("exchange", bytes);
        return filter.Import(exchange, &rav);
    }

    // The RAV file after a save of the model.
    std::vector<std::uint8_t> Saved() {
        EXPECT_TRUE(rav.Save());
        return ReadBytes(path);
    }

    F filter;
    std::string exchange = dir.File("exchange");
};
