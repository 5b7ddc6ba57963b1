#include "output/ConsoleServices.h"

#include <cstdio>

void CConsoleServices::ShowMessage(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

bool CConsoleServices::AskYesNo(const std::string& text) {
    std::fprintf(stderr, "%s [answered No: no window to ask in]\n", text.c_str());
    std::fflush(stderr);
    return false;
}

bool CConsoleServices::EditAsciiSettings(AsciiSettingsFields&) {
    return false;
}

bool CConsoleServices::SelectImages(CImageSelection&) {
    return false;
}

CConsoleServices& CConsoleServices::Default() {
    // Stateless, so sharing one instance shares nothing.
    static CConsoleServices instance;
    return instance;
}
