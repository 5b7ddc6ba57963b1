#pragma once

#include <QApplication>

#include <cstdlib>
#include <memory>

// The application the drawing and window benchmarks need, on the offscreen
// platform; made at the first call and kept for the run.
inline void EnsureQtApplication() {
    static int argc = 1;
    static char name[] = "polyport_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app = std::make_unique<QApplication>(argc, argv);
    }
}
