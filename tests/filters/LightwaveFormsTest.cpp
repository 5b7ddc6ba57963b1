#include "filters/FilterTestSupport.h"
#include "filters/LightwaveFilter.h"

#include <bit>
#include <tuple>

namespace {

using LightwaveFormsTest = FilterTest<CLightwaveFilter>;

// `bytes` big-endian bytes of `value`, composed without the filter's code.
std::string Be(std::uint32_t value, int bytes) {
    return bytes == 0 ? "" : Be(value >> 8, bytes - 1) + static_cast<char>(value);
}
// A FORM is a chunk too; an odd size gets its pad byte.
std::string Chunk(const std::string& id, const std::string& data) {
    return id + Be(static_cast<std::uint32_t>(data.size()), 4) + data +
           std::string(data.size() % 2, '\0');
}
// Points n to n + count - 1; point n is (n, n, n).
std::string Pnts(int n, int count) {
    std::string data;
    for (int i = 3 * n; i < 3 * (n + count); ++i) {
        data += Be(std::bit_cast<std::uint32_t>(static_cast<float>(i / 3)), 4);
    }
    return Chunk("PNTS", data);
}
// A quadrilateral on points n to n + 3: its corner count and 16-bit indices.
std::string Face(std::uint32_t n) {
    return Be(4, 2) + Be(n, 2) + Be(n + 1, 2) + Be(n + 2, 2) + Be(n + 3, 2);
}
// The points that the objects holding a quadrilateral (0, 2 and 4, not the
// triangle 1 nor 3 at the origin, which start as points 1 to 4) take from
// each file, and what is said. The LWO2 file: layer 1 with points 10-13 and
// a face with flag bits over its count; layer 2 with a patch (passed over),
// points 20-23, a face and a triangle, points 30-37 and a face with 4-byte
// indices whose top byte is 0xFF; an odd chunk.
TEST_F(LightwaveFormsTest, QuadrilateralsGoToTheObjectsInFileOrder) {
    const std::string lwo2 =
        Chunk("FORM", "LWO2" + Chunk("LAYR", Be(0, 4)) + Pnts(10, 4) +
                          Chunk("POLS", "FACE" + Be(0xFC04, 2) + Face(0).substr(2)) +
                          Chunk("LAYR", Be(1, 4)) + Chunk("POLS", "PTCH" + Face(0)) + Pnts(20, 4) +
                          Chunk("POLS", "FACE" + Face(0) + Be(3, 2) + Be(1, 6)) + Pnts(30, 8) +
                          Chunk("POLS", "FACE" + Be(4, 2) + Be(0xFF000004, 4) + Be(0xFF000005, 4) +
                                            Be(0xFF000006, 4) + Be(0xFF000007, 4)) +
                          Chunk("TAGS", "x"));
    const std::string other = exchange + " is not a LightWave object file (form type LWLO)";
    // clang-format off
    const std::tuple<std::string, bool, Messages, std::array<int, 3>> cases[] = {
        {lwo2, true, {{"Object 1 is not a G2 Object (not a rectangle)... skipping", 1}},
         {10, 20, 34}},
        {Chunk("FORM", "LWLO" + Pnts(0, 4)), false, {{other, 1}}, {1, 1, 1}}};
    // clang-format on
    // Point n of corner 0 of object k, when corner 3 is point n + 3.
    const auto point = [this](std::int32_t k) {
        const std::vector<RavVertex>& v = rav.GetObject(k)->vertices;
        return v[3].x == v[0].x + 3 && v[3].z == v[3].x ? static_cast<int>(v[0].y) : -1;
    };
    const RavBuilder::Object quad{.vertices = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}};
    for (const auto& [file, result, said, first] : cases) {
        LoadScene(
            {.objects = {
                 quad, {.vertices = {{}, {}, {}}}, quad, {.vertices = {{}, {}, {}, {}}}, quad}});
        EXPECT_EQ(Import(file), result);
        EXPECT_EQ(messages, said);
        EXPECT_EQ((std::array{point(0), point(2), point(4)}), first);
    }
    EXPECT_EQ(ReadText(POLYPORT_FUZZ_CORPUS "/lwo/two-layers.lwo"), lwo2);
}

} // namespace
