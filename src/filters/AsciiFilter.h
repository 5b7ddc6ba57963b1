#pragma once

#include "filters/AsciiExportMode.h"
#include "filters/Filter.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The filter of the tool's own text format: every object of a RAV model as
// lines a user can edit in any text editor.
//
// The format is positional; the reader takes the lines in the order the
// writer writes them. Lines end with CR LF and are indented with TABs:
//   EXMODE=<mode>
//   OBJECTS=<count>
//   per object:  Object <i>:
//                  NAME=<name>
//                  VERTEXES=<count>
//                  one line per vertex:  [x, y, z][, u, v][, RRGGBB]
//                  TEXTURES=<count>
//                  per texture record:  NAME=<texture name>
//                                         [ORDERCOUNT=<count>
//                                          ORDER=<e0>, <e1>, ...]
//   [End of file]
// The bracketed parts are present when the mode has their flag. Numbers have
// a fixed count of decimals and always "." as decimal point.
class CAsciiFilter final : public CFilter {
public:
    CAsciiFilter();

    // False also for a text out of step with the model: a line without the
    // key its place calls for. Reported with its line number; the model may
    // then hold part of the text and must not be saved.
    [[nodiscard]] bool Import(const std::string& path, CRavFile* rav) override;
    [[nodiscard]] bool Export(const std::string& path, const CRavFile* rav) override;
    // Shows the settings dialog; OK applies it.
    void Configure() override;
    // --mode N, or the flags that make up the mode, and --decimals N.
    [[nodiscard]] std::optional<std::string> ApplyOptions(const FilterOptionValues& given) override;

    [[nodiscard]] std::uint32_t ExportMode() const { return m_exportMode; }
    [[nodiscard]] std::int32_t Decimals() const { return m_decimals; }
    void SetExportMode(std::uint32_t mode) { m_exportMode = mode; }
    // Brought into 0..32.
    void SetDecimals(std::int64_t decimals);

    // The reader's line source as the text format has always defined it;
    // the import reads through CAsciiLineReader, and nothing calls this. Passes over empty lines, lines of white
    // space, lines that begin with "//" and the leading spaces and TABs of a
    // line; copies the next line without its CR LF (or LF) into `buffer`,
    // cut to size - 1 characters and zero-terminated, with the rest of the
    // buffer zeroed, and returns where the line after it begins. Returns null
    // when no complete line is left: a last line without a line end is never
    // returned. A null cursor gives null and an empty buffer.
    static const char* ReadLine(const char* cursor, char* buffer, std::size_t size);

private:
    std::int32_t m_decimals = kAsciiDefaultDecimals;
    std::uint32_t m_exportMode = kAsciiDefaultMode;
};
