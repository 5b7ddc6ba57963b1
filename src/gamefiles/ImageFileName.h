#pragma once

#include <string>
#include <string_view>

// A name from a game file made safe as part of a file name: every byte that
// is not an ASCII letter, digit, "-" or "_" becomes "_", so that a name such
// as "../../x" can never reach outside the folder it is written to.
[[nodiscard]] std::string SafeFileNamePart(std::string_view name);
