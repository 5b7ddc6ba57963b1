#include "tools/ChangeReport.h"

#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <span>
#include <tuple>

namespace {

using Report = RavChangeReport;

constexpr const char* kHeaderNames[] = {"offset00",   "textureCount",      "textureTableOffset",
                                        "value0C",    "offset10",          "recordSkip",
                                        "recordTableOffset", "objectCount", "objectTableOffset"};

// One bit per byte of the file: whether either model reads that byte.
class COwnedBytes {
public:
    explicit COwnedBytes(std::uint64_t size) : m_size(size), m_bits((size + 63) / 64) {}

    void Mark(std::uint64_t offset, std::uint64_t length) {
        const std::uint64_t end = std::min(m_size, offset + std::min(length, m_size));
        for (std::uint64_t at = offset; at < end;) {
            // The bits of this word from `at` up to `end` or the word's end.
            const std::uint64_t bits = std::min<std::uint64_t>(64 - at % 64, end - at);
            m_bits[at / 64] |= Mask(at % 64, bits);
            at += bits;
        }
    }

    [[nodiscard]] bool All(std::uint64_t begin, std::uint64_t end) const {
        for (std::uint64_t at = begin; at < end;) {
            const std::uint64_t bits = std::min<std::uint64_t>(64 - at % 64, end - at);
            const std::uint64_t mask = Mask(at % 64, bits);
            if ((m_bits[at / 64] & mask) != mask) {
                return false;
            }
            at += bits;
        }
        return true;
    }

    // The names of `rav`, which may differ in length from another model's
    // of the same layout.
    void MarkNames(const CRavFile& rav) {
        for (const RavTexture& t : rav.Textures()) {
            Mark(t.nameOffset, t.name.size() + 1);
        }
        for (const RavObject& o : rav.Objects()) {
            Mark(o.nameOffset, o.name.size() + 1);
        }
    }

    // Every section `rav` reads, as it reads them.
    void MarkModel(const CRavFile& rav) {
        const RavHeader& h = rav.header;
        Mark(0, kRavHeaderSize);
        Mark(static_cast<std::uint32_t>(h.textureTableOffset), 4 * rav.Textures().size());
        Mark(static_cast<std::uint32_t>(h.objectTableOffset),
             std::uint64_t{kRavObjectEntrySize} * rav.Objects().size());
        for (const RavTexture& t : rav.Textures()) {
            Mark(t.nameOffset, t.name.size() + 1);
        }
        for (const RavObject& o : rav.Objects()) {
            Mark(o.nameOffset, o.name.size() + 1);
            if (!IsGeometryObject(o)) {
                continue;
            }
            Mark(o.detailOffset, kRavDetailSize);
            Mark(o.detail.meshOffset, kRavMeshSize);
            Mark(o.mesh.vertexOffset, std::uint64_t{kRavVertexSize} * o.vertices.size());
            Mark(o.mesh.uvHeaderOffset, kRavUvHeaderSize);
            Mark(o.uvOffset, std::uint64_t{kRavUvSize} * o.uvs.size());
            Mark(o.detail.textureRecordOffset, std::uint64_t{kRavRecordSize} * o.textureRecords.size());
            for (std::size_t k = 0; k < o.textureRecords.size() && k < o.orders.size(); ++k) {
                Mark(o.textureRecords[k].orderOffset, 2 * o.orders[k].size());
            }
            Mark(o.mesh.colourOffset, std::uint64_t{kRavColourSize} * o.colours.size());
        }
    }

private:
    // `count` (1..64) bits from bit `first` up.
    static std::uint64_t Mask(std::uint64_t first, std::uint64_t count) {
        return (count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1) << first;
    }

    std::uint64_t m_size;
    std::vector<std::uint64_t> m_bits;
};

// Collects the differing runs of two files and whether one lies outside
// what the models read; the models' sections are marked at the first
// difference only, as most reports of a command's save have few.
class CByteDiff {
public:
    CByteDiff(const CRavFile& before, const CRavFile& after, Report& report)
        : m_before(before), m_after(after), m_report(report) {}

    void Run() {
        const std::span<const std::uint8_t> a = m_before.Bytes();
        const std::span<const std::uint8_t> b = m_after.Bytes();
        const std::size_t common = std::min(a.size(), b.size());
        for (std::size_t at = FirstDifference(a, b, 0, common); at < common;) {
            // The run goes on while another difference follows within the
            // joining gap; eight bytes are compared at a time.
            std::size_t last = at; // its last differing byte
            std::size_t next = at + 1;
            while (next < common && next - last <= kJoinGap) {
                if (common - next >= 8) {
                    const std::uint64_t x = Word(a, next) ^ Word(b, next);
                    if (x != 0) {
                        last = next + LastDifferingByte(x);
                    }
                    next += 8;
                } else {
                    last = a[next] != b[next] ? next : last;
                    ++next;
                }
            }
            Add(at, last + 1);
            at = FirstDifference(a, b, last + 1, common);
        }
        if (a.size() != b.size()) {
            Add(common, std::max(a.size(), b.size()));
        }
    }

private:
    static constexpr std::uint64_t kJoinGap = 16;

    static std::uint64_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        return word;
    }

    // The offset in a word of its last byte that differs, given the XOR of
    // the two words (not 0).
    static std::size_t LastDifferingByte(std::uint64_t x) {
        if constexpr (std::endian::native == std::endian::little) {
            return static_cast<std::size_t>(63 - std::countl_zero(x)) / 8;
        } else {
            return 7 - static_cast<std::size_t>(std::countr_zero(x)) / 8;
        }
    }

    // The first index from `at` where the files differ, or `end`.
    static std::size_t FirstDifference(std::span<const std::uint8_t> a,
                                       std::span<const std::uint8_t> b, std::size_t at,
                                       std::size_t end) {
        constexpr std::size_t kBlock = 256;
        while (at < end) {
            const std::size_t block = std::min(kBlock, end - at);
            if (std::memcmp(a.data() + at, b.data() + at, block) != 0) {
                break;
            }
            at += block;
        }
        while (at < end && a[at] == b[at]) {
            ++at;
        }
        return at;
    }

    void Add(std::uint64_t begin, std::uint64_t end) {
        if (!m_owned) {
            m_owned.emplace(std::max(m_before.Bytes().size(), m_after.Bytes().size()));
            m_owned->MarkModel(m_before);
            // Models of one layout read the same sections, names aside.
            if (m_report.sameLayout) {
                m_owned->MarkNames(m_after);
            } else {
                m_owned->MarkModel(m_after);
            }
        }
        if (!m_report.outsideModelDiffers && !m_owned->All(begin, end)) {
            m_report.outsideModelDiffers = true;
        }
        std::vector<Report::ByteRange>& runs = m_report.changedBytes;
        if (!runs.empty() && begin < runs.back().second + kJoinGap) {
            runs.back().second = end;
        } else {
            runs.emplace_back(begin, end);
        }
    }

    const CRavFile& m_before;
    const CRavFile& m_after;
    Report& m_report;
    std::optional<COwnedBytes> m_owned;
};

// Arrays of plain records, compared whole first: most of a save leaves
// most arrays alone.
template <typename T> bool SameArrays(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

template <typename T> std::size_t CountDiffering(const std::vector<T>& a, const std::vector<T>& b) {
    if (SameArrays(a, b)) {
        return 0;
    }
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        count += std::memcmp(&a[i], &b[i], sizeof(T)) != 0 ? 1 : 0;
    }
    return count + std::max(a.size(), b.size()) - std::min(a.size(), b.size());
}

std::string TextureName(const CRavFile& rav, std::int32_t textureRef) {
    const char* name = rav.GetTextureName(textureRef);
    return name != nullptr ? name : "no texture (" + std::to_string(textureRef) + ")";
}

// Counts the differing words of two records, those at `skipped` aside;
// floats by their bits.
template <typename Record>
std::size_t DifferingWords(const Record& a, const Record& b, std::span<const std::size_t> skipped) {
    std::array<std::uint32_t, 16> wordsA{}, wordsB{};
    std::size_t n = 0;
    ForEachField(a, [&](auto field) { wordsA[n++] = std::bit_cast<std::uint32_t>(field); });
    n = 0;
    ForEachField(b, [&](auto field) { wordsB[n++] = std::bit_cast<std::uint32_t>(field); });
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        count += wordsA[i] != wordsB[i] && std::ranges::find(skipped, i) == skipped.end() ? 1 : 0;
    }
    return count;
}

void CompareGeometry(const CRavFile& before, const CRavFile& after, const RavObject& a,
                     const RavObject& b, Report::ObjectChange& change) {
    double largestSquare = 0;
    const std::size_t compared =
        SameArrays(a.vertices, b.vertices) ? 0 : std::min(a.vertices.size(), b.vertices.size());
    for (std::size_t k = 0; k < compared; ++k) {
        const RavVertex& p = a.vertices[k];
        const RavVertex& q = b.vertices[k];
        if (std::memcmp(&p, &q, sizeof p) == 0) {
            continue;
        }
        ++change.verticesMoved;
        const double dx = double{q.x} - p.x, dy = double{q.y} - p.y, dz = double{q.z} - p.z;
        const double square = dx * dx + dy * dy + dz * dz;
        if (std::isfinite(square)) {
            largestSquare = std::max(largestSquare, square);
        }
    }
    change.largestMove = std::sqrt(largestSquare);
    // In the detail block: meshOffset, textureRecordCount, textureRecordOffset
    // are layout, words 7 to 12 the box.
    constexpr std::size_t kDetailSkipped[] = {1, 5, 6, 7, 8, 9, 10, 11, 12};
    constexpr std::size_t kMeshSkipped[] = {0, 1, 5, 6, 8};
    constexpr std::size_t kRecordSkipped[] = {1, 2, 3};
    change.boxChanged = std::memcmp(&a.detail.boxMin, &b.detail.boxMin, sizeof a.detail.boxMin) != 0 ||
                        std::memcmp(&a.detail.boxMax, &b.detail.boxMax, sizeof a.detail.boxMax) != 0;
    change.otherWords = DifferingWords(a.detail, b.detail, kDetailSkipped) +
                        DifferingWords(a.mesh, b.mesh, kMeshSkipped);
    for (std::size_t k = 0; k < a.textureRecords.size() && k < b.textureRecords.size(); ++k) {
        change.otherWords += DifferingWords(a.textureRecords[k], b.textureRecords[k], kRecordSkipped);
    }
    change.uvs = CountDiffering(a.uvs, b.uvs);
    change.colours = CountDiffering(a.colours, b.colours);
    for (std::size_t k = 0; k < a.orders.size() && k < b.orders.size(); ++k) {
        change.orderEntries += CountDiffering(a.orders[k], b.orders[k]);
    }
    for (std::size_t k = 0; k < a.textureRecords.size() && k < b.textureRecords.size(); ++k) {
        const std::int32_t refA = a.textureRecords[k].textureRef;
        const std::int32_t refB = b.textureRecords[k].textureRef;
        if (refA != refB) {
            change.textureReferences.push_back(
                {static_cast<std::int32_t>(k), TextureName(before, refA), TextureName(after, refB)});
        }
    }
}

bool Changed(const Report::ObjectChange& c) {
    return c.renamed || c.verticesMoved > 0 || c.uvs > 0 || c.colours > 0 || c.orderEntries > 0 ||
           c.boxChanged || c.otherWords > 0 || !c.textureReferences.empty();
}

// "1 colour", "3 colours".
std::string Count(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

// The parts of a change that are not zero; `c` may hold the totals of
// many objects, which changed `references` texture references and `boxes`
// boxes.
std::vector<std::string> Parts(const Report::ObjectChange& c, std::size_t references,
                               std::size_t boxes) {
    std::vector<std::string> parts;
    if (c.verticesMoved > 0) {
        parts.push_back(Count(c.verticesMoved, "vertex", "vertices") + " moved up to " +
                        ReportNumber(c.largestMove) + " units");
    }
    const std::tuple<std::size_t, const char*, const char*> counts[] = {
        {c.uvs, "texture coordinate", "texture coordinates"},
        {c.colours, "colour", "colours"},
        {references, "texture reference", "texture references"},
        {c.orderEntries, "order entry", "order entries"},
        {boxes, "bounding box", "bounding boxes"},
        {c.otherWords, "other word", "other words"}};
    for (const auto& [n, one, many] : counts) {
        if (n > 0) {
            parts.push_back(Count(n, one, many));
        }
    }
    return parts;
}

} // namespace

std::string ReportNumber(double value) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    if (error != std::errc{}) {
        return "?";
    }
    std::string number(text, end);
    if (number.find('.') != std::string::npos) {
        number.erase(number.find_last_not_of('0') + 1);
        if (number.back() == '.') {
            number.pop_back();
        }
    }
    return number;
}

RavChangeReport CompareRav(const CRavFile& before, const CRavFile& after) {
    Report report;
    report.sameLayout = before.SameLayout(after);
    report.objectsBefore = before.Objects().size();
    report.objectsAfter = after.Objects().size();
    report.texturesBefore = before.Textures().size();
    report.texturesAfter = after.Textures().size();

    std::vector<std::int32_t> wordsA, wordsB;
    ForEachField(before.header, [&wordsA](std::int32_t word) { wordsA.push_back(word); });
    ForEachField(after.header, [&wordsB](std::int32_t word) { wordsB.push_back(word); });
    for (std::size_t i = 0; i < wordsA.size(); ++i) {
        if (wordsA[i] != wordsB[i]) {
            report.header.push_back({kHeaderNames[i], wordsA[i], wordsB[i]});
        }
    }

    const auto objectsA = before.Objects();
    const auto objectsB = after.Objects();
    // Room for every object, claimed but not touched unless used: growing
    // the list of a move of everything would copy it again and again.
    report.objects.reserve(std::min(objectsA.size(), objectsB.size()));
    for (std::size_t j = 0; j < objectsA.size() && j < objectsB.size(); ++j) {
        const RavObject& a = objectsA[j];
        const RavObject& b = objectsB[j];
        Report::ObjectChange change;
        change.index = static_cast<std::int32_t>(j);
        change.name = a.name;
        if (a.name != b.name) {
            change.renamed = true;
            change.newName = b.name;
        }
        if (report.sameLayout && IsGeometryObject(a)) {
            CompareGeometry(before, after, a, b, change);
        }
        if (Changed(change)) {
            report.objects.push_back(std::move(change));
        }
    }
    const auto texturesA = before.Textures();
    const auto texturesB = after.Textures();
    for (std::size_t j = 0; j < texturesA.size() && j < texturesB.size(); ++j) {
        if (texturesA[j].name != texturesB[j].name) {
            report.textures.push_back(
                {static_cast<std::int32_t>(j), texturesA[j].name, texturesB[j].name});
        }
    }
    CByteDiff(before, after, report).Run();
    return report;
}

std::string RavChangeReport::Summary() const {
    std::vector<std::string> segments;
    if (!sameLayout) {
        segments.push_back("the layouts differ");
    }
    if (!header.empty()) {
        segments.push_back(Count(header.size(), "header word", "header words") + " changed");
    }
    if (!objects.empty()) {
        ObjectChange total;
        std::size_t references = 0, boxes = 0, names = 0;
        for (const ObjectChange& c : objects) {
            total.verticesMoved += c.verticesMoved;
            total.largestMove = std::max(total.largestMove, c.largestMove);
            total.uvs += c.uvs;
            total.colours += c.colours;
            total.orderEntries += c.orderEntries;
            total.otherWords += c.otherWords;
            references += c.textureReferences.size();
            boxes += c.boxChanged ? 1 : 0;
            names += c.renamed ? 1 : 0;
        }
        std::vector<std::string> parts = Parts(total, references, boxes);
        if (names > 0) {
            parts.push_back(Count(names, "name", "names"));
        }
        segments.push_back(Count(objects.size(), "object", "objects") + " changed: " +
                           Joined(parts, ", "));
    }
    if (!textures.empty()) {
        segments.push_back(Count(textures.size(), "texture", "textures") + " renamed");
    }
    return segments.empty() ? "nothing changed" : Joined(segments, "; ");
}

std::vector<std::string> RavChangeReport::Lines() const {
    std::vector<std::string> lines;
    if (!sameLayout) {
        lines.push_back("The layouts differ (" + std::to_string(objectsBefore) + " and " +
                        std::to_string(objectsAfter) + " objects, " +
                        std::to_string(texturesBefore) + " and " + std::to_string(texturesAfter) +
                        " textures): only the header and the names are compared");
    }
    for (const HeaderWord& word : header) {
        lines.push_back(std::string("Header ") + word.name + ": " + std::to_string(word.before) +
                        " -> " + std::to_string(word.after));
    }
    for (const ObjectChange& c : objects) {
        std::vector<std::string> parts;
        if (c.renamed) {
            parts.push_back("renamed to " + c.newName);
        }
        for (std::string& part : Parts(c, 0, c.boxChanged ? 1 : 0)) {
            parts.push_back(std::move(part));
        }
        for (const TextureReference& r : c.textureReferences) {
            parts.push_back("texture " + std::to_string(r.record) + " " + r.before + " -> " +
                            r.after);
        }
        lines.push_back("Object " + std::to_string(c.index) + " (" + c.name + "): " +
                        Joined(parts, ", "));
    }
    for (const Rename& t : textures) {
        lines.push_back("Texture " + std::to_string(t.index) + ": " + t.before + " -> " + t.after);
    }
    return lines;
}
