#pragma once

class CImageSelection;

// The dialogs the tools open. The window shows real ones, the command-line
// tool answers from its arguments; without either every dialog is cancelled.
class CToolDialogs {
public:
    virtual ~CToolDialogs() = default;

    // The modal "Select images" dialog over `selection`. True when it was
    // closed with OK, which has then called selection.Accept(); on cancel the
    // selection's flags and count are left alone.
    [[nodiscard]] virtual bool SelectImages(CImageSelection& selection) = 0;

    // The dialogs of a run without a window: each one cancelled.
    static CToolDialogs& None();
};
