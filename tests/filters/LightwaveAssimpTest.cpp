#include "filters/FilterTestSupport.h"
#include "filters/LightwaveFilter.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdlib>
#include <filesystem>

namespace {

using LightwaveTest = FilterTest<CLightwaveFilter>;

using Triangle = std::array<std::array<float, 3>, 3>;

const std::filesystem::path kTools = POLYPORT_NODE_TOOLS;

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

bool ReaderInstalled(const TempDir& dir) {
    return std::filesystem::exists(kTools / "node_modules" / "assimpjs" / "package.json") &&
           std::system(("node --version > " + Quoted(dir.File("node")) + " 2>&1").c_str()) == 0;
}

// assimp (its WebAssembly build, run by node) reads the exported file as an
// outside program would; the test compares what it sees with the fixture's
// own coordinates. assimp turns a point (x, y, z) into (x, y, -z) and
// reverses each polygon's corners, so it splits the quadrilateral a b c d
// into the triangles d c b and d b a.
TEST_F(LightwaveTest, AssimpSeesTheExportedQuadrilaterals) {
    if (!ReaderInstalled(dir)) {
        const char* ci = std::getenv("CI");
        if (ci != nullptr && std::string(ci) == "true") {
            FAIL() << "node or " << (kTools / "node_modules").string()
                   << " is missing; scripts/ensure-node-modules.sh installs them";
        }
        GTEST_SKIP() << "node or the npm packages of tests/node are missing";
    }
    RavBuilder scene = TwoRectangles();
    scene.objects.push_back(
        {.vertices = {
             {0.1f, -1e-3f, 12345.678f}, {1.0f / 3, 2, -7.25f}, {-0.1f, 1e-30f, 3}, {4, 0, -3}}});
    LoadScene(scene);
    ASSERT_TRUE(filter.Export(exchange, &rav));

    const std::string json = dir.File("seen.json");
    const std::string command = "node " + Quoted((kTools / "lwo-to-glb.js").string()) + " " +
                                Quoted(exchange) + " > " + Quoted(json);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const nlohmann::json seen = nlohmann::json::parse(ReadText(json));
    EXPECT_EQ(seen["materials"], nlohmann::json::array({"SKETCH_1"}));

    std::vector<Triangle> expected;
    for (const std::size_t object : {0, 3, 5}) { // the objects with a quadrilateral
        const auto& v = scene.objects[object].vertices;
        const auto corner = [&](std::size_t k) { return std::array{v[k].x, v[k].y, -v[k].z}; };
        expected.push_back({corner(3), corner(2), corner(1)});
        expected.push_back({corner(3), corner(1), corner(0)});
    }
    EXPECT_EQ(seen["triangles"].get<std::vector<Triangle>>(), expected);
}

} // namespace
