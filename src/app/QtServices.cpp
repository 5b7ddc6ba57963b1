#include "app/QtServices.h"

#include "app/AsciiSettingsDlg.h"
#include "app/FileDialogFilter.h"
#include "app/SelectImagesDlg.h"
#include "tools/ImageSelection.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

void CQtServices::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(text), QMessageBox::Ok, m_parent);
    // A worker's text is shown as it is: a file name with "<" is not markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool CQtServices::AskYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // Escape and the close button answer No.
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

bool CQtServices::EditAsciiSettings(AsciiSettingsFields& fields) {
    CAsciiSettingsDlg dialog(fields, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

bool CQtServices::SelectImages(CImageSelection& selection, const CFshFile& archive) {
    CSelectImagesDlg dialog(selection, archive, m_parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    selection.Accept();
    return true;
}

std::optional<std::string> CQtServices::OpenFileName(const std::string& title,
                                                     std::string_view filterList, bool mustExist) {
    QFileDialog dialog(m_parent, QString::fromStdString(title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(ToQtNameFilters(filterList));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return std::nullopt;
    }
    return files.front().toStdString();
}

void CQtServices::SetParentWindow(QWidget* parent) {
    m_parent = parent;
}
