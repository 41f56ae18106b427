#include "report/export/PdfLayout.h"

#include "report/export/ExportRows.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <numeric>

namespace report::exporting::pdf {

QFont font(qreal points, bool bold, bool italic)
{
    // DejaVu Sans is on every Debian desktop and covers "€", "²" and "³"; its text is embedded, so readers and
    // pdftotext get the words back.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    // No ligatures: "fi" drawn as one glyph would be copied and searched as "ﬁ", and "rifiuto" not found.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

std::unique_ptr<QPdfWriter> a4Writer(QIODevice& out, const QString& title)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw WriteFailure(QStringLiteral("per il PDF il programma deve avviare la parte grafica di Qt "
                                          "(QGuiApplication, anche sulla piattaforma \"offscreen\")"));
    auto writer = std::make_unique<QPdfWriter>(&out);
    writer->setResolution(kResolution);
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 15, 18, 12),
                                      QPageLayout::Millimeter));
    writer->setCreator(QStringLiteral("Prezzario"));
    writer->setTitle(title);
    return writer;
}

Row paragraph(const QString& text, const QFont& font, qreal indent, qreal spaceBefore)
{
    return Row{{Cell{text, font, indent, 0, Qt::AlignLeft}}, spaceBefore};
}

Layout::Layout(QPdfWriter& writer) : m_writer(writer)
{
    const QRectF area = writer.pageLayout().paintRectPixels(kResolution);
    m_width = area.width();
    m_footer = mm(10);
    m_bodyHeight = area.height() - m_footer;
}

int Layout::fontIndex(const QFont& font)
{
    const qsizetype at = m_fonts.indexOf(font);
    if (at >= 0)
        return int(at);
    m_fonts << font;
    m_metrics.emplace_back(font, &m_writer);
    return int(m_fonts.size() - 1);
}

std::vector<Layout::Line> Layout::lines(const Entry& entry)
{
    struct Wrapped
    {
        QStringList lines;
        int font;
        qreal left, width;
        Qt::Alignment align;
        qreal advance = -1; // of a text on one line, once measured
    };
    std::vector<Line> result;
    for (const Row& row : entry) {
        std::vector<Wrapped> cells;
        // A row of no cells is a rule across the page.
        qreal lineHeight = 0, ascent = 0, ruleLeft = row.cells.empty() ? 0 : m_width;
        qreal ruleRight = row.cells.empty() ? m_width : 0;
        qsizetype count = 1; // an empty row still takes a line
        for (const Cell& cell : row.cells) {
            const int font = fontIndex(cell.font);
            const qreal width = cell.width > 0 ? cell.width : m_width - cell.left;
            lineHeight = std::max(lineHeight, m_metrics[size_t(font)].lineSpacing());
            ascent = std::max(ascent, m_metrics[size_t(font)].ascent());
            ruleLeft = std::min(ruleLeft, cell.left);
            ruleRight = std::max(ruleRight, cell.left + width);
            if (cell.text.isEmpty())
                continue;
            // Most cells (figures, codes, short lines) fit as they are: measured once, no layout needed.
            const qreal advance =
                cell.text.contains(u'\n') ? width + 1 : m_metrics[size_t(font)].horizontalAdvance(cell.text);
            if (advance <= width)
                cells.push_back({{cell.text}, font, cell.left, width, cell.align, advance});
            else
                cells.push_back({wrapped(cell.text, font, width), font, cell.left, width, cell.align});
            count = std::max(count, cells.back().lines.size());
        }
        for (qsizetype k = 0; k < count; ++k) {
            Line line;
            line.spaceBefore = k == 0 ? row.spaceBefore : 0;
            line.height = line.spaceBefore + lineHeight;
            line.ascent = ascent;
            if (k == 0 && row.ruleAbove) {
                line.ruleLeft = ruleLeft;
                line.ruleRight = ruleRight;
            }
            for (const Wrapped& cell : cells) {
                if (k >= cell.lines.size())
                    continue;
                const QString& text = cell.lines[k];
                qreal x = cell.left;
                if (cell.align & (Qt::AlignRight | Qt::AlignHCenter)) {
                    const qreal advance =
                        cell.advance >= 0 ? cell.advance : m_metrics[size_t(cell.font)].horizontalAdvance(text);
                    const qreal spare = cell.width - advance;
                    x += cell.align & Qt::AlignRight ? spare : spare / 2;
                }
                line.pieces.push_back({text, x, cell.font});
            }
            result.push_back(std::move(line));
        }
    }
    return result;
}

void Layout::add(const Entry& entry)
{
    place(lines(entry));
}

void Layout::place(std::vector<Line>&& lines, qreal room)
{
    const qreal height = std::accumulate(lines.begin(), lines.end(), qreal(0),
                                         [](qreal sum, const Line& line) { return sum + line.height; });
    const qreal page = m_bodyHeight - m_headingHeight;
    if (m_y > m_pageTop && m_y + height + room > m_bodyHeight && height <= page)
        newPage();
    for (Line& line : lines) {
        // Only an entry taller than a page breaks, and then between its lines.
        if (m_y > m_pageTop && m_y + line.height > m_bodyHeight)
            newPage();
        line.page = m_page;
        line.top = m_y + line.spaceBefore;
        m_y += line.height;
        m_placed.push_back(std::move(line));
    }
}

void Layout::startTable(const Entry& intro, const Entry& heading)
{
    endTable();
    Entry both = intro;
    both.insert(both.end(), heading.begin(), heading.end());
    // Room for a few of the table's rows below its headings, so that they never end a page alone.
    place(lines(both), mm(20));
    m_heading = lines(heading);
    m_headingHeight = 0;
    for (const Line& line : m_heading)
        m_headingHeight += line.height;
}

void Layout::endTable()
{
    m_heading.clear();
    m_headingHeight = 0;
}

void Layout::newPage()
{
    ++m_page;
    m_y = 0;
    for (Line line : m_heading) {
        line.page = m_page;
        line.top = m_y + line.spaceBefore;
        m_y += line.height;
        m_placed.push_back(std::move(line));
    }
    m_pageTop = m_y;
}

QStringList Layout::wrapped(const QString& text, int font, qreal width) const
{
    const QFontMetricsF& metrics = m_metrics[size_t(font)];
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : text.split(u'\n')) {
        if (metrics.horizontalAdvance(paragraph) <= width) {
            lines << paragraph;
            continue;
        }
        QTextLayout layout(paragraph, m_fonts[font], &m_writer);
        layout.setTextOption(option);
        layout.beginLayout();
        const qsizetype before = lines.size();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QString shown = paragraph.mid(line.textStart(), line.textLength());
            while (!shown.isEmpty() && shown.back().isSpace())
                shown.chop(1);
            lines << shown;
        }
        layout.endLayout();
        if (lines.size() == before)
            lines << QString();
    }
    return lines;
}

void Layout::drawFooter(QPainter& painter, int page)
{
    painter.setFont(font(8));
    const QRectF band(0, m_bodyHeight, m_width, m_footer);
    painter.drawText(band, Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("pagina %1 di %2").arg(page + 1).arg(pages()));
}

void Layout::finish(QIODevice& out)
{
    QPainter painter;
    if (!painter.begin(&m_writer))
        throw WriteFailure(QStringLiteral("impossibile avviare la scrittura del PDF"));
    painter.setPen(QPen(Qt::black, mm(0.2)));
    int page = 0;
    drawFooter(painter, page);
    int current = -1;
    for (const Line& line : m_placed) {
        while (page < line.page) {
            m_writer.newPage();
            drawFooter(painter, ++page);
            current = -1;
        }
        if (line.ruleLeft >= 0)
            painter.drawLine(QPointF(line.ruleLeft, line.top), QPointF(line.ruleRight, line.top));
        for (const Piece& piece : line.pieces) {
            if (piece.font != current) {
                current = piece.font;
                painter.setFont(m_fonts[current]);
            }
            painter.drawText(QPointF(piece.x, line.top + line.ascent), piece.text);
        }
    }
    if (!painter.end())
        throw WriteFailure(QStringLiteral("scrittura del PDF non riuscita (%1)").arg(out.errorString()));
}

} // namespace report::exporting::pdf
