#pragma once

#include "app/WindowServices.h"

#include <QPointer>
#include <QWidget>

// The window's services: Qt message boxes, the two dialogs and the file-open
// dialog, each modal and centred on the parent window once one is set.
class CQtServices final : public CWindowServices {
public:
    void ShowMessage(const std::string& text) override;
    [[nodiscard]] bool AskYesNo(const std::string& text) override;
    [[nodiscard]] bool EditAsciiSettings(AsciiSettingsFields& fields) override;
    [[nodiscard]] bool SelectImages(CImageSelection& selection, const CFshFile& archive) override;
    [[nodiscard]] std::optional<std::string>
    OpenFileName(const std::string& title, std::string_view filterList, bool mustExist) override;
    void SetParentWindow(QWidget* parent) override;

private:
    // Guarded, so that a window closed before the services does not leave a
    // dangling parent behind.
    QPointer<QWidget> m_parent;
};
