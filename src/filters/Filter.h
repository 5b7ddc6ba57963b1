#pragma once

#include "output/MessageOutput.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class CRavFile;

// An exchange filter: writes the objects of a loaded RAV model that its
// format can hold into a file, and reads such a file back into the same
// model. A filter never loads, saves or releases the model: the caller loads
// it before the call and saves it after an import that returned true.
//
// Both directions return false without a message for an empty path or a
// null model, and after a message (flag 1) when the file cannot be opened.
// Warnings about single objects (flag 1) do not make the result false.
class CFilter : public CMessageOutput {
public:
    ~CFilter() override = default;

    // Writes what the file holds into `rav`; never adds or removes objects,
    // vertices, textures or order entries. True when the file was read.
    [[nodiscard]] virtual bool Import(const std::string& path, CRavFile* rav) = 0;

    // Creates or truncates `path`. True when the whole file was written.
    [[nodiscard]] virtual bool Export(const std::string& path, const CRavFile* rav) = 0;

    // The display name, used in the filter list and in titles.
    [[nodiscard]] virtual const char* GetName() const = 0;

    // The filter's part of a file-dialog filter list: description, "|",
    // patterns separated by ";", and a closing "|".
    [[nodiscard]] virtual const char* GetFileFilter() const = 0;

    // Lets the user change the settings used by the next export.
    virtual void Configure() = 0;

    // Kept free for later use; nothing calls them.
    [[nodiscard]] virtual bool Reserved1(std::int32_t) { return false; }
    [[nodiscard]] virtual bool Reserved2(std::int32_t) { return false; }

protected:
    [[nodiscard]] std::string OutputName() const override { return GetName(); }

    // Reads the whole file at `path` and hands its bytes to `use`, whose
    // result is returned. Opening, reading and running out of memory (also
    // inside `use`) are reported here with flag 1 and give false. The bytes
    // have room for one more, so a text reader's terminator costs no copy.
    [[nodiscard]] bool ReadExchangeFile(const std::string& path,
                                        const std::function<bool(std::vector<std::uint8_t>&)>& use);

    // As ReadExchangeFile, for a reader that takes the file piece by piece:
    // hands `use` the open file. A read error left on the stream is reported
    // here and gives false.
    [[nodiscard]] bool ReadExchangeStream(const std::string& path,
                                          const std::function<bool(std::FILE*)>& use);
};
