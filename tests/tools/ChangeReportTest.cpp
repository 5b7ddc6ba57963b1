#include "gamefiles/RavTestSupport.h"
#include "tools/ChangeReport.h"

#include <functional>

namespace {

// Each kind of change made to the sample scene's model and saved into a
// copy of its bytes; the report of the copy against the original.
TEST(ChangeReport, NamesEachKindOfChange) {
    const RavBuilder::Result built = SampleScene().Build();
    const auto record = built.layout.recordTable; // read by nobody
    struct Case {
        const char* what;
        std::function<void(CRavFile&)> change;
        std::function<void(std::vector<std::uint8_t>&)> poke; // on the saved bytes
        std::vector<std::string> lines;
        std::string summary;
        bool outside = false;
        bool textureNames = false; // saved as the name import saves them
    };
    const auto none = [](std::vector<std::uint8_t>&) {};
    const Case cases[] = {
        {"nothing", [](CRavFile&) {}, none, {}, "nothing changed"},
        {"a move", [](CRavFile& r) { r.GetObject(2)->vertices[1].x += 3; r.GetObject(2)->vertices[3].z -= 40.5f; },
         none, {"Object 2 (Stand): 2 vertices moved up to 40.5 units, 1 bounding box"},
         "1 object changed: 2 vertices moved up to 40.5 units, 1 bounding box"},
        {"uvs, colours, orders", [](CRavFile& r) {
             RavObject& o = *r.GetObject(2);
             o.uvs[0].u = 0.5f;
             o.colours[2][0] = 0;
             o.orders[1][3] = 7;
         }, none, {"Object 2 (Stand): 1 texture coordinate, 1 colour, 1 order entry"},
         "1 object changed: 1 texture coordinate, 1 colour, 1 order entry"},
        {"a texture reference and a name", [](CRavFile& r) {
             r.GetObject(2)->textureRecords[0].textureRef = r.GetTexture(0)->textureRef;
             r.GetObject(0)->name = "Pit";
         }, none, {"Object 0 (Pitch): renamed to Pit", "Object 2 (Stand): texture 0 Stand_A -> grass01"},
         "2 objects changed: 1 texture reference, 1 name"},
        {"a texture name", [](CRavFile& r) { r.GetTexture(1)->name = "Seat"; }, none,
         {"Texture 1: Stand_A -> Seat"}, "1 texture renamed", false, true},
        {"a byte of no section", [](CRavFile&) {}, [&](std::vector<std::uint8_t>& b) { b[record + 3] ^= 1; },
         {}, "nothing changed", true},
        {"a header word", [](CRavFile&) {}, [](std::vector<std::uint8_t>& b) { b[12] ^= 1; },
         {"Header value0C: 0 -> 1"}, "1 header word changed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CRavFile before, after, saved;
        // Both sides saved once, so the boxes a save computes are the same.
        std::vector<std::uint8_t> image;
        ASSERT_TRUE(before.LoadBytes(built.image.Bytes(), "a.rav") && before.PrepareSave(image));
        ASSERT_TRUE(before.LoadBytes(image, "a.rav") && after.LoadBytes(image, "a.rav"));
        c.change(after);
        ASSERT_TRUE(c.textureNames ? after.PrepareSaveTextureNames(image) : after.PrepareSave(image));
        c.poke(image);
        ASSERT_TRUE(saved.LoadBytes(image, "b.rav"));
        const RavChangeReport report = CompareRav(before, saved);
        EXPECT_EQ(report.Lines(), c.lines);
        EXPECT_EQ(report.Summary(), c.summary);
        EXPECT_EQ(report.outsideModelDiffers, c.outside);
        EXPECT_EQ(report.changedBytes.empty(), c.lines.empty() && !c.outside);
    }
}

// Where the layouts differ only the header and the names are compared.
TEST(ChangeReport, OtherLayoutComparesHeaderAndNames) {
    RavBuilder other = SampleScene();
    other.objects.pop_back();
    other.objects[0].name = "Field";
    CRavFile a, b;
    ASSERT_TRUE(a.LoadBytes(SampleScene().Build().image.Bytes(), "a.rav"));
    ASSERT_TRUE(b.LoadBytes(other.Build().image.Bytes(), "b.rav"));
    const RavChangeReport report = CompareRav(a, b);
    EXPECT_FALSE(report.sameLayout);
    EXPECT_EQ(report.Lines().front(), "The layouts differ (3 and 2 objects, 2 and 2 textures): only "
                                      "the header and the names are compared");
    EXPECT_EQ(report.Lines().back(), "Object 0 (Pitch): renamed to Field");
}

} // namespace
