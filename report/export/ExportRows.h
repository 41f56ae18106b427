#pragma once

#include "core/ChosenItems.h"
#include "core/Computo.h"

#include <QByteArray>
#include <QFont>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>

// What every format shares: the texts made from an item, the numbers' forms and the table's columns.
namespace report::exporting {

// A writer could not finish; exportItems names the file around the reason.
class WriteFailure : public std::runtime_error
{
public:
    explicit WriteFailure(const QString& reason) : std::runtime_error(reason.toStdString()), m_reason(reason) {}
    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};

// Figures as a printed Italian list shows them, whatever the user's locale: "1.234,56"; amounts in cents the
// same way; quantities with up to three decimals, as computed ("1.250,75", "141,248"); percentages "27,50".
QString italianMoney(double value);
QString italianAmount(core::Cents cents);
QString italianQuantity(double value);
QString italianPercent(double value);

// A CSV field for Italian spreadsheets. Texts are always quoted and numbers never, so that a spreadsheet told to
// take quoted fields as text keeps a code such as "010" or "1.010" as it is; numbers have a decimal comma and
// no grouping. A text a spreadsheet would take for a formula (starting with =, +, -, @, a tab or a carriage
// return) gets a leading apostrophe, so that it is shown as text and never evaluated.
QByteArray csvText(const QString& text);
QByteArray csvNumber(std::optional<double> value);
// An amount in cents with its two decimals: "282,30".
QByteArray csvMoney(std::optional<core::Cents> cents);

// The text with the characters XML 1.0 cannot carry (control characters but tab and line breaks, U+FFFE,
// U+FFFF, unpaired surrogates) left out; each one left out is counted in 'dropped'.
QString xmlText(const QString& text, qsizetype& dropped);
// Says on standard error how many characters an XML file could not carry, when there were any.
void reportDropped(qsizetype dropped, const QString& format);

// "Prezzario Regione Vallorsa 2021"; and with the collection's name after a dash when it has one.
QString listHeading(const core::ExportDocument& document);
QString documentTitle(const core::ExportDocument& document);

// The item's own description: the article's text and the subarticle's, which the article's opens.
QString itemDescription(const core::ExportItem& item);
// Every level's text, section first, one a line.
QString wholeDescription(const core::ExportItem& item);
// The article's first words (its first sentence or about 80 characters) and the subarticle's text.
QString shortDescription(const core::ExportItem& item);

// The columns of the spreadsheet forms; the last two only when some item needs them.
enum class Column { Code, Description, Unit, Price, Quantity, Amount, LabourShare, PreviousPrice, Note };
QList<Column> tableColumns(const core::ExportDocument& document);
QString columnHeading(Column column);
// "non presente in questa edizione", "già <code>" of a re-coded item, both or nothing.
QString noteFor(const core::ExportItem& item);

// The computo's own texts, the same in every format: a chapter's heading (kNoChapter for the items of none),
// its subtotal's label "Totale Scavi", the total's and the labour total's.
QString chapterHeading(const core::ChapterTotals& chapter);
QString chapterTotalLabel(const core::ChapterTotals& chapter);
inline const QString kComputoTotal = QStringLiteral("Totale computo");
inline const QString kLabourTotal = QStringLiteral("Costo della manodopera");
// "Sommano m³": the label of an item's quantity below its lines.
QString itemTotalLabel(const core::ExportItem& item);

// Writes path through core::writeFileSafely; a WriteFailure thrown by 'write', or a failure to create or finish
// the file, leaves nothing new and throws ExportError naming path.
void writeWhole(const QString& path, const std::function<void(QIODevice&)>& write);

// The font of every PDF the program writes, whose text readers and pdftotext get back.
QFont pdfFont(qreal points, bool bold = false);

void writePdf(const core::ExportDocument& document, QIODevice& out);
void writeXlsx(const core::ExportDocument& document, QIODevice& out);
void writeCsv(const core::ExportDocument& document, QIODevice& out);
void writeXpwe(const core::ExportDocument& document, QIODevice& out);
void writeComputoPdf(const core::ExportDocument& document, QIODevice& out);
void writeComputoXlsx(const core::ExportDocument& document, QIODevice& out);
void writeComputoCsv(const core::ExportDocument& document, QIODevice& out);

} // namespace report::exporting
