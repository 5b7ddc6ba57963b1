#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "pictures/Scene.h"
#include "pictures/SceneHit.h"
#include "pictures/ScenePainter.h"

#include "support/FshBuilder.h"
#include "support/RavBuilder.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A 10 x 10 crowd quad on the ground (y = 0) at x, z 0..10, green in its
// vertex colours and textured "CRWA"; a three-point object on its right;
// a second quad over the right half of the first, drawn after it; and a
// banner at x 12..16, z 0..4 whose coordinates run to 2, repeating the
// texture.
void LoadScene(CRavFile& model) {
    RavBuilder rav;
    rav.textures = {"crwa"};
    const RavBuilder::Colour green{20, 200, 40, 255}; // bytes 2, 1, 0: red 40, green 200, blue 20
    rav.objects = {
        {.name = "stand",
         .vertices = {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}},
         .uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
         .colours = {green, green, green, green},
         .textureRecords = {RavBuilder::Record(0, {0, 1, 2, 3})}},
        {.name = "mast", .vertices = {{20, 1, 2}, {24, 3, 4}, {22, 5, 8}}},
        {.name = "board",
         .vertices = {{6, 0, 2}, {9, 0, 2}, {9, 0, 8}, {6, 0, 8}},
         .colours = {green, green, green, green}},
        {.name = "banner",
         .vertices = {{12, 0, 0}, {16, 0, 0}, {16, 0, 4}, {12, 0, 4}},
         .uvs = {{0, 0}, {2, 0}, {2, 2}, {0, 2}},
         .textureRecords = {RavBuilder::Record(0, {0, 1, 2, 3})}},
    };
    model.SetOutput([](const char*, int, Severity) {});
    ASSERT_TRUE(model.LoadBytes(rav.Build().image.Bytes(), "scene.rav"));
}

CScene MakeScene(const CFshFile* archive = nullptr) {
    CRavFile rav;
    LoadScene(rav);
    return CScene::From(rav, archive);
}

// Two images named like the texture but for case; the first counts: red
// over blue, so that a quad shows which way up it is mapped.
void LoadArchive(CFshFile& archive) {
    // Two rows of each, so that filtering never mixes the two colours where
    // the tests look.
    const FshImage redOverBlue = MakeFshImage32(
        1, 4, {0, 0, 250, 255, 0, 0, 250, 255, 250, 0, 0, 255, 250, 0, 0, 255});
    const FshImage grey = MakeFshImage32(1, 1, {90, 90, 90, 255});
    ASSERT_TRUE(archive.LoadBytes(
        MakeFshArchive({{MakeFshTag("CRWA"), redOverBlue}, {MakeFshTag("crwa"), grey}},
                       MakeFshTag("GIMX")),
        "crowd.fsh", 1));
}

QRgb ColourAt(const CScene& scene, SceneAxes axes, QPointF world) {
    const QImage picture = CScenePainter::Render(scene, axes, 200);
    const QRectF area(0, 0, 200, 200);
    const QPointF at = CScenePainter::Fit(scene.Bounds(axes), area).map(world);
    return picture.pixel(at.toPoint());
}

TEST(ScenePainterTest, QuadsShowTheirTextureOrElseTheirVertexColours) {
    CFshFile archive;
    LoadArchive(archive);
    const struct {
        const CFshFile* archive;
        QRgb nearZ0, nearZ10; // left of the board, which covers x 6..9
        QRgb bannerRepeated;  // where v runs past 1
    } cases[] = {
        // The average of the vertex colours; grey without any.
        {nullptr, qRgb(40, 200, 20), qRgb(40, 200, 20), qRgb(150, 150, 150)},
        // v = 0 (at z = 0) is the image's top row.
        {&archive, qRgb(250, 0, 0), qRgb(0, 0, 250), qRgb(250, 0, 0)},
    };
    for (const auto& c : cases) {
        const CScene scene = MakeScene(c.archive);
        EXPECT_EQ(ColourAt(scene, SceneAxes::Top, {3, 2}), c.nearZ0);
        EXPECT_EQ(ColourAt(scene, SceneAxes::Top, {3, 8}), c.nearZ10);
        EXPECT_EQ(ColourAt(scene, SceneAxes::Top, {7.5, 5}), qRgb(40, 200, 20));
        EXPECT_EQ(ColourAt(scene, SceneAxes::Top, {14, 2.5}), c.bannerRepeated);
    }
}

// x to the right in both views; z up the top view, y up the front view.
TEST(ScenePainterTest, ViewsPutAPointWhereItsAxesSay) {
    const CScene scene = MakeScene();
    const QRectF area(0, 0, 100, 100);
    const struct {
        SceneAxes axes;
        QRectF bounds;
        QPointF mastTip; // where the vertex (22, 5, 8) lands
    } cases[] = {
        // x 0..24 and z 0..10: 90 / 24 pixels a unit, centred.
        {SceneAxes::Top, QRectF(QPointF(0, 0), QPointF(24, 10)), {5 + 22 * 3.75, 50 + (5 - 8) * 3.75}},
        // x 0..24 and y 0..5.
        {SceneAxes::Front, QRectF(QPointF(0, 0), QPointF(24, 5)), {5 + 22 * 3.75, 50 + (2.5 - 5) * 3.75}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scene.Bounds(c.axes), c.bounds);
        const QPointF tip = CScenePainter::Fit(scene.Bounds(c.axes), area).map(OnPlane({22, 5, 8}, c.axes));
        EXPECT_NEAR(tip.x(), c.mastTip.x(), 1e-9);
        EXPECT_NEAR(tip.y(), c.mastTip.y(), 1e-9);
    }
}

TEST(ScenePainterTest, HitTestNamesTheObjectDrawnLastThere) {
    const CScene scene = MakeScene();
    const QTransform toPicture = CScenePainter::Fit(scene.Bounds(SceneAxes::Top), QRectF(0, 0, 300, 300));
    const struct {
        QPointF world;
        int index; // -1: nothing
    } cases[] = {
        {{3, 5}, 0}, {{7.5, 5}, 2}, {{22, 5}, 1}, {{15, 5}, -1}, {{3, 11}, -1},
    };
    for (const auto& c : cases) {
        const auto hit = HitTest(scene, SceneAxes::Top, toPicture, toPicture.map(c.world));
        EXPECT_EQ(hit ? hit->index : -1, c.index) << c.world.x() << ", " << c.world.y();
    }
    const auto stand = HitTest(scene, SceneAxes::Top, toPicture, toPicture.map(QPointF(1, 1)));
    ASSERT_TRUE(stand);
    EXPECT_EQ(stand->name, "stand");
    EXPECT_EQ(stand->vertexCount, 4);
    EXPECT_EQ(stand->textureName, "crwa");
}

} // namespace
