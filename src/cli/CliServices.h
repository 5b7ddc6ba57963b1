#pragma once

#include "cli/ImageChoice.h"
#include "commands/UiServices.h"

#include <istream>
#include <ostream>

// What the workers ask of a user interface, answered on the command line:
// the question is asked on the terminal, or answered Yes by --yes; the
// image selection comes from the arguments.
class CCliServices final : public CUiServices {
public:
    // `interactive`: `in` is a terminal a question can be asked on.
    CCliServices(ImageChoice choice, bool assumeYes, std::istream& in, bool interactive,
                 std::ostream& out, std::ostream& err)
        : m_choice(std::move(choice)), m_assumeYes(assumeYes), m_interactive(interactive), m_in(in),
          m_out(out), m_err(err) {}

    void ShowMessage(const std::string& text) override;
    // Yes when --yes was given; otherwise asks on a terminal, where only "y"
    // or "yes" (any case) counts as consent, and is No without one.
    [[nodiscard]] bool AskYesNo(const std::string& text) override;
    [[nodiscard]] bool EditAsciiSettings(AsciiSettingsFields& fields) override;
    // Applies the choice and prints the dialog's count label. False after
    // printing the problem when the choice does not fit the archive.
    [[nodiscard]] bool SelectImages(CImageSelection& selection, const CFshFile& archive) override;

    // Whether the choice was refused, a usage error.
    [[nodiscard]] bool Refused() const { return m_refused; }
    // Whether a question was answered No.
    [[nodiscard]] bool Declined() const { return m_declined; }

private:
    ImageChoice m_choice;
    bool m_assumeYes;
    bool m_interactive;
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_refused = false;
    bool m_declined = false;
};
