#pragma once

#include "app/WindowServices.h"
#include "support/ScriptedServices.h"

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Window services for tests: the workers' boxes and dialogs go to a
// ScriptedServices, file dialogs are recorded and answered from a queue
// (an empty queue cancels).
class ScriptedWindowServices final : public CWindowServices {
public:
    void ShowMessage(const std::string& text) override { script.ShowMessage(text); }
    bool AskYesNo(const std::string& text) override { return script.AskYesNo(text); }
    bool EditAsciiSettings(AsciiSettingsFields& fields) override {
        return script.EditAsciiSettings(fields);
    }
    bool SelectImages(CImageSelection& selection, const CFshFile& archive) override {
        return script.SelectImages(selection, archive);
    }

    std::optional<std::string> OpenFileName(const std::string& title, std::string_view filterList,
                                            bool mustExist) override {
        fileDialogs.emplace_back(title, std::string(filterList) + (mustExist ? "" : " (new)"));
        if (chosenFiles.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> chosen = std::move(chosenFiles.front());
        chosenFiles.pop_front();
        return chosen;
    }
    void SetParentWindow(QWidget* window) override { parent = window; }

    ScriptedServices script;
    // Title, filter list; " (new)" after it where a new name is taken too.
    std::vector<std::pair<std::string, std::string>> fileDialogs;
    std::deque<std::optional<std::string>> chosenFiles;
    QWidget* parent = nullptr;
};
