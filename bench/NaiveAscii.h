#pragma once

#include <string>

class CRavFile;

// The ASCII text format written and read the plain C way: every field
// through snprintf into fixed buffers, every line through sscanf, atoi and
// strtoul. The benchmarks measure the filter against it and check first
// that both give the same bytes and the same values. The reader handles
// texts whose counts all match the model and returns false on any other.
[[nodiscard]] bool NaiveAsciiExport(const std::string& path, const CRavFile& rav, unsigned mode,
                                    int decimals);
[[nodiscard]] bool NaiveAsciiImport(const std::string& path, CRavFile& rav);
