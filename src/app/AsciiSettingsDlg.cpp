#include "app/AsciiSettingsDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QCheckBox* AddCheckBox(QVBoxLayout* layout, const char* id, const char* text, int value) {
    auto* box = new QCheckBox(QString::fromUtf8(text));
    box->setObjectName(QString::fromLatin1(id));
    box->setChecked(value != 0);
    layout->addWidget(box);
    return box;
}

QPushButton* AddButton(QHBoxLayout* layout, const char* id, const char* text) {
    auto* button = new QPushButton(QString::fromUtf8(text));
    button->setObjectName(QString::fromLatin1(id));
    layout->addWidget(button);
    return button;
}

} // namespace

CAsciiSettingsDlg::CAsciiSettingsDlg(AsciiSettingsFields& fields, QWidget* parent)
    : QDialog(parent), m_fields(fields) {
    setWindowTitle(QStringLiteral("ASCII Filter Settings"));

    auto* group = new QGroupBox(QStringLiteral("Export settings"));
    auto* groupLayout = new QVBoxLayout(group);
    m_exportVertexes = AddCheckBox(groupLayout, "1100", "Export vertexes", fields.m_exportVertexes);
    m_exportPlacements =
        AddCheckBox(groupLayout, "1101", "Export texture placements", fields.m_exportPlacements);
    m_exportTextures = AddCheckBox(groupLayout, "1102", "Export textures", fields.m_exportTextures);
    m_exportOrder = AddCheckBox(groupLayout, "1103", "Export texture order", fields.m_exportOrder);
    m_exportShading =
        AddCheckBox(groupLayout, "1105", "Export texture shading", fields.m_exportShading);

    auto* accuracyRow = new QHBoxLayout;
    auto* accuracyLabel = new QLabel(QStringLiteral("Export accuracy:"));
    m_accuracy = new QLineEdit(QString::fromStdString(fields.m_accuracy));
    m_accuracy->setObjectName(QStringLiteral("1104"));
    m_accuracy->setAlignment(Qt::AlignRight);
    // Typed or pasted text keeps to ASCII digits; whatever is there on OK is
    // still read leniently by the fields.
    m_accuracy->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_accuracy));
    // Room for a few digits and the frame; the number is at most two digits.
    m_accuracy->setMaximumWidth(
        m_accuracy->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    accuracyLabel->setBuddy(m_accuracy);
    accuracyRow->addWidget(accuracyLabel);
    accuracyRow->addWidget(m_accuracy);
    accuracyRow->addStretch();
    groupLayout->addSpacing(groupLayout->spacing());
    groupLayout->addLayout(accuracyRow);

    auto* buttons = new QHBoxLayout;
    QPushButton* ok = AddButton(buttons, "1", "OK");
    buttons->addStretch();
    QPushButton* cancel = AddButton(buttons, "2", "Cancel");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAsciiSettingsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CAsciiSettingsDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab through the controls as they stand on the screen.
    setTabOrder(m_exportVertexes, m_exportPlacements);
    setTabOrder(m_exportPlacements, m_exportTextures);
    setTabOrder(m_exportTextures, m_exportOrder);
    setTabOrder(m_exportOrder, m_exportShading);
    setTabOrder(m_exportShading, m_accuracy);
    setTabOrder(m_accuracy, ok);
    setTabOrder(ok, cancel);
}

void CAsciiSettingsDlg::accept() {
    m_fields.m_exportVertexes = m_exportVertexes->isChecked() ? 1 : 0;
    m_fields.m_exportPlacements = m_exportPlacements->isChecked() ? 1 : 0;
    m_fields.m_exportTextures = m_exportTextures->isChecked() ? 1 : 0;
    m_fields.m_exportOrder = m_exportOrder->isChecked() ? 1 : 0;
    m_fields.m_accuracy = m_accuracy->text().toStdString();
    m_fields.m_exportShading = m_exportShading->isChecked() ? 1 : 0;
    QDialog::accept();
}
