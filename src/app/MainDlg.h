#pragma once

#include "app/ControlId.h"
#include "commands/CommandDispatcher.h"
#include "commands/CommandInputs.h"

#include <QDialog>
#include <QIcon>

#include <string>
#include <unordered_map>

class CUndoButtons;
class CViewPane;
class CWindowServices;
class QBoxLayout;
class QComboBox;
class QFrame;
class QGridLayout;
class QPlainTextEdit;
class QTabBar;

// The main window: a tab strip over one input area whose controls change
// with the tab (the View tab adds the scene and the images below it), and
// the log pane below. It owns the workers (through the
// command dispatcher, which the command-line tool drives the same way) and
// routes all their messages into the log. Every control carries its dialog id
// as its object name, so code and tests find it with Control(ControlId).
//
// The dialog is the whole life of the program: Escape or the close box ends
// it, Enter does nothing, and nothing is saved on exit because every command
// has written what it changed.
class CMainDlg final : public QDialog {
    Q_OBJECT

public:
    // Wires the workers and fills the controls; afterwards the log holds the
    // welcome line alone. `services` must outlive the dialog.
    explicit CMainDlg(CWindowServices& services, QWidget* parent = nullptr);
    ~CMainDlg() override;
    CMainDlg(const CMainDlg&) = delete;
    CMainDlg& operator=(const CMainDlg&) = delete;

    // The control `id`, or null.
    [[nodiscard]] QWidget* Control(ControlId id) const;

    // Fills the RAV and FSH path fields, as the command line asks.
    void SetStartPaths(const QString& rav, const QString& fsh);

    [[nodiscard]] static QIcon AppIcon();

private:
    void CreateControls();
    void LayOutControls();
    [[nodiscard]] QGridLayout* LayOutPathRows();
    [[nodiscard]] QBoxLayout* LayOutExchangeTab();
    [[nodiscard]] QWidget* LayOutTransformGroup();
    [[nodiscard]] QWidget* LayOutCrowdGroup();
    [[nodiscard]] QBoxLayout* LayOutFshToolsTab();
    [[nodiscard]] QWidget* LayOutAboutTab();
    void FitInputAreaToTabs();
    void ConnectControls();
    void OnInitDialog();
    void OnSelchangeTab();
    void GrowForTheView();
    // Reads the files of the path fields into the View tab when it shows.
    void RefreshView();
    void OnFilterOptions();
    void OnTransformMode(ControlId radio);
    void OnBrowse(ControlId button);
    void OnCommand(ControlId button);
    void ShowControlsOfTab(int tab);
    void ShowLog(const std::string& text);
    [[nodiscard]] CommandInputs GatherInputs() const;
    [[nodiscard]] bool ConfirmFilterForFile(const CommandInputs& inputs);
    [[nodiscard]] QString FieldText(ControlId field) const;
    void SetFieldText(ControlId field, const QString& text);
    [[nodiscard]] CFilter* SelectedFilter();

    CWindowServices& m_services;
    CCommandDispatcher m_dispatcher;
    std::unordered_map<ControlId, QWidget*> m_controls;
    QTabBar* m_tab = nullptr;
    QComboBox* m_filterCombo = nullptr;
    QPlainTextEdit* m_log = nullptr;
    CUndoButtons* m_undo = nullptr;
    QFrame* m_inputArea = nullptr;
    QSize m_inputAreaMinimum; // what the largest of the other tabs needs
    CViewPane* m_view = nullptr;
    bool m_grownForView = false;
    std::string m_shown; // the log text the pane shows
};
