#pragma once

#include "filters/AsciiSettingsFields.h"
#include "commands/UiServices.h"
#include "tools/ImageSelection.h"

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
    // Shows the selection to `selectionDialog`, which may change it and
    // returns whether the user pressed OK; OK accepts it. Without one the
    // dialog is cancelled.
    bool SelectImages(CImageSelection& selection, const CFshFile&) override {
        shownSelections.push_back(selection);
        if (!selectionDialog || !selectionDialog(selection)) {
            return false;
        }
        selection.Accept();
        return true;
    }

    std::vector<std::string> boxes;
    std::vector<std::string> questions;
    std::vector<AsciiSettingsFields> shownSettings;
    std::vector<CImageSelection> shownSelections;
    bool answerYes = false;
    std::function<bool(AsciiSettingsFields&)> settingsDialog;
    std::function<bool(CImageSelection&)> selectionDialog;
};
