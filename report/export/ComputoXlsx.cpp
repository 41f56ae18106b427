#include "report/export/ExportRows.h"

#include "report/export/XlsxBook.h"
#include "core/Computo.h"
#include "core/Measures.h"

#include <algorithm>

namespace report::exporting {

namespace {

enum ComputoColumn {
    Number,
    Code,
    Description,
    Unit,
    FirstFactor,
    Quantity = FirstFactor + core::kFactors,
    Price,
    Amount
};
enum LabourColumn { LabourNumber, LabourCode, LabourAmount, LabourShare, LabourCost };

// A cell's name as formulas write it: columns from A, rows from 1.
QString at(int row, int column)
{
    return QChar(u'A' + column) + QString::number(row + 1);
}

bool isOperator(QChar c)
{
    return c == u'+' || c == u'-' || c == u'−';
}

// A factor that is one number, signed or not, is written as that number; anything else is an expression.
bool isPlainNumber(QStringView typed)
{
    typed = typed.trimmed();
    if (!typed.isEmpty() && isOperator(typed.front()))
        typed = typed.sliced(1);
    return !typed.isEmpty() &&
           std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.isDigit() || c == u',' || c == u'.'; });
}

// The expression as a spreadsheet formula: each number in its plain form with a decimal point ("4,50" gives
// "4.5"), the operators in ASCII. The expression has been read by core::evaluateFactor, so its numbers are sound.
QString formulaOf(QStringView typed)
{
    QString formula(u'=');
    for (qsizetype i = 0; i < typed.size();) {
        const QChar c = typed[i];
        if (c.isDigit() || c == u',' || c == u'.') {
            const qsizetype start = i;
            while (i < typed.size() && (typed[i].isDigit() || typed[i] == u',' || typed[i] == u'.'))
                ++i;
            std::optional<double> value;
            QString fault;
            core::evaluateFactor(typed.sliced(start, i - start), value, fault);
            formula += core::plainNumber(value.value_or(0));
            continue;
        }
        if (c == u'×')
            formula += u'*';
        else if (c == u'−')
            formula += u'-';
        else if (!c.isSpace())
            formula += c;
        ++i;
    }
    return formula;
}

struct Formats
{
    explicit Formats(XlsxSheet& sheet)
        : heading(sheet.format(true, nullptr, true)), code(sheet.format(false, "@", false)),
          text(sheet.format(false, nullptr, true)), plain(sheet.format(false, nullptr, false)),
          money(sheet.format(false, "#,##0.00", false)), bold(sheet.format(true, nullptr, false)),
          boldMoney(sheet.format(true, "#,##0.00", false))
    {
    }
    lxw_format *heading, *code, *text, *plain, *money, *bold, *boldMoney;
};

class ComputoSheet
{
public:
    ComputoSheet(XlsxSheet& sheet, const Formats& formats) : m_sheet(sheet), m_formats(formats) {}

    // The rows of the item, its lines and its quantity; returns the row of its amount.
    int addItem(const core::ExportItem& item, int number)
    {
        m_sheet.number(m_row, Number, double(number), m_formats.plain);
        m_sheet.text(m_row, Code, item.code, m_formats.code);
        m_sheet.text(m_row, Description, itemDescription(item), m_formats.text);
        m_sheet.text(m_row, Unit, item.simbolo.toString(), m_formats.plain);
        ++m_row;
        if (const QString note = noteFor(item); !note.isEmpty())
            m_sheet.text(m_row++, Description, note, m_formats.text);
        const int firstLine = m_row;
        for (const core::MeasureLine& line : item.misure)
            addLine(line);

        m_sheet.text(m_row, Description, itemTotalLabel(item), m_formats.bold);
        if (!item.misure.isEmpty()) {
            const QString sum = QStringLiteral("=SUM(%1:%2)").arg(at(firstLine, Quantity), at(m_row - 1, Quantity));
            m_sheet.formula(m_row, Quantity, sum, item.quantita.value_or(0), m_formats.bold);
        } else {
            m_sheet.number(m_row, Quantity, item.quantita, m_formats.bold);
        }
        m_sheet.number(m_row, Price, item.prezzoLordo, m_formats.money);
        if (const std::optional<double> amount = item.importo()) {
            const QString product = QStringLiteral("=ROUND(%1*%2,2)").arg(at(m_row, Price), at(m_row, Quantity));
            m_sheet.formula(m_row, Amount, product, *amount, m_formats.boldMoney);
        }
        return m_row++;
    }

    void addHeading(const QString& text) { m_sheet.text(m_row++, Description, text, m_formats.bold); }

    // A total in the amounts' column: the formula that adds it up, or none for a plain 0.
    int addTotal(const QString& label, const QString& formula, core::Cents value)
    {
        m_sheet.text(m_row, Description, label, m_formats.bold);
        if (formula.isEmpty())
            m_sheet.number(m_row, Amount, core::fromCents(value), m_formats.boldMoney);
        else
            m_sheet.formula(m_row, Amount, formula, core::fromCents(value), m_formats.boldMoney);
        return m_row++;
    }

    int row() const { return m_row; }

private:
    void addLine(const core::MeasureLine& line)
    {
        m_sheet.text(m_row, Description, line.descrizione, m_formats.text);
        QStringList filled;
        for (int f = 0; f < core::kFactors; ++f) {
            const QString& typed = line.factors[std::size_t(f)];
            std::optional<double> value;
            QString fault;
            if (typed.trimmed().isEmpty())
                continue;
            if (!core::evaluateFactor(typed, value, fault) || !value) {
                // Kept as typed, for the user to see; the line then measures nothing, as in the program.
                m_sheet.text(m_row, FirstFactor + f, typed, m_formats.plain);
            } else if (isPlainNumber(typed)) {
                m_sheet.number(m_row, FirstFactor + f, *value, m_formats.plain);
            } else {
                m_sheet.formula(m_row, FirstFactor + f, formulaOf(typed), *value, m_formats.plain);
            }
            filled << at(m_row, FirstFactor + f);
        }
        const std::optional<double> quantity = core::lineQuantity(line);
        if (quantity && !filled.isEmpty())
            m_sheet.formula(m_row, Quantity, u'=' + filled.join(u'*'), *quantity, m_formats.plain);
        else
            m_sheet.number(m_row, Quantity, 0.0, m_formats.plain);
        ++m_row;
    }

    XlsxSheet& m_sheet;
    const Formats& m_formats;
    int m_row = 1;
};

void writeLabour(XlsxSheet& sheet, const core::ExportDocument& document, const core::ComputoTotals& totals,
                 const QList<int>& amountRows, int totalRow)
{
    const Formats formats(sheet);
    const QString headings[] = {QStringLiteral("N."), QStringLiteral("Codice"), QStringLiteral("Importo"),
                                QStringLiteral("Incidenza manodopera %"), QStringLiteral("Costo manodopera")};
    for (int c = 0; c < int(std::size(headings)); ++c)
        sheet.text(0, c, headings[c], formats.heading);
    int row = 1;
    for (qsizetype i = 0; i < document.items.size(); ++i, ++row) {
        const core::ExportItem& item = document.items[i];
        sheet.number(row, LabourNumber, double(i + 1), formats.plain);
        sheet.text(row, LabourCode, item.code, formats.code);
        if (const std::optional<double> amount = item.importo())
            sheet.formula(row, LabourAmount, QStringLiteral("=Computo!") + at(amountRows[i], Amount), *amount,
                          formats.money);
        sheet.number(row, LabourShare, item.incidenzaManodopera, formats.money);
        if (const std::optional<core::Cents> labour = item.labourCents()) {
            const QString cost = QStringLiteral("=ROUND(%1*%2/100,2)").arg(at(row, LabourAmount), at(row, LabourShare));
            sheet.formula(row, LabourCost, cost, core::fromCents(*labour), formats.money);
        }
    }
    sheet.text(row, LabourCode, kLabourTotal, formats.bold);
    sheet.formula(row, LabourAmount, QStringLiteral("=Computo!") + at(totalRow, Amount), core::fromCents(totals.amount),
                  formats.boldMoney);
    if (const std::optional<double> percent = totals.labourPercent())
        sheet.formula(row, LabourShare, QStringLiteral("=%1/%2*100").arg(at(row, LabourCost), at(row, LabourAmount)),
                      *percent, formats.boldMoney);
    if (document.items.isEmpty())
        sheet.number(row, LabourCost, 0.0, formats.boldMoney);
    else
        sheet.formula(row, LabourCost, QStringLiteral("=SUM(%1:%2)").arg(at(1, LabourCost), at(row - 1, LabourCost)),
                      core::fromCents(totals.labour), formats.boldMoney);
    for (int c = 0; c < int(std::size(headings)); ++c)
        sheet.fitColumn(c, 40);
    sheet.freezeRows(1);
}

} // namespace

void writeComputoXlsx(const core::ExportDocument& document, QIODevice& out)
{
    XlsxBook book(QStringLiteral("Computo metrico estimativo - ") + documentTitle(document));
    XlsxSheet sheet = book.addSheet("Computo");
    const Formats formats(sheet);
    QStringList headings{QStringLiteral("N."), QStringLiteral("Codice"), QStringLiteral("Descrizione"),
                         QStringLiteral("Unità di misura")};
    for (int f = 0; f < core::kFactors; ++f)
        headings << core::factorHeading(core::Factor(f));
    headings << QStringLiteral("Quantità") << QStringLiteral("Prezzo") << QStringLiteral("Importo");
    for (int c = 0; c < headings.size(); ++c)
        sheet.text(0, c, headings[c], formats.heading);

    const core::ComputoTotals totals = core::computoTotals(document);
    const bool chapters = !document.chapters.isEmpty();
    ComputoSheet computo(sheet, formats);
    QList<int> amountRows(document.items.size());
    QStringList subtotals;
    for (const core::ChapterTotals& chapter : totals.chapters) {
        if (chapters)
            computo.addHeading(chapterHeading(chapter));
        const int first = computo.row();
        for (const int index : chapter.items)
            amountRows[index] = computo.addItem(document.items[index], index + 1);
        if (!chapters)
            continue;
        const QString sum = chapter.items.isEmpty()
                                ? QString()
                                : QStringLiteral("=SUM(%1:%2)").arg(at(first, Amount), at(computo.row() - 1, Amount));
        subtotals << at(computo.addTotal(chapterTotalLabel(chapter), sum, chapter.amount), Amount);
    }
    QString total;
    if (chapters)
        total = subtotals.isEmpty() ? QString() : u'=' + subtotals.join(u'+');
    else if (!document.items.isEmpty())
        total = QStringLiteral("=SUM(%1:%2)").arg(at(1, Amount), at(computo.row() - 1, Amount));
    const int totalRow = computo.addTotal(kComputoTotal, total, totals.amount);

    for (int c = 0; c < headings.size(); ++c)
        sheet.fitColumn(c, c == Description ? 70 : 20);
    sheet.freezeRows(1);

    XlsxSheet labour = book.addSheet("Manodopera");
    writeLabour(labour, document, totals, amountRows, totalRow);
    book.finish(out);
}

} // namespace report::exporting
