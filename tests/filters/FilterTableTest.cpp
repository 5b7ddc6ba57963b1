#include "filters/FilterTable.h"
#include "filters/FilterTestSupport.h"
#include "support/InChild.h"

#include <csignal>
#include <filesystem>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

// Every filter reports a file it cannot open, and a file it cannot write
// whole is reported and removed rather than left cut off.
TEST(FilterTable, EveryFilterReportsWhatItCannotOpenOrWrite) {
    TempDir dir;
    const RavBuilder scene{.textures = {"t0"},
                           .objects = {Quad("a", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 1, 1}}, 0),
                                       Quad("b", {{3, 2, 1}, {6, 5, 4}, {9, 8, 7}, {1, 1, 1}}, 0)}};
    CRavFile rav;
    ASSERT_TRUE(rav.Load(dir.Write("scene.rav", scene.Build().image.Bytes())));
    const std::string path = dir.File("out");
    const std::string missing = dir.File("no/such/folder/out");
    CFilterTable table;
    for (std::size_t i = 0; i < table.Count(); ++i) {
        SCOPED_TRACE(i);
        CFilter& filter = *table.Get(i);
        Messages messages;
        filter.SetOutput([&](const char* text, int flag, Severity) { messages.emplace_back(text, flag); });
        messages.clear();
        EXPECT_FALSE(filter.Import(missing, &rav));
        EXPECT_EQ(messages, (Messages{{"Error opening " + missing, 1}}));
#ifndef _WIN32
        messages.clear();
        EXPECT_TRUE(InChild([&] {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100, 100};
            setrlimit(RLIMIT_FSIZE, &limit);
            return !filter.Export(path, &rav) && !std::filesystem::exists(path) &&
                   messages == Messages{{"Error writing " + path, 1}};
        })) << "a cut-off export was reported as written or left behind";
#endif
    }
}

} // namespace
