#pragma once

// The commands of the seven action buttons, which both front ends ask the
// dispatcher for: the window maps its buttons to them, the command-line
// tool its subcommands.
enum class Command {
    Export,
    Import,
    Execute, // move or scale, as the inputs' transform says
    Normalize,
    Shade,
    ImportNames,
    CreateTpl,
    ExtractImages,
};
