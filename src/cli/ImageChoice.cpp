#include "cli/ImageChoice.h"

#include "tools/ImageSelection.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace {

std::optional<std::uint64_t> ParseIndex(const std::string& text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

bool IsDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Marks the images `entry` names, by name or else by index.
ChoiceProblem Mark(const std::string& entry, const CImageSelection& selection,
                   std::vector<bool>& chosen) {
    bool found = false;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (selection.Items()[i].name == entry) {
            chosen[i] = true;
            found = true;
        }
    }
    if (found) {
        return std::nullopt;
    }
    if (!IsDigits(entry)) {
        return "--select: the archive holds no image named '" + entry + "'";
    }
    const std::optional<std::uint64_t> index = ParseIndex(entry);
    if (!index || *index >= chosen.size()) {
        return "--select: there is no image " + entry + "; the archive holds " +
               std::to_string(chosen.size()) + " images, numbered from 0";
    }
    chosen[static_cast<std::size_t>(*index)] = true;
    return std::nullopt;
}

} // namespace

ChoiceProblem ParseImageList(const std::string& text, ImageChoice& choice) {
    choice.mode = ImageChoice::Mode::Listed;
    choice.entries.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string entry =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (entry.empty()) {
            return "--select needs image names or indices separated by commas, not '" + text + "'";
        }
        choice.entries.push_back(entry);
        if (comma == std::string::npos) {
            return std::nullopt;
        }
        start = comma + 1;
    }
}

ChoiceProblem ApplyImageChoice(const ImageChoice& choice, CImageSelection& selection) {
    if (choice.mode == ImageChoice::Mode::Preselected) {
        return std::nullopt;
    }
    std::vector<bool> chosen(selection.Items().size(), choice.mode == ImageChoice::Mode::All);
    for (const std::string& entry : choice.entries) {
        if (ChoiceProblem problem = Mark(entry, selection, chosen)) {
            return problem;
        }
    }
    const auto count = static_cast<std::int64_t>(std::ranges::count(chosen, true));
    if (count > selection.MaxSelected()) {
        return (choice.mode == ImageChoice::Mode::All ? "--select-all chooses "
                                                      : "--select chooses ") +
               std::to_string(count) + " images, but at most " +
               std::to_string(selection.MaxSelected()) + " may be chosen";
    }
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        selection.SetSelected(i, chosen[i]);
    }
    return std::nullopt;
}
