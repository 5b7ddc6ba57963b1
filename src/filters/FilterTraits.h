#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A command-line option of a filter's export.
struct FilterOption {
    std::string_view name; // "--mode"
    std::string_view help;
    bool takesValue = false; // false: a flag
    // The filter's own number for the option, so that it needs no second
    // list of names (the ASCII filter keeps each flag's mode bit here).
    unsigned tag = 0;
};

// Options as given on a command line: the name, and the value ("" for a flag).
using FilterOptionValues = std::vector<std::pair<std::string, std::string>>;

// What a filter states about itself, in one place: the window's filter list
// and file dialog, the command-line tool's key, extensions and options, and
// the fuzz target all come from here.
struct FilterTraits {
    std::string_view key; // --filter KEY, and the fuzz target's name
    const char* name;     // the display name in the filter list and in titles
    // The filter's part of a file-dialog filter list: description, "|",
    // patterns separated by ";", and a closing "|". The patterns "*.ext"
    // are also the extensions that choose the filter by a file's name.
    const char* fileFilter;
    std::span<const FilterOption> options;
    // How a usage message names the options together ("--mode, --decimals
    // and the export flags").
    std::string_view optionsSummary;
};

// The extensions of the traits' file patterns, with their dot (".txt").
[[nodiscard]] std::vector<std::string_view> FilterExtensions(const FilterTraits& traits);
