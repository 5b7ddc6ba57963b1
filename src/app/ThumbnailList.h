#pragma once

#include <QObject>
#include <QStyledItemDelegate>

#include <cstdint>

class CFshFile;
class QListWidget;

// Shows the archive's pictures in a list whose rows are its entries in
// directory order: each row gets its thumbnail when it first comes into
// view, so a list over hundreds of images opens at once, and its size after
// the name ("crw1  64 x 128"); the item's text stays the name. A row whose
// image cannot be decoded gets a placeholder with the reason as tooltip.
class CThumbnailList : public QObject {
    Q_OBJECT

public:
    // Item data that holds the entry index of a row.
    static constexpr int kEntryRole = Qt::UserRole + 1;
    // Item data that holds the size text ("64 x 128").
    static constexpr int kSizeRole = Qt::UserRole + 2;
    // Item data that says whether the row has its thumbnail yet.
    static constexpr int kShownRole = Qt::UserRole + 3;

    // `side` is the thumbnail's side.
    CThumbnailList(QListWidget& list, int side);

    // The archive whose entries the rows stand for, until the next call;
    // it must outlive the rows described after it.
    void SetArchive(const CFshFile* archive) { m_archive = archive; }

    // Makes row `row` stand for entry `entry` of the archive: its size now,
    // its thumbnail when it comes into view.
    void Describe(int row, std::int32_t entry);

    // Gives the described rows now in view their thumbnails; other rows are
    // left as they are.
    void FillVisible();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget& m_list;
    const CFshFile* m_archive = nullptr;
    int m_side;
};

// Draws a row's text as "<name>  <size>".
class CSizedNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
