#pragma once

#include <array>
#include <string>

// The control ids of the seven action buttons; the command dispatcher takes
// them as command numbers.
enum CommandId : int {
    kCommandImport = 1050,
    kCommandExport = 1051,
    kCommandExecute = 1052,
    kCommandNormalize = 1053,
    kCommandShader = 1054,
    kCommandImportNames = 1055,
    kCommandCreateTpl = 1056,
};

// The ids of the transform radio buttons, as the checked one is reported.
enum TransformMode : int {
    kTransformNone = 0,
    kTransformMove = 1024,
    kTransformScale = 1025,
};

// Everything a command reads from the window's fields, as the user typed it.
// Paths are taken whole, however long.
struct CommandInputs {
    int transformMode = kTransformNone;
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
