#include "commands/DispatcherLog.h"

#include <clocale>
#include <regex>

namespace {

// Exchange files and input fields keep "." whatever the locale: a text
// written on one machine must read back the same on any other. The C library
// is switched to a locale whose decimal point is a comma, as a window toolkit
// does from the environment, and back to "C" afterwards.
TEST(Locale, NumbersKeepTheirPointUnderACommaLocale) {
    const struct Restore {
        ~Restore() { std::setlocale(LC_ALL, "C"); }
    } restore;
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (./test generates it when run as root)";
    }
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    TempDir dir;
    const RavBuilder scene{.textures = {"grass01"},
                           .objects = {{.name = "Pitch", .vertices = {{1.5f, -2.25f, 0.125f}}}}};
    CommandInputs inputs;
    inputs.ravPath = dir.Write("scene.rav", scene.Build().image.Bytes());
    inputs.exchangePath = dir.File("scene.txt");
    inputs.x = "0.5";
    inputs.y = inputs.z = "0";
    inputs.shade = " -2.5e-1";
    std::string problem;
    EXPECT_EQ(inputs.Vector(problem), (std::array<float, 3>{0.5f, 0, 0}));
    EXPECT_EQ(inputs.Shade(), -0.25f);

    CCommandDispatcher dispatcher;
    Messages log;
    LogEverything(dispatcher, log);
    ASSERT_TRUE(dispatcher.Run(Command::Export, inputs));
    const std::string exported = ReadText(inputs.exchangePath);
    EXPECT_NE(exported.find("\t\t1.500000, -2.250000, 0.125000\r\n"), std::string::npos)
        << exported;
    EXPECT_EQ(exported.find(",5"), std::string::npos);
    dir.WriteText("scene.txt", std::regex_replace(exported, std::regex("1\\.500000"), "3.75"));
    ASSERT_TRUE(dispatcher.Run(Command::Import, inputs));
    EXPECT_EQ(log, (Messages{{"Successful exported data", 0},
                             {"Successful imported data... updating data", 0},
                             {"Successful updated data", 0},
                             {"1 object changed: 1 vertex moved up to 2.25 units, 1 bounding box", 0}}));

    CRavFile saved;
    ASSERT_TRUE(saved.Load(inputs.ravPath));
    const RavVertex& v = saved.GetObject(0)->vertices.at(0);
    EXPECT_EQ((std::array{v.x, v.y, v.z}), (std::array{3.75f, -2.25f, 0.125f}));
}

} // namespace
