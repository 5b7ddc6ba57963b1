#include "cli/CliRun.h"
#include "output/Format.h"
#include "support/FshBuilder.h"
#include "support/RavBuilder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>

namespace {

using Json = nlohmann::json;

// The content chooses the reader, whatever the name says (an archive named
// .rav). Text output must hold the facts that belong together on one line.
TEST(InfoCommand, DescribesTheWholeFileAsJsonAndTheKeyFactsAsText) {
    TempDir dir;
    // A name that is not UTF-8, and an offset beyond the file: its size reads
    // as 0 x 0. Width and height are at +4 and +6 of a record.
    ByteImage fsh = MakeFshHeader(MakeFshTag("SHPI"), 0, 2, MakeFshTag("G264"),
                                  {{MakeFshTag("tex1"), 32}, {{'a', 0xE4, 1, 0}, 0xFFFFFFFF}});
    fsh.PutU16(36, 0xFFFF).PutU16(38, 128);
    const std::string fshPath = dir.Write("archive.rav", fsh.Bytes());
    const Json fshJson = Json::parse(R"({"type": "fsh", "path": "", "entryCount": 2, "entries": [
        {"index": 0, "name": "tex1", "offset": 32, "width": 65535, "height": 128, "recordId": 0,
         "format": "unknown", "mipmaps": 0, "attachments": [], "entryBytes": 8,
         "problem": "is too short for a record header"},
        {"index": 1, "name": "a\ufffd\u0001", "offset": 4294967295, "width": 0, "height": 0,
         "recordId": 0, "format": "unknown", "mipmaps": 0, "attachments": [], "entryBytes": 0,
         "problem": "lies outside the archive"}],
        "compressed": false, "packedSize": 40, "unpackedSize": 40})");

    // A texture behind two skipped records, and a mesh whose second texture
    // record stores a textureRef that names no texture.
    RavBuilder scene;
    scene.textures = {"stand"};
    scene.value0C = -7;
    scene.recordSkip = 2;
    RavBuilder::Object& pitch = scene.objects.emplace_back();
    pitch.name = "pitch";
    pitch.vertices = {{1.5f, -2.0f, 0.25f}, {3, 4, 5}};
    pitch.uvs = {{0, 1}, {0.5f, 0.25f}, {1, 0}};
    pitch.colours = {{1, 2, 3, 4}};
    pitch.textureRecords = {RavBuilder::Record(0, {0, 1}), {0, {1}, {}, 0x7777}};
    pitch.boxMax = {3, 4, 8};
    const RavBuilder::Result rav = scene.Build();
    const RavBuilder::Layout& at = rav.layout;
    const std::string ravPath = dir.Write("scene.dat", rav.image.Bytes());
    const Json ravJson = Json::parse(
        Format(R"({"type": "rav", "path": "",
      "header": {"offset00": 0, "textureCount": 1, "textureTableOffset": %u, "value0C": -7,
        "offset10": 0, "recordSkip": 2, "recordTableOffset": %u, "objectCount": 1,
        "objectTableOffset": %u},
      "textures": [{"index": 0, "name": "stand", "nameOffset": %u, "textureRef": %d}],
      "objects": [{"index": 0, "name": "pitch", "nameOffset": %u, "kind": 1, "detailOffset": %u,
        "vertexCount": 2, "colourCount": 1, "uvCount": 3, "boxMin": [0, 0, 0],
        "boxMax": [3, 4, 8], "vertices": [[1.5, -2, 0.25], [3, 4, 5]],
        "uvs": [[0, 1], [0.5, 0.25], [1, 0]], "colours": [[1, 2, 3, 4]], "textureRecords": [
          {"textureRef": %d, "textureName": "stand", "orderCount": 2, "order": [0, 1]},
          {"textureRef": 30583, "textureName": null, "orderCount": 1, "order": [1]}]}]})",
               at.textureTable, at.recordTable, at.objectTable, at.textureNames[0],
               at.textureRefs[0], at.objects[0].name, at.objects[0].detail, at.textureRefs[0]));

    for (auto [path, json, line] :
         {std::tuple{fshPath, fshJson, " 1 .+ offset +4294967295 +0 x 0 .*lies outside the archive\n"},
          std::tuple{ravPath, ravJson, "-7 +0xFFFFFFF9\n(.*\n)*.*stand, \\(none: 0x00007777\\)"}}) {
        json["path"] = path;
        const auto [status, out, err] = Cli({"info", path, "--json"});
        EXPECT_EQ(status, 0);
        EXPECT_EQ(err, "");
        EXPECT_EQ(Json::parse(out, nullptr, false), json) << out;
        const auto [textStatus, text, textErr] = Cli({"info", path});
        EXPECT_TRUE(std::regex_search(text, std::regex(line))) << text;
    }
}

// Loader messages reach the terminal verbatim on stderr, never the notice
// about rerouting them. A file named as an archive gets the archive
// reader's word on what it holds.
TEST(InfoCommand, FailuresPrintTheLoaderMessagesAndExitWithOne) {
    TempDir dir;
    const std::string notFsh = "@ is not a valid FSH file\n";
    const std::string packed =
        notFsh + "The archive is RefPack-compressed, and the compressed data ends early\n";
    // File name (not written when there are no bytes), bytes, stdout, stderr.
    const std::tuple<const char*, std::vector<std::uint8_t>, std::string, std::string> cases[] = {
        {"missing.rav", {}, "", "Error opening @\nReason: No such file or directory\n"},
        {"scene.QFS", {0, 0, 0, 0, 1}, "", "@ is not a valid FSH file\n"},
        {"packed.rav", {0x90, 0xFB, 0, 0, 0, 9, 0xE0}, "", packed},
    };
    for (const auto& [name, bytes, stdOut, stdErr] : cases) {
        const std::string path = bytes.empty() ? dir.File(name) : dir.Write(name, bytes);
        const auto expected = std::tuple(1, FillPaths(stdOut, path), FillPaths(stdErr, path));
        EXPECT_EQ(Cli({"info", path, "--json"}), expected);
    }
}

} // namespace
