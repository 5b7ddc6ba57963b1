#pragma once

#include "output/UiServices.h"

// Services for a worker that runs without a window: messages go to the
// standard error stream and every question is answered No, so nothing is
// ever changed without an explicit yes.
class CConsoleServices final : public CUiServices {
public:
    void ShowMessage(const std::string& text) override;
    [[nodiscard]] bool AskYesNo(const std::string& text) override;
    // There is no dialog on a terminal: settings are given as arguments.
    [[nodiscard]] bool EditAsciiSettings(AsciiSettingsFields& fields) override;
    // Nor a selection list: the choice is cancelled.
    [[nodiscard]] bool SelectImages(CImageSelection& selection) override;

    // The instance workers fall back to until they are given other services.
    static CConsoleServices& Default();
};
