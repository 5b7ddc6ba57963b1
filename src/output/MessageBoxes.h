#pragma once

#include <string>

// The modal boxes a worker may show: a message with an OK button and a
// Yes/No question. The window shows real boxes, the command-line tool uses
// the terminal, and tests script the answers.
class CMessageBoxes {
public:
    virtual ~CMessageBoxes() = default;

    // A modal message with an OK button; returns when the user closed it.
    virtual void ShowMessage(const std::string& text) = 0;

    // A modal Yes/No question; only Yes counts as consent.
    [[nodiscard]] virtual bool AskYesNo(const std::string& text) = 0;
};

// The boxes of a worker that runs without a window: messages go to the
// standard error stream and every question is answered No, so nothing is
// ever changed without an explicit yes.
class CConsoleMessageBoxes final : public CMessageBoxes {
public:
    void ShowMessage(const std::string& text) override;
    [[nodiscard]] bool AskYesNo(const std::string& text) override;

    // The instance workers fall back to until they are given other boxes.
    // Stateless, so sharing it shares nothing.
    static CConsoleMessageBoxes& Default();
};
