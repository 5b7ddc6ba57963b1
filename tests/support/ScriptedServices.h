#pragma once

#include "filters/AsciiSettingsFields.h"
#include "output/UiServices.h"

#include <functional>
#include <string>
#include <vector>

// User-interface services for tests: records every message box and question
// and answers from a script.
class ScriptedServices final : public CUiServices {
public:
    void ShowMessage(const std::string& text) override { boxes.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    // Shows the fields to `settingsDialog`, which edits them and returns
    // whether the user pressed OK; without one the dialog is cancelled.
    bool EditAsciiSettings(AsciiSettingsFields& fields) override {
        shownSettings.push_back(fields);
        return settingsDialog && settingsDialog(fields);
    }

    std::vector<std::string> boxes;
    std::vector<std::string> questions;
    std::vector<AsciiSettingsFields> shownSettings;
    bool answerYes = false;
    std::function<bool(AsciiSettingsFields&)> settingsDialog;
};
