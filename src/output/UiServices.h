#pragma once

#include <string>

struct AsciiSettingsFields;
class CImageSelection;

// What the workers ask of the user interface. The window implements it with
// real dialogs, the command-line tool with the terminal, and tests with a
// scripted double; the core itself never links a toolkit.
class CUiServices {
public:
    virtual ~CUiServices() = default;

    // A modal message with an OK button; returns when the user closed it.
    virtual void ShowMessage(const std::string& text) = 0;

    // A modal Yes/No question; only Yes counts as consent.
    [[nodiscard]] virtual bool AskYesNo(const std::string& text) = 0;

    // The modal "ASCII Filter Settings" dialog over `fields`. True when it
    // was closed with OK; only then are `fields` changed.
    [[nodiscard]] virtual bool EditAsciiSettings(AsciiSettingsFields& fields) = 0;

    // The modal "Select images" dialog over `selection`. True when it was
    // closed with OK, which has then called selection.Accept(); on cancel the
    // selection's flags and count are left alone.
    [[nodiscard]] virtual bool SelectImages(CImageSelection& selection) = 0;
};
