#pragma once

#include "commands/UiServices.h"

#include <optional>
#include <string>
#include <string_view>

class QWidget;

// What the window asks of the toolkit beyond what the workers ask: file-open
// dialogs. The Qt implementation shows real dialogs; tests script the
// answers, so no test ever waits on a modal box.
class CWindowServices : public CUiServices {
public:
    // A resizable file-open dialog with `title` and a filter list of the form
    // "desc|pattern;pattern|...||". With `mustExist` false it also takes the
    // name of a file that does not exist yet (an export creates it). The
    // chosen full path as UTF-8 bytes, or nothing when the user cancelled.
    [[nodiscard]] virtual std::optional<std::string>
    OpenFileName(const std::string& title, std::string_view filterList, bool mustExist) = 0;

    // The window that modal boxes and dialogs belong to (null: none).
    virtual void SetParentWindow(QWidget* parent) = 0;
};
