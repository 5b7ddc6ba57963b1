#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The readers take paths: each input is written to a scratch file first.
std::string WriteFuzzFile(const char* name, const std::uint8_t* data, std::size_t size);
