#include "ExportRows.h"

#include "Find.h"
#include "PriceWords.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace report::exporting {

double roundToCents(double value)
{
    const std::optional<std::int64_t> cents = core::centsOf(std::abs(value));
    if (!cents)
        return value;
    return std::copysign(double(*cents) / 100, value);
}

std::optional<double> roundedAmount(const core::ExportItem& item)
{
    const std::optional<double> amount = item.importo();
    if (!amount)
        return std::nullopt;
    return roundToCents(*amount);
}

QString plainNumber(double value, QChar decimalPoint)
{
    if (!std::isfinite(value))
        return {};
    // The 15-digit form first, so that a value computed or typed reads as its decimal ("0.3", not
    // "0.30000000000000004"); then its shortest fixed-point text.
    const double decimal = std::strtod(QByteArray::number(value, 'g', 15).constData(), nullptr);
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, decimal, std::chars_format::fixed);
    if (error != std::errc())
        return {};
    QString text = QString::fromLatin1(buffer, end - buffer);
    if (decimalPoint != u'.')
        text.replace(u'.', decimalPoint);
    return text;
}

QString italianAmount(double value)
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    const std::optional<std::int64_t> cents = core::centsOf(std::abs(value));
    if (!cents)
        return italian.toString(value, 'f', 2);
    // The same rounding as the words beside it, so that figures and words never differ by a cent.
    const QString sign = value < 0 && *cents != 0 ? italian.negativeSign() : QString();
    return sign + italian.toString(qlonglong(*cents / 100)) + italian.decimalPoint() +
           QStringLiteral("%1").arg(int(*cents % 100), 2, 10, QLatin1Char('0'));
}

QByteArray csvText(const QString& text)
{
    QByteArray field = text.toUtf8();
    field.replace('"', "\"\"");
    return '"' + field + '"';
}

QByteArray csvNumber(std::optional<double> value)
{
    return value ? plainNumber(*value, u',').toUtf8() : QByteArray();
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
    return joined({&item.articolo, &item.subarticolo}, QStringLiteral(" "));
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
    if (!item.presente)
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
