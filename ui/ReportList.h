#pragma once

#include "core/Highlight.h"
#include "ui/ReportListRows.h"

#include <QFontMetrics>
#include <QList>
#include <QString>
#include <QTreeView>

#include <memory>

class QAction;

namespace ui {

class ReportListModel;

// The report-style list of every window: rows added under keys "k0", "k1", …, each with sub-items,
// removed by key. A list that holds rows always has a selected row.
//
// Events: ItemClick is the user selecting a row (mouse click, or the current row moved with the
// keyboard), never a selection made by code. GotFocus is the user moving the focus into the list
// (Tab, Backtab, mouse, shortcut), not a window coming back to the front.
//
// For everyday use: Ctrl+C and the context menu copy the selected row, its code or the whole list for a
// spreadsheet; the list with the focus shows its selected row in the highlight colour and a frame, the
// others in grey; following a row never scrolls sideways; the widest text column takes the room left.
class ReportList : public QTreeView
{
    Q_OBJECT

public:
    struct Column
    {
        QString heading;
        int twips = 0;        // 0 hides the column, which still carries data
        bool numeric = false; // its cells are numbers: shown right-aligned, copied as numbers
    };

    // What a copy takes: the selected row, its code (the row's text) or every row.
    enum class Copy {
        Row,
        Code,
        All,
    };

    explicit ReportList(QWidget* parent = nullptr);
    ~ReportList() override;

    void setColumns(const QList<Column>& columns);
    int columnCountTotal() const;

    qsizetype Count() const;
    // Appends a row; throws ListError if the key is already in the list.
    void Add(const QString& key, const QString& text);
    // Appends a row with all its cells; throws ListError if the key is already in the list.
    void Add(const QString& key, const ReportRow& row);
    // Sub-item n >= 1 of the row under key; throws ListError for a missing key.
    void SetSubItem(const QString& key, int n, const QString& text);
    // Throws ListError for a missing key.
    void Remove(const QString& key);
    // Empties the list the way the windows do, removing "k0" to "k" & (Count - 1).
    void RemoveAll();
    // Shows the rows of 'rows' in place of the list's own, under keys "k0", "k1", …; they are read, never
    // changed: Add starts the list anew, SetSubItem and Remove throw ListError. Null empties the list.
    void setRows(std::shared_ptr<const ReportRowSource> rows);

    bool Contains(const QString& key) const;
    QString Text(const QString& key) const;
    QString SubItem(const QString& key, int n) const;
    QString Key(qsizetype row) const;

    bool HasSelection() const;
    QString SelectedKey() const;
    QString SelectedText() const;
    // The position of the selected row, counted from 0 in the order rows were added; -1 when the list is empty.
    qsizetype SelectedRow() const;
    QString SelectedSubItem(int n) const;
    // Selects the row under key as code does: no ItemClick.
    void Select(const QString& key);
    // The key of the first row whose text (first cell) is 'text', or an empty string.
    QString KeyOfText(const QString& text) const;
    // Scrolls the selected row into the middle of the list, if it is out of sight.
    void showSelected();

    // Puts 'action' at the head of the context menu, above the copy entries, enabled whenever the list
    // holds rows.
    void addLeadingAction(QAction* action);

    // Puts rows on the clipboard as tab-separated text and as an HTML table, headed by the visible
    // headings (a code goes alone); hidden columns stay behind.
    void copyToClipboard(Copy what) const;

    // Marks where 'text', as typed in a text search, occurs in the cells of 'columns' (core::HighlightPattern);
    // an empty text marks nothing. RemoveAll unmarks: the rows that come next are another list.
    void setHighlight(const QString& text, const QList<int>& columns);
    // Marks what 'marker' finds in the cells of 'columns'; null marks nothing.
    void setMarker(std::shared_ptr<const core::TextMarker> marker, const QList<int>& columns);
    void clearHighlight();
    // What a column's cells are marked with, or null.
    const core::TextMarker* highlightFor(int column) const;

    // What a cell shows of its text in 'width' pixels: one line, elided. A text of several lines shows
    // its first, marked as cut.
    static QString cellText(const QString& text, const QFontMetrics& metrics, int width);

    static QString keyFor(qsizetype row) { return u'k' + QString::number(row); }

    // Keeps the horizontal position: a row is followed up and down only, so the codes never scroll away.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    void ItemClick();
    void GotFocus();
    // The user asked to open the selected row: a double click on it, or Enter.
    void ItemActivate();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void settle() const;
    int headingWidth(const QString& heading) const;
    void fitCodeColumn();
    void fillWidth();
    void showFocus();
    void restoreSelection(const QString& key);
    QModelIndex selectedIndex() const;

    ReportListModel* m_model;
    QString m_pendingKey;
    QList<Column> m_columns;
    // The width each column is given, in pixels: the least it takes when another column takes the room left.
    QList<int> m_baseWidths;
    int m_stretched = -1;
    bool m_filling = false;
    std::shared_ptr<const core::TextMarker> m_highlight;
    QList<int> m_highlightColumns;
    QAction* m_copyRow;
    QAction* m_copyCode;
    QAction* m_copyAll;
};

} // namespace ui
