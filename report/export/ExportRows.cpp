#include "report/export/ExportRows.h"

#include "core/Find.h"
#include "core/Numbers.h"

#include <QLocale>

#include <cstdio>

namespace report::exporting {

namespace {

const QLocale& italian()
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian;
}

} // namespace

QString italianMoney(double value)
{
    return core::moneyText(value, italian());
}

QString italianAmount(core::Cents cents)
{
    return core::moneyText(cents, italian());
}

QString italianQuantity(double value)
{
    return core::quantityText(value, italian());
}

QString italianPercent(double value)
{
    return core::percentText(value, italian());
}

QString chapterHeading(const core::ChapterTotals& chapter)
{
    return chapter.name.isEmpty() ? core::kNoChapter : chapter.name;
}

QString chapterTotalLabel(const core::ChapterTotals& chapter)
{
    return QStringLiteral("Totale ") + chapterHeading(chapter);
}

QString itemTotalLabel(const core::ExportItem& item)
{
    return QString(QStringLiteral("Sommano ") + item.simbolo.toString()).trimmed();
}

QByteArray csvText(const QString& text)
{
    QByteArray field = text.toUtf8();
    if (!field.isEmpty() && QByteArrayView("=+-@\t\r").contains(field.front()))
        field.prepend('\'');
    field.replace('"', "\"\"");
    return '"' + field + '"';
}

QByteArray csvNumber(std::optional<double> value)
{
    return value ? core::plainNumber(*value, u',').toUtf8() : QByteArray();
}

QByteArray csvMoney(std::optional<core::Cents> cents)
{
    return cents ? core::moneyText(*cents, QLocale::c()).replace(u'.', u',').toUtf8() : QByteArray();
}

QString xmlText(const QString& text, qsizetype& dropped)
{
    const auto allowed = [](char32_t c) {
        return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
               (c >= 0x10000 && c <= 0x10FFFF);
    };
    QString clean;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            clean += c;
            clean += text[++i];
        } else if (!c.isSurrogate() && allowed(c.unicode())) {
            clean += c;
        } else {
            ++dropped;
        }
    }
    return clean;
}

void reportDropped(qsizetype dropped, const QString& format)
{
    if (dropped == 0)
        return;
    const QByteArray line = QStringLiteral("prezzario: %1 caratteri che il formato %2 non ammette sono stati tolti "
                                           "dai testi esportati.\n")
                                .arg(dropped)
                                .arg(format)
                                .toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

namespace {

QString joined(std::initializer_list<const core::Text*> texts, const QString& separator)
{
    QStringList parts;
    for (const core::Text* text : texts) {
        const QString part = text->toString().trimmed();
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(separator);
}

} // namespace

QString listHeading(const core::ExportDocument& document)
{
    return QString(document.listTitle + u' ' + document.year).trimmed();
}

QString documentTitle(const core::ExportDocument& document)
{
    const QString heading = listHeading(document);
    if (document.collectionName.isEmpty())
        return heading;
    return heading + QStringLiteral(" - ") + document.collectionName;
}

QString itemDescription(const core::ExportItem& item)
{
    return core::wholeDescription(item.articolo.toString(), item.subarticolo.toString());
}

QString wholeDescription(const core::ExportItem& item)
{
    return joined({&item.sezione, &item.capitolo, &item.articolo, &item.subarticolo}, QStringLiteral("\n"));
}

QString shortDescription(const core::ExportItem& item)
{
    return core::shortDescription(item.articolo.toString(), item.subarticolo.toString().simplified());
}

QString noteFor(const core::ExportItem& item)
{
    QStringList notes;
    if (item.fuoriPrezzario)
        notes << QStringLiteral("non nel prezzario");
    else if (!item.presente)
        notes << QStringLiteral("non presente in questa edizione");
    if (!item.previousCode.isEmpty())
        notes << QStringLiteral("già ") + item.previousCode;
    return notes.join(QStringLiteral("; "));
}

QList<Column> tableColumns(const core::ExportDocument& document)
{
    QList<Column> columns{Column::Code,     Column::Description, Column::Unit,       Column::Price,
                          Column::Quantity, Column::Amount,      Column::LabourShare};
    bool previous = false;
    bool note = false;
    for (const core::ExportItem& item : document.items) {
        previous = previous || item.prezzoPrecedente.has_value();
        note = note || !noteFor(item).isEmpty();
    }
    if (previous)
        columns << Column::PreviousPrice;
    if (note)
        columns << Column::Note;
    return columns;
}

QString columnHeading(Column column)
{
    switch (column) {
    case Column::Code:
        return QStringLiteral("Codice");
    case Column::Description:
        return QStringLiteral("Descrizione");
    case Column::Unit:
        return QStringLiteral("Unità di misura");
    case Column::Price:
        return QStringLiteral("Prezzo");
    case Column::Quantity:
        return QStringLiteral("Quantità");
    case Column::Amount:
        return QStringLiteral("Importo");
    case Column::LabourShare:
        return QStringLiteral("Incidenza manodopera %");
    case Column::PreviousPrice:
        return QStringLiteral("Prezzo precedente");
    case Column::Note:
        return QStringLiteral("Note");
    }
    return {};
}

} // namespace report::exporting
