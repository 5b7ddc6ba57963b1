#include "output/MessageBoxes.h"

#include <cstdio>

void CConsoleMessageBoxes::ShowMessage(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

bool CConsoleMessageBoxes::AskYesNo(const std::string& text) {
    std::fprintf(stderr, "%s [answered No: no window to ask in]\n", text.c_str());
    std::fflush(stderr);
    return false;
}

CConsoleMessageBoxes& CConsoleMessageBoxes::Default() {
    static CConsoleMessageBoxes instance;
    return instance;
}
