#pragma once

#include "filters/AsciiSettingsFields.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

// The "ASCII Filter Settings" dialog over `fields`: the controls show the
// fields when the dialog is built, and the edited values go back into them
// only when it is closed with OK. What the fields mean is decided by
// AsciiSettingsFields, not here. Each control's objectName is its id.
class CAsciiSettingsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAsciiSettingsDlg(AsciiSettingsFields& fields, QWidget* parent = nullptr);

    void accept() override;

private:
    AsciiSettingsFields& m_fields;
    QCheckBox* m_exportVertexes;
    QCheckBox* m_exportPlacements;
    QCheckBox* m_exportTextures;
    QCheckBox* m_exportOrder;
    QLineEdit* m_accuracy;
    QCheckBox* m_exportShading;
};
