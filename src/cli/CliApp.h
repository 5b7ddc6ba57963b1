#pragma once

#include <ostream>

// Parses the command line of polyport-cli and runs the command. Returns the
// exit status: 0 success, 1 the command failed, 2 a usage error.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
