#include "filters/DesignWorkshopFilter.h"
#include "filters/FilterTestSupport.h"
#include "gamefiles/RavObjectKinds.h"

#include <tuple>

namespace {

using DesignWorkshopBlocksTest = FilterTest<CDesignWorkshopFilter>;

// Each G2 object after object 0 gets back the corners it was exported with,
// past the objects the export leaves out: the import of an export into the
// model with those corners overwritten saves what a plain save writes (the
// corners of both models hold at most six decimals). A polyline more is
// reported and left out; one fewer is fatal. The scene has other objects
// between and after G2 objects.
TEST_F(DesignWorkshopBlocksTest, PolylinesComeBackToTheirG2Objects) {
    const RavBuilder::Object light{.kind = 3}, triangle{.vertices = {{}, {}, {}}};
    const auto quad = [](float x, std::int32_t texture) {
        return Quad("", {{x, 1, 2}, {3, x, 4}, {5, 6, x}, {0.5f, -x, 0.25f}}, texture);
    };
    const RavBuilder scene{
        .textures = {"t0", "t1"},
        .objects = {light, quad(1, 1), triangle, quad(2, 0), light, quad(3, 1), light}};
    const std::pair<std::vector<std::uint8_t>, int> models[] = {{scene.Build().image.Bytes(), 3}};
    for (const auto& [model, g2] : models) {
        path = dir.Write("scene.rav", model);
        ASSERT_TRUE(rav.Load(path));
        std::vector<std::uint8_t> plain, imported;
        ASSERT_TRUE(rav.PrepareSave(plain));
        const std::string text = Export(), last = text.substr(text.rfind("Polyline:"));
        const std::string more = "Warning! The file has " + std::to_string(g2 + 1) +
                                 " polylines but the RAV file has " + std::to_string(g2) +
                                 " G2 objects; the rest are left out";
        // clang-format off
        const std::tuple<std::string, bool, Messages> files[] = {
            {text, true, {}},
            {text + last, true, {{more, 1}}},
            {text.substr(0, text.size() - last.size()), false, {{"Fatal error - aborting", 1}}}};
        // clang-format on
        for (const auto& [file, result, said] : files) {
            ASSERT_TRUE(rav.Load(path));
            for (RavObject& object : rav.Objects().subspan(1)) {
                if (IsDesignWorkshopG2(object)) {
                    object.vertices.assign(4, {7, 7, 7});
                }
            }
            messages.clear();
            EXPECT_EQ(Import(file), result);
            EXPECT_EQ(messages, said);
            EXPECT_TRUE(!result || (rav.PrepareSave(imported) && imported == plain));
        }
    }
}

} // namespace
