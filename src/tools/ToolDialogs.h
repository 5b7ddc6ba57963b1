#pragma once

class CFshFile;
class CImageSelection;

// The dialogs the tools open. The window shows real ones, the command-line
// tool answers from its arguments; without either every dialog is cancelled.
class CToolDialogs {
public:
    virtual ~CToolDialogs() = default;

    // The modal "Select images" dialog over `selection`, whose items are the
    // entries of `archive` in directory order (the window shows their
    // pictures). True when it was closed with OK, which has then called
    // selection.Accept(); on cancel the selection's flags and count are left
    // alone.
    [[nodiscard]] virtual bool SelectImages(CImageSelection& selection,
                                            const CFshFile& archive) = 0;

    // The dialogs of a run without a window: each one cancelled.
    static CToolDialogs& None();
};
