#pragma once

#include <ostream>
#include <string>

// `polyport-cli info FILE [--json]`: describes an FSH archive (the file starts
// with "SHPI", or looks like a compressed one) or a RAV file. Returns an exit
// status; loader messages go through the console output.
int RunInfo(const std::string& path, bool json, std::ostream& out, std::ostream& err);
