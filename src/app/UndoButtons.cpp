#include "app/UndoButtons.h"

#include "commands/CommandDispatcher.h"
#include "output/LogBuffer.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

CUndoButtons::CUndoButtons(CCommandDispatcher& dispatcher, QWidget* window)
    : QWidget(window), m_undoButton(new QPushButton(QStringLiteral("Undo"), this)),
      m_redoButton(new QPushButton(QStringLiteral("Redo"), this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_undoButton);
    column->addWidget(m_redoButton);
    column->addStretch();
    for (QPushButton* button : {m_undoButton, m_redoButton}) {
        button->setAutoDefault(false); // Enter does nothing in this window
    }
    connect(m_undoButton, &QPushButton::clicked, this, [this] { Step(true); });
    connect(m_redoButton, &QPushButton::clicked, this, [this] { Step(false); });
    // A text field takes these keys first (a shortcut override), so there
    // they keep undoing typing.
    const std::pair<QKeySequence, bool> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Z), true},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), false}};
    for (const auto& [key, undo] : keys) {
        connect(new QShortcut(key, window), &QShortcut::activated, this,
                [this, undo = undo] { Step(undo); });
    }
    m_history.SetOutput(AppendLog);
    dispatcher.SetSaveListener([this](const std::string& path, std::vector<std::uint8_t>& previous,
                                      std::span<const std::uint8_t> written) {
        m_history.Record(m_label, path, std::move(previous), written);
        UpdateButtons();
    });
    UpdateButtons();
}

void CUndoButtons::Step(bool undo) {
    (void)(undo ? m_history.Undo() : m_history.Redo());
    UpdateButtons();
    emit Stepped();
}

void CUndoButtons::UpdateButtons() {
    m_undoButton->setEnabled(m_history.CanUndo());
    m_redoButton->setEnabled(m_history.CanRedo());
}
