#pragma once

#include <optional>
#include <string>
#include <vector>

class CImageSelection;

// Which images a command-line run chooses where the window shows the
// "Select images" dialog.
struct ImageChoice {
    enum class Mode {
        Preselected, // what the dialog preselects
        All,
        None,
        Listed,
    };
    Mode mode = Mode::Preselected;
    // For Listed: image names or zero-based indices. A name wins over an
    // index when an image is called like a number.
    std::vector<std::string> entries;
};

// A problem with the arguments, for the error stream; nothing when fine.
using ChoiceProblem = std::optional<std::string>;

// Splits the comma-separated list of --select into `choice`.
[[nodiscard]] ChoiceProblem ParseImageList(const std::string& text, ImageChoice& choice);

// Selects in `selection` what `choice` asks for: every image with a listed
// name, every listed index. Refuses an unknown entry and a choice of more
// images than the selection allows: nothing is capped behind the user's back.
[[nodiscard]] ChoiceProblem ApplyImageChoice(const ImageChoice& choice, CImageSelection& selection);
