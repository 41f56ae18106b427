#include "report/export/ExportRows.h"

#include "report/export/PdfLayout.h"
#include "core/PriceWords.h"

namespace report::exporting {

namespace {

using pdf::Entry;
using pdf::font;
using pdf::mm;
using pdf::paragraph;

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
        entry.push_back(paragraph(item.sezione.toString(), font(9, true), 0, mm(3)));
    if ((newSection || previous->capitolo != item.capitolo) && !item.capitolo.isEmpty())
        entry.push_back(paragraph(item.capitolo.toString(), font(9, false, true), 0, mm(1)));

    entry.push_back(paragraph(QStringLiteral("%1.  %2").arg(number).arg(item.code), font(10, true), 0, mm(3)));
    for (const core::Text* text : {&item.articolo, &item.subarticolo}) {
        if (!text->toString().trimmed().isEmpty())
            entry.push_back(paragraph(text->toString().trimmed(), font(10), indent, mm(0.8)));
    }
    QString figures =
        QStringLiteral("Unità di misura: %1     Prezzo: %2")
            .arg(item.simbolo.isEmpty() ? QStringLiteral("-") : item.simbolo.toString(), priceText(item.prezzoLordo));
    if (item.incidenzaManodopera)
        figures += QStringLiteral("     Incidenza manodopera: %1 %").arg(italianMoney(*item.incidenzaManodopera));
    entry.push_back(paragraph(figures, font(10), indent, mm(1.5)));
    if (item.prezzoLordo) {
        const QString words = core::priceInWords(*item.prezzoLordo);
        if (!words.isEmpty())
            entry.push_back(paragraph(u'(' + words + u')', font(9, false, true), indent, mm(0.5)));
    }
    if (item.prezzoPrecedente)
        entry.push_back(paragraph(QStringLiteral("prezzo precedente: ") + priceText(item.prezzoPrecedente), font(9),
                                  indent, mm(0.5)));
    if (!item.previousCode.isEmpty())
        entry.push_back(paragraph(QStringLiteral("già ") + item.previousCode, font(9), indent, mm(0.5)));
    if (!item.presente)
        entry.push_back(
            paragraph(QStringLiteral("non presente in questa edizione"), font(9, true, true), indent, mm(0.5)));
    return entry;
}

} // namespace

QFont pdfFont(qreal points, bool bold)
{
    return font(points, bold);
}

void writePdf(const core::ExportDocument& document, QIODevice& out)
{
    const auto writer = pdf::a4Writer(out, QStringLiteral("Elenco prezzi unitari - ") + documentTitle(document));
    pdf::Layout layout(*writer);
    Entry heading{paragraph(QStringLiteral("Elenco prezzi unitari"), font(16, true)),
                  paragraph(listHeading(document), font(12), 0, mm(2))};
    if (!document.collectionName.isEmpty())
        heading.push_back(paragraph(document.collectionName, font(12, false, true), 0, mm(1)));
    layout.add(heading);
    for (qsizetype i = 0; i < document.items.size(); ++i)
        layout.add(itemEntry(document.items[i], i > 0 ? &document.items[i - 1] : nullptr, int(i + 1)));
    layout.finish(out);
}

} // namespace report::exporting
