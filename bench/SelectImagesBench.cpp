// The "Select images" dialog over an archive of 500 images: made, shown and
// laid out with the thumbnails of the rows in view, as a user sees it open.

#include "QtBenchApp.h"

#include "app/SelectImagesDlg.h"
#include "gamefiles/FshFile.h"
#include "support/FshBuilder.h"
#include "tools/ImageSelection.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SelectImagesDialogOpens(benchmark::State& state) {
    EnsureQtApplication();
    std::vector<FshNamedImage> images;
    std::vector<std::string> names;
    for (int i = 0; i < 500; ++i) {
        names.push_back("c" + std::to_string(i));
        images.emplace_back(MakeFshTag(names.back()),
                            MakeFshImage32(64, 128, std::vector<std::uint8_t>(64 * 128 * 4, std::uint8_t(i))));
    }
    CFshFile archive;
    if (!archive.LoadBytes(MakeFshArchive(images, MakeFshTag("GIMX")), "crowd.fsh", 1)) {
        state.SkipWithError("the archive does not load");
        return;
    }
    for (auto _ : state) {
        CImageSelection selection(names, 500, "%d images of %d selected for tpl creation");
        CSelectImagesDlg dialog(selection, archive);
        dialog.show();
        QApplication::processEvents();
        QApplication::processEvents();
        dialog.close();
    }
}
BENCHMARK(BM_SelectImagesDialogOpens)->Unit(benchmark::kMillisecond);

} // namespace
