#pragma once

#include "output/OutputFn.h"

#include <cstddef>
#include <functional>
#include <string>

// The text of the log pane: lines separated by CR LF, kept short by dropping
// the oldest whole lines. The view (the window's log widget) is attached
// through a callback that receives the whole text after every change.
class CLogBuffer {
public:
    static constexpr std::size_t kLimit = 12288;

    using View = std::function<void(const std::string& text)>;

    void Append(const char* text);
    void Clear();
    [[nodiscard]] const std::string& Text() const { return m_text; }

    // Shows the current text at once and after every append.
    void SetView(View view);

private:
    void Trim(std::size_t messageLength);

    std::string m_text;
    View m_view;
};

// The log pane is one per process, like its window. AppendLog is the
// OutputFn that the window installs in every worker; the flag and the
// severity are ignored.
void AppendLog(const char* text, int flag, Severity severity);
void ClearLog();
[[nodiscard]] CLogBuffer& TheLog();
