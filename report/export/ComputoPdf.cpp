#include "report/export/ExportRows.h"

#include "report/export/PdfLayout.h"
#include "core/Computo.h"
#include "core/Measures.h"

namespace report::exporting {

namespace {

using pdf::Cell;
using pdf::Entry;
using pdf::font;
using pdf::mm;
using pdf::paragraph;
using pdf::Row;

// The columns of the computo's table, in millimetres from the left margin of the 174 mm of an A4 page.
struct Span
{
    qreal left, width;
};
// The factors' columns are wide enough for an expression such as "(4,50+1,20)/2" on one line.
constexpr Span kNumber{0, 7};
constexpr Span kText{8, 33};
constexpr Span kFactors[core::kFactors] = {{42, 18}, {61, 18}, {80, 18}, {99, 18}};
constexpr Span kQuantity{118, 16};
constexpr Span kPrice{135, 15};
constexpr Span kAmount{151, 23};
// A total's label, and its amount, which may be larger than any item's, under the price and the amount.
constexpr Span kTotalLabel{kText.left, kQuantity.left + kQuantity.width - kText.left};
constexpr Span kTotalAmount{kPrice.left, kAmount.left + kAmount.width - kPrice.left};
// The item's own text runs under the text and the factors' columns.
constexpr Span kItemText{kText.left, kFactors[3].left + kFactors[3].width - kText.left};
// The labour table: number, code, amount, share, cost.
constexpr Span kLabourCode{9, 70};
constexpr Span kLabourAmount{80, 30};
constexpr Span kLabourShare{111, 28};
constexpr Span kLabourCost{140, 34};
// The summary: the chapter and its amount.
constexpr Span kSummaryName{0, 120};
constexpr Span kSummaryAmount{121, 53};

// Fonts made once: a computo of thousands of items makes hundreds of thousands of cells.
struct Fonts
{
    QFont body = font(7.5);
    QFont bold = font(7.5, true);
    QFont italic = font(7.5, false, true);
    QFont factor = font(7);
    QFont heading = font(7, true);
    QFont chapter = font(9, true);
    QFont section = font(12, true);
};

Cell cell(const QString& text, const QFont& font, Span span, Qt::Alignment align = Qt::AlignLeft)
{
    return Cell{text, font, mm(span.left), mm(span.width), align};
}

Cell figure(const QString& text, const QFont& font, Span span)
{
    return cell(text, font, span, Qt::AlignRight);
}

Entry computoHeading(const Fonts& fonts)
{
    Row row{{cell(QStringLiteral("N."), fonts.heading, kNumber),
             cell(QStringLiteral("Designazione dei lavori"), fonts.heading, kText)},
            mm(2)};
    for (int f = 0; f < core::kFactors; ++f)
        row.cells.push_back(cell(core::factorHeading(core::Factor(f)), fonts.heading, kFactors[f], Qt::AlignHCenter));
    row.cells.push_back(cell(QStringLiteral("Quantità"), fonts.heading, kQuantity, Qt::AlignRight));
    row.cells.push_back(cell(QStringLiteral("Prezzo"), fonts.heading, kPrice, Qt::AlignRight));
    row.cells.push_back(cell(QStringLiteral("Importo"), fonts.heading, kAmount, Qt::AlignRight));
    return {row, Row{{}, mm(0.5), true}};
}

Entry itemEntry(const core::ExportItem& item, int number, const Fonts& fonts)
{
    Entry entry;
    entry.push_back(
        Row{{cell(QString::number(number), fonts.bold, kNumber), cell(item.code, fonts.bold, kItemText)}, mm(2)});
    entry.push_back(Row{{cell(itemDescription(item), fonts.body, kItemText)}});
    if (const QString note = noteFor(item); !note.isEmpty())
        entry.push_back(Row{{cell(note, fonts.italic, kItemText)}});
    constexpr Span kLineText{kText.left + 3, kText.width - 3};
    // A note has no figures: its text runs on under the factors.
    constexpr Span kNoteText{kLineText.left, kItemText.width - 3};
    for (const core::MeasureLine& line : item.misure) {
        if (core::isNote(line)) {
            entry.push_back(Row{{cell(line.descrizione, fonts.italic, kNoteText)}});
            continue;
        }
        Row row{{cell(line.descrizione, fonts.body, kLineText)}};
        for (int f = 0; f < core::kFactors; ++f)
            row.cells.push_back(figure(line.factors[std::size_t(f)].trimmed(), fonts.factor, kFactors[f]));
        if (const std::optional<double> quantity = core::lineQuantity(line))
            row.cells.push_back(figure(italianQuantity(*quantity), fonts.body, kQuantity));
        entry.push_back(std::move(row));
    }
    Row total{{cell(itemTotalLabel(item), item.misure.isEmpty() ? fonts.body : fonts.bold, kItemText)}, mm(0.5)};
    if (item.quantita)
        total.cells.push_back(figure(italianQuantity(*item.quantita), fonts.bold, kQuantity));
    if (item.prezzoLordo)
        total.cells.push_back(figure(italianMoney(*item.prezzoLordo), fonts.body, kPrice));
    if (const std::optional<core::Cents> amount = item.importoCents())
        total.cells.push_back(figure(italianAmount(*amount), fonts.bold, kAmount));
    entry.push_back(std::move(total));
    return entry;
}

Row totalRow(const QString& label, core::Cents amount, const QFont& font, Span labelSpan, Span amountSpan)
{
    return Row{{cell(label, font, labelSpan), figure(italianAmount(amount), font, amountSpan)}, mm(1.5), true};
}

void addComputo(pdf::Layout& layout, const core::ExportDocument& document, const core::ComputoTotals& totals,
                const Fonts& fonts)
{
    // Chapters' headings and subtotals only when the collection has chapters. A chapter's heading stays with its
    // first item, its subtotal (and the last one's, the total) with its last item.
    const bool chapters = !document.chapters.isEmpty();
    const Row total = totalRow(kComputoTotal, totals.amount, fonts.chapter, kTotalLabel, kTotalAmount);
    for (qsizetype c = 0; c < totals.chapters.size(); ++c) {
        const core::ChapterTotals& chapter = totals.chapters[c];
        Entry heading, closing;
        if (chapters) {
            heading.push_back(paragraph(chapterHeading(chapter), fonts.chapter, 0, mm(4)));
            closing.push_back(
                totalRow(chapterTotalLabel(chapter), chapter.amount, fonts.bold, kTotalLabel, kTotalAmount));
        }
        if (c + 1 == totals.chapters.size())
            closing.push_back(total);
        Entry entry = heading;
        for (qsizetype i = 0; i < chapter.items.size(); ++i) {
            const int index = chapter.items[i];
            const Entry item = itemEntry(document.items[index], index + 1, fonts);
            entry.insert(entry.end(), item.begin(), item.end());
            if (i + 1 < chapter.items.size()) {
                layout.add(entry);
                entry.clear();
            }
        }
        entry.insert(entry.end(), closing.begin(), closing.end());
        layout.add(entry);
    }
    if (totals.chapters.isEmpty())
        layout.add({total});
}

void addLabour(pdf::Layout& layout, const core::ExportDocument& document, const core::ComputoTotals& totals,
               const Fonts& fonts)
{
    const Entry intro{paragraph(QStringLiteral("Stima dei costi della manodopera"), fonts.section, 0, mm(8))};
    const Entry heading{
        Row{{cell(QStringLiteral("N."), fonts.heading, kNumber),
             cell(QStringLiteral("Codice"), fonts.heading, kLabourCode),
             cell(QStringLiteral("Importo"), fonts.heading, kLabourAmount, Qt::AlignRight),
             cell(QStringLiteral("Incidenza manodopera %"), fonts.heading, kLabourShare, Qt::AlignRight),
             cell(QStringLiteral("Costo manodopera"), fonts.heading, kLabourCost, Qt::AlignRight)},
            mm(3)},
        Row{{}, mm(0.5), true}};
    layout.startTable(intro, heading);
    for (qsizetype i = 0; i < document.items.size(); ++i) {
        const core::ExportItem& item = document.items[i];
        Row row{{cell(QString::number(i + 1), fonts.body, kNumber), cell(item.code, fonts.body, kLabourCode)}};
        if (const std::optional<core::Cents> amount = item.importoCents())
            row.cells.push_back(figure(italianAmount(*amount), fonts.body, kLabourAmount));
        if (item.incidenzaManodopera)
            row.cells.push_back(figure(italianPercent(*item.incidenzaManodopera), fonts.body, kLabourShare));
        if (const std::optional<core::Cents> labour = item.labourCents())
            row.cells.push_back(figure(italianAmount(*labour), fonts.body, kLabourCost));
        layout.add({std::move(row)});
    }
    Row total{{cell(kLabourTotal, fonts.bold, kLabourCode),
               figure(italianAmount(totals.amount), fonts.bold, kLabourAmount),
               figure(italianAmount(totals.labour), fonts.bold, kLabourCost)},
              mm(1.5),
              true};
    if (const std::optional<double> percent = totals.labourPercent())
        total.cells.push_back(figure(italianPercent(*percent), fonts.bold, kLabourShare));
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    layout.add({std::move(total), paragraph(core::labourSummary(totals, italian), fonts.body, 0, mm(2))});
    layout.endTable();
}

void addSummary(pdf::Layout& layout, const core::ComputoTotals& totals, const Fonts& fonts)
{
    const Entry intro{paragraph(QStringLiteral("Riepilogo per capitoli"), fonts.section, 0, mm(8))};
    const Entry heading{Row{{cell(QStringLiteral("Capitolo"), fonts.heading, kSummaryName),
                             cell(QStringLiteral("Importo"), fonts.heading, kSummaryAmount, Qt::AlignRight)},
                            mm(3)},
                        Row{{}, mm(0.5), true}};
    layout.startTable(intro, heading);
    for (const core::ChapterTotals& chapter : totals.chapters)
        layout.add({Row{{cell(chapterHeading(chapter), fonts.body, kSummaryName),
                         figure(italianAmount(chapter.amount), fonts.body, kSummaryAmount)},
                        mm(0.5)}});
    layout.add({totalRow(kComputoTotal, totals.amount, fonts.bold, kSummaryName, kSummaryAmount)});
    layout.endTable();
}

} // namespace

void writeComputoPdf(const core::ExportDocument& document, QIODevice& out)
{
    const auto writer = pdf::a4Writer(out, QStringLiteral("Computo metrico estimativo - ") + documentTitle(document));
    pdf::Layout layout(*writer);
    const Fonts fonts;
    const core::ComputoTotals totals = core::computoTotals(document);

    Entry title{paragraph(QStringLiteral("Computo metrico estimativo"), font(16, true)),
                paragraph(listHeading(document), font(12), 0, mm(2))};
    if (!document.collectionName.isEmpty())
        title.push_back(paragraph(document.collectionName, font(12, false, true), 0, mm(1)));
    layout.startTable(title, computoHeading(fonts));
    addComputo(layout, document, totals, fonts);
    addLabour(layout, document, totals, fonts);
    if (!document.chapters.isEmpty())
        addSummary(layout, totals, fonts);
    layout.finish(out);
}

} // namespace report::exporting
