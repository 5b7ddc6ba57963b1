#pragma once

#include "commands/CommandDispatcher.h"
#include "commands/CommandInputs.h"

#include <QDialog>
#include <QIcon>

#include <string>
#include <unordered_map>

class CWindowServices;
class QComboBox;
class QFrame;
class QPlainTextEdit;
class QTabBar;

// The main window: a tab strip over one input area whose controls change
// with the tab, and the log pane below. It owns the workers (through the
// command dispatcher, which the command-line tool drives the same way) and
// routes all their messages into the log. Every control carries its dialog id
// as its object name, so code and tests find it with Control(id).
//
// The dialog is the whole life of the program: Escape or the close box ends
// it, Enter does nothing, and nothing is saved on exit because every command
// has written what it changed.
class CMainDlg final : public QDialog {
    Q_OBJECT

public:
    // The control ids of the tab strip and the log pane.
    static constexpr int kTabId = 1015;
    static constexpr int kLogId = 1017;

    // Wires the workers and fills the controls; afterwards the log holds the
    // welcome line alone. `services` must outlive the dialog.
    explicit CMainDlg(CWindowServices& services, QWidget* parent = nullptr);
    ~CMainDlg() override;
    CMainDlg(const CMainDlg&) = delete;
    CMainDlg& operator=(const CMainDlg&) = delete;

    // The control with dialog id `id`, or null.
    [[nodiscard]] QWidget* Control(int id) const;

    // Fills the RAV and FSH path fields, as the command line asks.
    void SetStartPaths(const QString& rav, const QString& fsh);

    [[nodiscard]] static QIcon AppIcon();

private:
    void CreateControls();
    void LayOutControls();
    void FitInputAreaToTabs();
    void ConnectControls();
    void OnInitDialog();
    void OnSelchangeTab();
    void OnFilterOptions();
    void OnTransformMode(int id);
    void OnBrowse(int id);
    void OnCommand(int id);
    void ShowControlsOfTab(int tab);
    void ShowLog(const std::string& text);
    [[nodiscard]] CommandInputs GatherInputs() const;
    [[nodiscard]] QString FieldText(int id) const;
    void SetFieldText(int id, const QString& text);
    [[nodiscard]] CFilter* SelectedFilter();

    CWindowServices& m_services;
    CCommandDispatcher m_dispatcher;
    std::unordered_map<int, QWidget*> m_controls;
    QTabBar* m_tab = nullptr;
    QComboBox* m_filterCombo = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QFrame* m_inputArea = nullptr;
    std::string m_shown; // the log text the pane shows
};
