#include "commands/CommandDispatcher.h"
#include "gamefiles/RavTestSupport.h"

#include <clocale>
#include <regex>

namespace {

// Switches the C library to a locale whose decimal point is a comma, as a
// window toolkit does from the environment, and back to "C" afterwards.
class GermanLocale {
public:
    GermanLocale() : m_active(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {}
    ~GermanLocale() { std::setlocale(LC_ALL, "C"); }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;
    [[nodiscard]] bool Active() const { return m_active; }

private:
    bool m_active;
};

// Exchange files and input fields keep "." whatever the locale: a text
// written on one machine must read back the same on any other.
TEST(Locale, NumbersKeepTheirPointUnderACommaLocale) {
    const GermanLocale german;
    if (!german.Active()) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (./test generates it when run as root)";
    }
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    TempDir dir;
    RavBuilder scene;
    scene.textures = {"grass01"};
    scene.objects.push_back({.name = "Pitch", .vertices = {{1.5f, -2.25f, 0.125f}}});
    const std::string rav = dir.Write("scene.rav", scene.Build().image.Bytes());
    const std::string text = dir.File("scene.txt");

    CCommandDispatcher dispatcher;
    Messages log;
    for (CMessageOutput* worker : dispatcher.Workers()) {
        worker->SetOutput([&log](const char* line, int flag) { log.emplace_back(line, flag); });
    }
    log.clear();
    CommandInputs inputs;
    inputs.ravPath = rav;
    inputs.exchangePath = text;
    inputs.x = "0.5";
    inputs.shade = " -2.5e-1";
    EXPECT_EQ(inputs.Vector(), (std::array<float, 3>{0.5f, 0, 0}));
    EXPECT_EQ(inputs.Shade(), -0.25f);

    ASSERT_TRUE(dispatcher.Run(kCommandExport, inputs));
    const std::string exported = ReadText(text);
    EXPECT_NE(exported.find("\t\t1.500000, -2.250000, 0.125000\r\n"), std::string::npos)
        << exported;
    EXPECT_EQ(exported.find(",5"), std::string::npos);

    dir.Write("scene.txt", [&] {
        const std::string edited = std::regex_replace(exported, std::regex("1\\.500000"), "3.75");
        return std::vector<std::uint8_t>(edited.begin(), edited.end());
    }());
    ASSERT_TRUE(dispatcher.Run(kCommandImport, inputs));
    EXPECT_EQ(log, Messages{});

    CRavFile saved;
    ASSERT_TRUE(saved.Load(rav));
    const RavVertex& v = saved.GetObject(0)->vertices.at(0);
    EXPECT_EQ(v.x, 3.75f);
    EXPECT_EQ(v.y, -2.25f);
    EXPECT_EQ(v.z, 0.125f);
}

} // namespace
