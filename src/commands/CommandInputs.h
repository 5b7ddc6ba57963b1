#pragma once

#include "tools/RavTools.h"

#include <array>
#include <optional>
#include <string>

// Everything a command reads from the window's fields, as the user typed it.
// Paths are taken whole, however long.
struct CommandInputs {
    // Which of move and scale "Execute" does; none when neither is chosen.
    std::optional<CRavTools::TransformMode> transform;
    // The filter's index in the filter table.
    int filterIndex = 0;
    std::string ravPath;
    std::string exchangePath;
    // As typed; always with "." as decimal point.
    std::string x;
    std::string y;
    std::string z;
    std::string shade;
    std::string fshPath;
    // Where extracted images go.
    std::string imageFolder;
    // Whether a TPL layout also writes its pages as pictures.
    bool tplPictures = false;

    // X, Y, Z as numbers, narrowed to float. Each field's whole text must
    // be one number ("0,5" and "abc" are none): a move or scale by a number
    // nobody meant cannot be taken back. Nothing, with `problem` naming the
    // first field that holds none, otherwise.
    [[nodiscard]] std::optional<std::array<float, 3>> Vector(std::string& problem) const;
    // The shade as atof reads it: an empty field is 0, which does no harm.
    [[nodiscard]] float Shade() const;
};
