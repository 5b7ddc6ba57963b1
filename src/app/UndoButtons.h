#pragma once

#include "commands/UndoHistory.h"

#include <QString>
#include <QWidget>

class CCommandDispatcher;
class QPushButton;

// "Undo" and "Redo" beside the log: they take back, or do again, what the
// window's commands wrote into RAV files. Ctrl+Z and Ctrl+Shift+Z do the
// same unless a text field has the focus, which keeps them for its typing.
class CUndoButtons final : public QWidget {
    Q_OBJECT

public:
    // Keeps a step for every command of `dispatcher` that changed a file.
    CUndoButtons(CCommandDispatcher& dispatcher, QWidget* window);

    // Names the steps of the command about to run after its button.
    void BeginCommand(const QString& label) { m_label = label.toStdString(); }

    [[nodiscard]] QPushButton* UndoButton() const { return m_undoButton; }
    [[nodiscard]] QPushButton* RedoButton() const { return m_redoButton; }
    [[nodiscard]] CUndoHistory& History() { return m_history; }

signals:
    // After an undo or redo was tried: the file may hold other bytes now.
    void Stepped();

private:
    void Step(bool undo);
    void UpdateButtons();

    CUndoHistory m_history;
    std::string m_label;
    QPushButton* m_undoButton;
    QPushButton* m_redoButton;
};
