#include "filters/FilterTable.h"
#include "filters/FilterTestSupport.h"
#include "support/InChild.h"
#include "support/ScriptedServices.h"

#include <csignal>
#include <filesystem>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

// Every filter in table order: it announces itself by name; nothing to read
// or write is refused silently; a file that cannot be opened is reported; a
// file that cannot be written whole is reported and removed. The filters
// without settings say so in a message box even while their output goes to
// a log.
TEST(FilterTable, EveryFilterReportsWhatItCannotReadOrWrite) {
    const struct {
        const char* name;
        const char* afterOpenPath; // in the export's "Error opening" message
        bool configurable;
    } filters[] = {{"ASCII Text filter", "", true},
                   {"G2 DesignWorkshop filter", "", false},
                   {"G2 Lightwave filter", " for writing", false}};
    TempDir dir;
    const RavBuilder scene{.textures = {"t0"},
                           .objects = {Quad("a", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 1, 1}}, 0),
                                       Quad("b", {{3, 2, 1}, {6, 5, 4}, {9, 8, 7}, {1, 1, 1}}, 0)}};
    CRavFile rav;
    ASSERT_TRUE(rav.Load(dir.Write("scene.rav", scene.Build().image.Bytes())));
    const std::string path = dir.File("out");
    const std::string missing = dir.File("no/such/folder/out");
    CFilterTable table;
    ASSERT_EQ(table.Count(), std::size(filters));
    EXPECT_EQ(table.Get(CFilterTable::kSlots - 1), nullptr);
    for (std::size_t i = 0; i < std::size(filters); ++i) {
        SCOPED_TRACE(filters[i].name);
        CFilter& filter = *table.Get(i);
        ScriptedServices services;
        Messages messages;
        filter.SetServices(services);
        filter.SetOutput([&](const char* text, int flag) { messages.emplace_back(text, flag); });
        const std::string name = filters[i].name;
        EXPECT_EQ(messages, (Messages{{"Output from " + name + " rerooted to this output", 0}}));
        if (!filters[i].configurable) {
            filter.Configure();
            EXPECT_EQ(services.boxes, std::vector<std::string>{"No configuration"});
        }
        messages.clear();
        EXPECT_FALSE(filter.Export("", &rav));
        EXPECT_FALSE(filter.Export(path, nullptr));
        EXPECT_FALSE(filter.Import("", &rav));
        EXPECT_FALSE(filter.Import(path, nullptr));
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_FALSE(filter.Export(missing, &rav));
        EXPECT_FALSE(filter.Import(missing, &rav));
        EXPECT_EQ(messages, (Messages{{"Error opening " + missing + filters[i].afterOpenPath, 1},
                                      {"Error opening " + missing, 1}}));
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

TEST(FilterTable, FindsFiltersByKeyAndExtension) {
    const CFilterTable table;
    const std::pair<const char*, int> paths[] = {
        {"dir.txt/B.ASC", 0}, {"txt", -1}, {"a.txt.bak", -1}, {"scene.DW", 1}, {"M.LWO", 2}};
    for (const auto& [path, index] : paths) {
        EXPECT_EQ(table.IndexForPath(path), index) << path;
    }
    EXPECT_EQ(table.IndexForKey("lwo"), 2);
    EXPECT_EQ(table.IndexForKey("ASCII"), -1);
}

} // namespace
