#include "report/export/ExportRows.h"

#include "core/PriceWords.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <vector>

namespace report::exporting {

namespace {

constexpr int resolution = 300;

qreal mm(qreal millimetres)
{
    return millimetres * resolution / 25.4;
}

QFont font(qreal points, bool bold = false, bool italic = false)
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

struct Block
{
    QString text;
    QFont font;
    qreal indent = 0;
    qreal spaceBefore = 0;
    qreal height = 0; // measured, spaceBefore included
    int page = 0;
    qreal top = 0;
};

// An item with the headings that introduce it: kept on one page whenever it fits on one; a longer one flows
// from page to page a line at a time.
using Entry = std::vector<Block>;

class Layout
{
public:
    explicit Layout(QPdfWriter& writer) : m_writer(writer)
    {
        const QRectF area = writer.pageLayout().paintRectPixels(resolution);
        m_width = area.width();
        m_footer = mm(10);
        m_bodyHeight = area.height() - m_footer;
    }

    void add(const Entry& entry)
    {
        std::vector<Block> lines;
        qreal height = 0;
        for (const Block& block : entry) {
            const qreal lineHeight = QFontMetricsF(block.font, &m_writer).lineSpacing();
            qreal spaceBefore = block.spaceBefore;
            for (const QString& text : wrapped(block.text, block.font, m_width - block.indent)) {
                lines.push_back({text, block.font, block.indent, spaceBefore, spaceBefore + lineHeight});
                height += lines.back().height;
                spaceBefore = 0;
            }
        }
        if (m_y > 0 && m_y + height > m_bodyHeight && height <= m_bodyHeight)
            newPage();
        for (Block& line : lines) {
            // Only an entry taller than a page breaks, and then between its lines.
            if (m_y > 0 && m_y + line.height > m_bodyHeight)
                newPage();
            line.page = m_page;
            line.top = m_y + line.spaceBefore;
            m_y += line.height;
            m_blocks.push_back(std::move(line));
        }
    }

    void draw(QPainter& painter)
    {
        const int pages = m_page + 1;
        int page = 0;
        drawFooter(painter, page, pages);
        for (const Block& block : m_blocks) {
            while (page < block.page) {
                m_writer.newPage();
                drawFooter(painter, ++page, pages);
            }
            painter.setFont(block.font);
            const QRectF box(block.indent, block.top, m_width - block.indent, block.height - block.spaceBefore);
            painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, block.text);
        }
    }

private:
    // The lines a text wraps into at 'width', at word boundaries, or anywhere in a word longer than a line.
    QStringList wrapped(const QString& text, const QFont& font, qreal width) const
    {
        QStringList lines;
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        for (const QString& paragraph : text.split(u'\n')) {
            QTextLayout layout(paragraph, font, &m_writer);
            layout.setTextOption(option);
            layout.beginLayout();
            qsizetype before = lines.size();
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

    void newPage()
    {
        ++m_page;
        m_y = 0;
    }

    void drawFooter(QPainter& painter, int page, int pages)
    {
        painter.setFont(font(8));
        const QRectF band(0, m_bodyHeight, m_width, m_footer);
        painter.drawText(band, Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("pagina %1 di %2").arg(page + 1).arg(pages));
    }

    QPdfWriter& m_writer;
    qreal m_width = 0;
    qreal m_footer = 0;
    qreal m_bodyHeight = 0;
    int m_page = 0;
    qreal m_y = 0;
    std::vector<Block> m_blocks;
};

QString priceText(std::optional<double> price)
{
    return price ? QStringLiteral("€ ") + italianMoney(*price) : QStringLiteral("non indicato");
}

Entry itemEntry(const core::ExportItem& item, const core::ExportItem* previous, int number)
{
    const qreal indent = mm(12);
    Entry entry;
    const bool newSection = !previous || previous->sezione != item.sezione;
    if (newSection && !item.sezione.isEmpty())
        entry.push_back({item.sezione.toString(), font(9, true), 0, mm(3)});
    if ((newSection || previous->capitolo != item.capitolo) && !item.capitolo.isEmpty())
        entry.push_back({item.capitolo.toString(), font(9, false, true), 0, mm(1)});

    entry.push_back({QStringLiteral("%1.  %2").arg(number).arg(item.code), font(10, true), 0, mm(3)});
    for (const core::Text* text : {&item.articolo, &item.subarticolo}) {
        if (!text->toString().trimmed().isEmpty())
            entry.push_back({text->toString().trimmed(), font(10), indent, mm(0.8)});
    }
    QString figures =
        QStringLiteral("Unità di misura: %1     Prezzo: %2")
            .arg(item.simbolo.isEmpty() ? QStringLiteral("-") : item.simbolo.toString(), priceText(item.prezzoLordo));
    if (item.incidenzaManodopera)
        figures += QStringLiteral("     Incidenza manodopera: %1 %").arg(italianMoney(*item.incidenzaManodopera));
    entry.push_back({figures, font(10), indent, mm(1.5)});
    if (item.prezzoLordo) {
        const QString words = core::priceInWords(*item.prezzoLordo);
        if (!words.isEmpty())
            entry.push_back({u'(' + words + u')', font(9, false, true), indent, mm(0.5)});
    }
    if (item.prezzoPrecedente)
        entry.push_back(
            {QStringLiteral("prezzo precedente: ") + priceText(item.prezzoPrecedente), font(9), indent, mm(0.5)});
    if (!item.previousCode.isEmpty())
        entry.push_back({QStringLiteral("già ") + item.previousCode, font(9), indent, mm(0.5)});
    if (!item.presente)
        entry.push_back({QStringLiteral("non presente in questa edizione"), font(9, true, true), indent, mm(0.5)});
    return entry;
}

} // namespace

QFont pdfFont(qreal points, bool bold)
{
    return font(points, bold);
}

void writePdf(const core::ExportDocument& document, QIODevice& out)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw WriteFailure(QStringLiteral("per il PDF il programma deve avviare la parte grafica di Qt "
                                          "(QGuiApplication, anche sulla piattaforma \"offscreen\")"));
    QPdfWriter writer(&out);
    writer.setResolution(resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 15, 18, 12),
                                     QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Prezzario"));
    const QString title = listHeading(document);
    writer.setTitle(QStringLiteral("Elenco prezzi unitari - ") + documentTitle(document));

    Layout layout(writer);
    Entry heading{{QStringLiteral("Elenco prezzi unitari"), font(16, true), 0, 0}, {title, font(12), 0, mm(2)}};
    if (!document.collectionName.isEmpty())
        heading.push_back({document.collectionName, font(12, false, true), 0, mm(1)});
    layout.add(std::move(heading));
    for (qsizetype i = 0; i < document.items.size(); ++i)
        layout.add(itemEntry(document.items[i], i > 0 ? &document.items[i - 1] : nullptr, int(i + 1)));

    QPainter painter;
    if (!painter.begin(&writer))
        throw WriteFailure(QStringLiteral("impossibile avviare la scrittura del PDF"));
    layout.draw(painter);
    if (!painter.end())
        throw WriteFailure(QStringLiteral("scrittura del PDF non riuscita (%1)").arg(out.errorString()));
}

} // namespace report::exporting
