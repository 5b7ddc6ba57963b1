#include "cli/CliServices.h"

#include "tools/ImageSelection.h"

#include <algorithm>
#include <cctype>
#include <string>

void CCliServices::ShowMessage(const std::string& text) {
    m_err << text << std::endl;
}

bool CCliServices::AskYesNo(const std::string& text) {
    if (m_assumeYes) {
        return true;
    }
    std::string answer;
    if (m_interactive) {
        m_err << text << " [y/N] " << std::flush;
        std::getline(m_in, answer);
        const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
        answer.erase(std::ranges::find_if_not(answer.rbegin(), answer.rend(), space).base(),
                     answer.end());
        answer.erase(answer.begin(), std::ranges::find_if_not(answer, space));
        std::ranges::transform(answer, answer.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    if (answer == "y" || answer == "yes") {
        return true;
    }
    m_declined = true;
    return false;
}

bool CCliServices::EditAsciiSettings(AsciiSettingsFields&) {
    return false;
}

bool CCliServices::SelectImages(CImageSelection& selection, const CFshFile&) {
    if (const ChoiceProblem problem = ApplyImageChoice(m_choice, selection)) {
        m_err << *problem << std::endl;
        m_refused = true;
        return false;
    }
    selection.Accept();
    if (const std::optional<std::string> label = selection.Label()) {
        m_out << *label << std::endl;
    }
    return true;
}
