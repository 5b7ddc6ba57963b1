#pragma once

#include <istream>
#include <ostream>

// Parses the command line of polyport-cli and runs the command. Returns the
// exit status: 0 success, 1 the command failed, 2 a usage error. A question
// is asked on standard input when that is a terminal.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The same with `in` as standard input; `interactive` tells whether it is a
// terminal.
int RunCli(int argc, const char* const* argv, std::istream& in, bool interactive, std::ostream& out,
           std::ostream& err);
