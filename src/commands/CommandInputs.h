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
    // Read as atof reads them (what does not fit ends the number; no digits
    // give 0), always with "." as decimal point, then narrowed to float.
    std::string x;
    std::string y;
    std::string z;
    std::string shade;
    std::string fshPath;

    // X, Y, Z as numbers.
    [[nodiscard]] std::array<float, 3> Vector() const;
    [[nodiscard]] float Shade() const;
};
