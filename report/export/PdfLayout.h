#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QIODevice>
#include <QList>
#include <QPdfWriter>
#include <QString>

#include <memory>
#include <vector>

class QPainter;

// The pages of the item PDFs: rows of cells laid out top to bottom, each cell wrapped in its own width, an
// entry kept on one page whenever it fits on one, every page numbered "pagina N di M".
namespace report::exporting::pdf {

constexpr int kResolution = 300;

inline qreal mm(qreal millimetres)
{
    return millimetres * kResolution / 25.4;
}

QFont font(qreal points, bool bold = false, bool italic = false);

// An A4 writer on out, with the program's margins, creator and title; throws WriteFailure when the program has
// no QGuiApplication, which Qt's PDF writer needs.
std::unique_ptr<QPdfWriter> a4Writer(QIODevice& out, const QString& title);

struct Cell
{
    QString text;
    QFont font;
    qreal left = 0;  // from the left margin
    qreal width = 0; // 0: up to the right margin
    Qt::Alignment align = Qt::AlignLeft;
};

// Cells side by side; the row is as tall as its longest cell.
struct Row
{
    std::vector<Cell> cells;
    qreal spaceBefore = 0;
    bool ruleAbove = false; // a thin line over the row's cells, as above a total
};

// One text from 'indent' to the right margin.
Row paragraph(const QString& text, const QFont& font, qreal indent = 0, qreal spaceBefore = 0);

// An item with the headings that introduce it: kept on one page whenever it fits on one; a longer one flows from
// page to page a line at a time.
using Entry = std::vector<Row>;

class Layout
{
public:
    explicit Layout(QPdfWriter& writer);

    qreal width() const { return m_width; }
    void add(const Entry& entry);
    // A table: its introduction and column headings kept on one page with room for its first rows, the
    // headings repeated at the top of every later page until endTable().
    void startTable(const Entry& intro, const Entry& heading);
    void endTable();
    // Draws every page into the writer, which writes to out; throws WriteFailure.
    void finish(QIODevice& out);
    int pages() const { return m_page + 1; }

private:
    struct Piece
    {
        QString text;
        qreal x = 0;
        int font = 0;
    };
    struct Line
    {
        std::vector<Piece> pieces;
        qreal spaceBefore = 0;
        qreal height = 0; // spaceBefore included
        qreal ascent = 0;
        qreal ruleLeft = -1, ruleRight = -1; // no rule when ruleLeft < 0
        int page = 0;
        qreal top = 0;
    };

    std::vector<Line> lines(const Entry& entry);
    void place(std::vector<Line>&& lines, qreal room = 0);
    void newPage();
    void drawFooter(QPainter& painter, int page);
    int fontIndex(const QFont& font);
    QStringList wrapped(const QString& text, int font, qreal width) const;

    QPdfWriter& m_writer;
    qreal m_width = 0;
    qreal m_footer = 0;
    qreal m_bodyHeight = 0;
    int m_page = 0;
    qreal m_y = 0;
    qreal m_pageTop = 0; // below the repeated heading
    std::vector<Line> m_heading;
    qreal m_headingHeight = 0;
    QList<QFont> m_fonts;
    std::vector<QFontMetricsF> m_metrics;
    std::vector<Line> m_placed;
};

} // namespace report::exporting::pdf
