#pragma once

#include "gamefiles/RavRecords.h"

#include <cstdint>
#include <string>
#include <vector>

class CRavFile;

// A scene of `objects` kind-1 objects of `verticesPerObject` vertices each,
// every one with its texture coordinates, colours and one texture record of
// six order entries. Coordinates are random with fractional parts, so that
// every decimal place of the text formats is in use; the same arguments
// always give the same bytes.
[[nodiscard]] std::vector<std::uint8_t> MakeBenchScene(int objects, int verticesPerObject);

// Whether two models hold the same names, vertices, texture coordinates,
// colours, texture references and order entries, bit for bit.
[[nodiscard]] bool SameContent(const CRavFile& a, const CRavFile& b);

// Whether the two files hold the same bytes; false when either cannot be
// read. Reads them a piece at a time, as exported texts can be large.
[[nodiscard]] bool SameFileBytes(const std::string& path, const std::string& otherPath);
