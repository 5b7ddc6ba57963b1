#pragma once

#include <QStringList>

#include <string_view>

// Turns a filter list of the form "desc|pattern;pattern|...||" into the name
// filters a QFileDialog takes ("desc (pattern pattern)"). A description's own
// trailing "(...)" is replaced by the real patterns, because Qt reads the
// patterns from there. "*.*" becomes "*" so that "All files" also lists files
// without an extension, as it does on Windows.
[[nodiscard]] QStringList ToQtNameFilters(std::string_view list);
