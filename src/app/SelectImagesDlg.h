#pragma once

#include <QDialog>

class CFshFile;
class CImageSelection;
class QLabel;
class QListWidget;

// The "Select images" dialog over `selection`: one list row per item, in
// order, each with the picture and size of the archive entry it stands for. Every change the user makes is handed to the selection, which caps
// it, and the list and the count label then show what the selection holds.
// The dialog never calls Accept(): whoever runs it does that on OK. Each
// control's objectName is its id.
class CSelectImagesDlg : public QDialog {
    Q_OBJECT

public:
    CSelectImagesDlg(CImageSelection& selection, const CFshFile& archive,
                     QWidget* parent = nullptr);

private:
    void OnSelchangeImageList();
    void ShowSelection();

    CImageSelection& m_selection;
    QLabel* m_countLabel;
    QListWidget* m_list;
};
