#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

QtMessageHandler qtHandler = nullptr;

// The offscreen platform warns whenever a window's size limits change, which
// says nothing about the code under test.
void WithoutOffscreenNoise(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (!message.startsWith(u"This plugin does not support propagateSizeHints()")) {
        qtHandler(type, context, message);
    }
}

} // namespace

// Headless unless the caller asked for a platform; a private runtime folder
// keeps Qt from complaining about (or sharing) the user's.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path runtime =
        std::filesystem::temp_directory_path() / ("polyport-gui-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

    testing::InitGoogleTest(&argc, argv);
    qtHandler = qInstallMessageHandler(WithoutOffscreenNoise);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(runtime, ignored);
    return result;
}
