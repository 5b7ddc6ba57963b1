#include "FuzzReaders.h"

#include "filters/FilterTable.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "support/RavBuilder.h"
#include "support/ScriptedServices.h"
#include "support/TempDir.h"
#include "tools/RavTools.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Counts the messages of the workers it is attached to, and keeps them out
// of the terminal: a fuzzer runs each input thousands of times a second.
struct MessageCount {
    void Attach(CMessageOutput& worker) {
        worker.SetOutput([this](const char*, int, Severity) { ++said; });
        said = 0;
    }
    int said = 0;
};

// The UTF-8 path of `name` in `folder` after writing `bytes` there; empty
// when the file could not be written.
std::string WriteScratch(const fs::path& folder, std::string_view name,
                         std::span<const std::uint8_t> bytes) {
    const std::u8string text = (folder / std::string(name)).u8string();
    std::string path(text.begin(), text.end());
    FilePtr file = OpenFile(path, "wb");
    if (!file) {
        return {};
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return CloseFile(file) && written ? path : std::string();
}

// The model the imports read into: every shape of object an exchange file
// can address. G2 objects (four corners, one texture), a four-vertex object
// with two texture records, a triangle, an object of another kind, four
// corners at the origin, and a texture record whose texture is missing;
// fewer colours or texture coordinates than vertices here and there.
const std::vector<std::uint8_t>& FuzzModel() {
    static const std::vector<std::uint8_t> bytes = [] {
        RavBuilder::TextureRecord orphan = RavBuilder::Record(0, {0, 1, 2, 3});
        orphan.texture.reset();
        orphan.textureRef = 0x7777;
        const RavBuilder scene{
            .textures = {"grs0", "crw0", "CRW1"},
            .objects = {
                {.name = "pitch",
                 .vertices =
                     {{-2400, 0, -3400}, {2400, 0, -3400}, {2400, 0, 3400}, {-2400, 0, 3400}},
                 .uvs = {{0, 0}, {8, 0}, {8, 8}, {0, 8}},
                 .colours = {{180, 220, 180, 255},
                             {180, 220, 180, 255},
                             {180, 220, 180, 255},
                             {180, 220, 180, 255}},
                 .textureRecords = {RavBuilder::Record(0, {0, 1, 2, 0, 2, 3}),
                                    RavBuilder::Record(1, {0, 1, 2})}},
                {.name = "crowd_a",
                 .vertices = {{-10, 5, 40}, {10, 5, 40}, {10, 0, 40}, {-10, 0, 40}},
                 .uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
                 .colours = {{255, 255, 255, 0}, {200, 200, 200, 0}, {90, 90, 90, 0}, {0, 0, 0, 0}},
                 .textureRecords = {RavBuilder::Record(1, {0, 1, 2, 3})}},
                {.name = "crowd_b",
                 .vertices = {{10, 5, 40}, {30, 5, 40}, {30, 0, 40}, {10, 0, 40}},
                 .uvs = {{0, 0}, {1, 0}},
                 .colours = {{255, 255, 255, 0}},
                 .textureRecords = {RavBuilder::Record(2, {0, 1, 2, 3})}},
                {.name = "roof",
                 .vertices = {{1.5f, 2, -3}, {4, 2, -3}, {4, 0, -3}},
                 .uvs = {{0, 0}, {1, 0}, {1, 1}},
                 .textureRecords = {RavBuilder::Record(0, {0, 1, 2})}},
                {.name = "mark", .kind = 0, .vertices = {{5, 5, 5}}},
                {.name = "zero",
                 .vertices = {{}, {0, -0.0f, 0}, {}, {}},
                 .textureRecords = {RavBuilder::Record(1, {})}},
                {.name = "advert",
                 .vertices = {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9, 10, 11}},
                 .colours = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}},
                 .textureRecords = {orphan}},
            }};
        return scene.Build().image.Bytes();
    }();
    return bytes;
}

// The bytes of a file of `before` that a save of `rav` may change. The
// sections of the model, each name with the room it had (its characters and
// terminator); or, with `boxesOnly`, just the bounding boxes: a save of an
// unchanged model writes back what was read but for those.
std::vector<bool> Writable(const CRavFile& rav, std::span<const std::uint8_t> before,
                           bool boxesOnly) {
    std::vector<bool> writable(before.size(), false);
    const auto mark = [&writable](std::uint64_t offset, std::uint64_t length) {
        for (std::uint64_t i = offset; i < offset + length && i < writable.size(); ++i) {
            writable[i] = true;
        }
    };
    for (std::int32_t j = 0; j < rav.header.objectCount; ++j) {
        const RavObject& o = *rav.GetObject(j);
        if (o.kind == 1) {
            mark(std::uint64_t{o.detailOffset} + 0x1C, 24);
        }
        if (boxesOnly) {
            continue;
        }
        std::uint64_t room = 0;
        while (o.nameOffset + room < before.size() && before[o.nameOffset + room] != 0) {
            ++room;
        }
        mark(o.nameOffset, room + 1);
        if (o.kind != 1) {
            continue;
        }
        mark(o.detailOffset, kRavDetailSize);
        mark(o.detail.meshOffset, kRavMeshSize);
        mark(o.mesh.vertexOffset, 12 * o.vertices.size());
        mark(o.mesh.colourOffset, 4 * o.colours.size());
        mark(o.mesh.uvHeaderOffset, 8);
        mark(o.uvOffset, 8 * o.uvs.size());
        mark(o.detail.textureRecordOffset, kRavRecordSize * o.textureRecords.size());
        for (std::size_t k = 0; k < o.textureRecords.size(); ++k) {
            mark(o.textureRecords[k].orderOffset, 2 * o.orders[k].size());
        }
    }
    return writable;
}

// Whether `after` still holds `before` wherever `writable` says no. It may
// have grown: an array may run past the end of the file.
bool KeptOutside(std::span<const std::uint8_t> after, std::span<const std::uint8_t> before,
                 const std::vector<bool>& writable) {
    if (after.size() < before.size()) {
        return false;
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (after[i] != before[i] && !writable[i]) {
            return false;
        }
    }
    return true;
}

bool FeedRav(std::span<const std::uint8_t> input) {
    CRavFile rav;
    MessageCount count;
    count.Attach(rav);
    if (!rav.LoadBytes(input, "input.rav")) {
        return count.said > 0;
    }
    // Nothing changed since the load, so nothing can stand in the way, and
    // nothing but the boxes can come out different.
    const std::vector<bool> boxes = Writable(rav, input, true);
    std::vector<std::uint8_t> saved;
    return rav.PrepareSave(saved) && KeptOutside(saved, input, boxes);
}

// Loads the archive, unpacking it when it is compressed, and describes and
// decodes every entry; each refusal must come with its reason.
bool FeedFsh(std::span<const std::uint8_t> input) {
    CFshFile archive;
    MessageCount count;
    count.Attach(archive);
    if (!archive.LoadBytes({input.begin(), input.end()}, "input.fsh", 1)) {
        return count.said > 0;
    }
    CFshImage image;
    FshImageInfo info;
    for (std::int32_t i = 0; i < archive.header.entryCount; ++i) {
        std::string problem;
        if (!archive.DescribeImage(i, info, problem) && problem.empty()) {
            return false;
        }
        problem.clear();
        if (!archive.DecodeImage(i, image, problem) && problem.empty()) {
            return false;
        }
        if (problem.empty() && image.rgba.size() != std::size_t{image.width} * image.height * 4) {
            return false;
        }
    }
    return true;
}

bool FeedTpl(std::span<const std::uint8_t> input, const fs::path& folder) {
    const std::string path = WriteScratch(folder, "input.fsh", input);
    if (path.empty()) {
        return false;
    }
    CFshFile archive;
    MessageCount archiveCount;
    archiveCount.Attach(archive);
    if (!archive.Load(path, 1)) {
        return archiveCount.said > 0;
    }
    // Every image chosen: each one's size is read from the file.
    ScriptedServices services;
    services.selectionDialog = [](CImageSelection&) { return true; };
    CRavTools tools;
    tools.SetDialogs(services);
    MessageCount count;
    count.Attach(tools);
    return tools.CreateTplLayout(&archive) || count.said > 0;
}

// The filter reads its file from disk; the model comes from memory and
// goes back there.
bool FeedImport(CFilter& filter, std::span<const std::uint8_t> input, const fs::path& folder) {
    const std::string extension(FilterExtensions(filter.Traits()).front());
    const std::string path = WriteScratch(folder, "input" + extension, input);
    if (path.empty()) {
        return false;
    }
    CRavFile rav;
    MessageCount ravCount;
    ravCount.Attach(rav);
    if (!rav.LoadBytes(FuzzModel(), "model.rav")) {
        return false;
    }
    const std::vector<bool> sections = Writable(rav, FuzzModel(), false);
    MessageCount count;
    count.Attach(filter);
    if (!filter.Import(path, &rav)) {
        return count.said > 0;
    }
    // An import never changes the model's layout, so its save must go
    // through, and it must keep to the model's sections.
    std::vector<std::uint8_t> saved;
    return rav.PrepareSave(saved) && KeptOutside(saved, FuzzModel(), sections);
}

} // namespace

bool IsFuzzKey(std::string_view key) {
    return key == "rav" || key == "fsh" || key == "tpl" || CFilterTable().IndexForKey(key) >= 0;
}

bool FeedReader(std::string_view key, std::span<const std::uint8_t> input, const fs::path& folder) {
    if (key == "rav") {
        return FeedRav(input);
    }
    if (key == "fsh") {
        return FeedFsh(input);
    }
    if (key == "tpl") {
        return FeedTpl(input, folder);
    }
    const CFilterTable filters;
    const int index = filters.IndexForKey(key);
    return index >= 0 && FeedImport(*filters.Get(static_cast<std::size_t>(index)), input, folder);
}

const fs::path& FuzzScratchFolder() {
    static const TempDir folder;
    return folder.Path();
}
