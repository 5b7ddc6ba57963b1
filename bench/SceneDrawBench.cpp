// Drawing a crowd of textured quads as the View tab and `render` do: fitted
// into 1024 x 1024, and zoomed into an 800 x 600 view where each quad is
// about 50 pixels wide (a redraw while the user zooms and pans).

#include "QtBenchApp.h"

#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "pictures/Scene.h"
#include "pictures/ScenePainter.h"
#include "support/FshBuilder.h"
#include "support/RavBuilder.h"

#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

// `count` quads of 1 x 1 units on the ground in a square grid, each with
// one of eight 64 x 64 textures; `repeat` maps the texture twice across
// (coordinates 0..2), which takes the pattern fill instead of the direct
// image draw.
std::unique_ptr<CScene> CrowdScene(int count, bool repeat) {
    RavBuilder rav;
    for (int t = 0; t < 8; ++t) {
        rav.textures.push_back("t00" + std::to_string(t));
    }
    const int side = static_cast<int>(std::ceil(std::sqrt(count)));
    const float uv = repeat ? 2 : 1;
    for (int i = 0; i < count; ++i) {
        const float x = float(i % side) * 1.2f, z = float(i / side) * 1.2f;
        rav.objects.push_back({.name = "crowd",
                               .vertices = {{x, 0, z}, {x + 1, 0, z}, {x + 1, 0, z + 1}, {x, 0, z + 1}},
                               .uvs = {{0, 0}, {uv, 0}, {uv, uv}, {0, uv}},
                               .colours = std::vector<RavBuilder::Colour>(4, {90, 90, 90, 255}),
                               .textureRecords = {RavBuilder::Record(i % 8, {0, 1, 2, 3})}});
    }
    std::vector<FshNamedImage> images;
    for (int t = 0; t < 8; ++t) {
        std::vector<std::uint8_t> bgra;
        for (int p = 0; p < 64 * 64; ++p) {
            bgra.insert(bgra.end(), {std::uint8_t(p), std::uint8_t(t * 30), std::uint8_t(p >> 4), 255});
        }
        images.emplace_back(MakeFshTag("t00" + std::to_string(t)), MakeFshImage32(64, 64, bgra));
    }
    CRavFile model;
    CFshFile archive;
    model.SetOutput([](const char*, int, Severity) {});
    archive.SetOutput([](const char*, int, Severity) {});
    if (!model.LoadBytes(rav.Build().image.Bytes(), "crowd.rav") ||
        !archive.LoadBytes(MakeFshArchive(images, MakeFshTag("GIMX")), "crowd.fsh", 1)) {
        return nullptr;
    }
    return std::make_unique<CScene>(CScene::From(model, &archive));
}

void BM_DrawFitted(benchmark::State& state) {
    EnsureQtApplication();
    const auto scene = CrowdScene(static_cast<int>(state.range(0)), state.range(1) != 0);
    QImage picture(1024, 1024, QImage::Format_ARGB32_Premultiplied);
    const QRectF area(0, 0, 1024, 1024);
    const QTransform fit = CScenePainter::Fit(scene->Bounds(SceneAxes::Top), area);
    for (auto _ : state) {
        QPainter painter(&picture);
        CScenePainter::Draw(painter, *scene, SceneAxes::Top, fit, area);
    }
}
BENCHMARK(BM_DrawFitted)->ArgsProduct({{10'000, 100'000}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_DrawZoomed(benchmark::State& state) {
    EnsureQtApplication();
    const auto scene = CrowdScene(10'000, false);
    QImage picture(800, 600, QImage::Format_ARGB32_Premultiplied);
    const QRectF area(0, 0, 800, 600);
    // 50 pixels a unit, centred on the middle of the crowd.
    const QPointF centre = scene->Bounds(SceneAxes::Top)->center();
    const QTransform zoomed(50, 0, 0, -50, 400 - 50 * centre.x(), 300 + 50 * centre.y());
    for (auto _ : state) {
        QPainter painter(&picture);
        CScenePainter::Draw(painter, *scene, SceneAxes::Top, zoomed, area);
    }
}
BENCHMARK(BM_DrawZoomed)->Unit(benchmark::kMillisecond);

} // namespace
