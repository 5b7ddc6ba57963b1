#pragma once

#include "filters/FilterTraits.h"
#include "output/MessageOutput.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CFilterDialogs;
class CRavFile;
class CWholeFileWriter;

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
    explicit CFilter(const FilterTraits& traits);
    ~CFilter() override = default;

    // Writes what the file holds into `rav`; never adds or removes objects,
    // vertices, textures or order entries. True when the file was read.
    [[nodiscard]] virtual bool Import(const std::string& path, CRavFile* rav) = 0;

    // Creates or replaces `path`. True when the whole file was written; an
    // earlier file of that name is left as it was otherwise.
    [[nodiscard]] virtual bool Export(const std::string& path, const CRavFile* rav) = 0;

    // Lets the user change the settings used by the next export. A filter
    // without settings says so in a message box, even with an output
    // installed: it answers a button press rather than logging a result.
    virtual void Configure();

    // Sets what the command-line options ask of the next export; a usage
    // problem as one line, or nothing. A filter without options takes none.
    [[nodiscard]] virtual std::optional<std::string> ApplyOptions(const FilterOptionValues& given);

    // Kept free for later use; nothing calls them.
    [[nodiscard]] virtual bool Reserved1(std::int32_t) { return false; }
    [[nodiscard]] virtual bool Reserved2(std::int32_t) { return false; }

    [[nodiscard]] const FilterTraits& Traits() const { return m_traits; }
    // The display name, used in the filter list and in titles.
    [[nodiscard]] const char* GetName() const { return m_traits.name; }
    // The filter's part of a file-dialog filter list (see FilterTraits).
    [[nodiscard]] const char* GetFileFilter() const { return m_traits.fileFilter; }

    // The dialogs that Configure opens; none (each cancelled) until set.
    void SetDialogs(CFilterDialogs& dialogs) { m_dialogs = &dialogs; }

    // Whether an export syncs its file to disk before it takes the old
    // one's place. Only benchmarks turn it off, to time the export itself
    // against writers that never sync.
    void SetDurable(bool durable) { m_durable = durable; }

protected:
    [[nodiscard]] std::string OutputName() const override { return GetName(); }
    [[nodiscard]] CFilterDialogs& Dialogs() const { return *m_dialogs; }

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

    // Writes the exchange file whole through `produce`, which writes its
    // bytes into the writer and returns false only when a write failed. The
    // file appears only when every byte reached it; else an earlier file of
    // that name stays as it was. `openMessage` ("Error opening %s") is this
    // filter's message for a file it cannot create.
    [[nodiscard]] bool WriteExchangeFile(const std::string& path, const char* openMessage,
                                         const std::function<bool(CWholeFileWriter&)>& produce);

private:
    const FilterTraits& m_traits;
    CFilterDialogs* m_dialogs;
    bool m_durable = true;
};
