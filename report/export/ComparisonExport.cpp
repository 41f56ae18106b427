#include "report/export/ComparisonExport.h"

#include "report/export/ExportRows.h"
#include "core/Find.h"
#include "core/Numbers.h"
#include "report/export/XlsxBook.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <cmath>

namespace report {

namespace {

using exporting::WriteFailure;

constexpr int kColumns = 8;
// The numbers' columns, from the old price on.
constexpr int kFirstNumber = 5;

std::array<QString, kColumns> headingsOf(ComparisonHeadings headings)
{
    if (headings == ComparisonHeadings::Fields)
        return {QStringLiteral("stato"),         QStringLiteral("codice_vecchio"), QStringLiteral("codice_nuovo"),
                QStringLiteral("descrizione"),   QStringLiteral("unita"),          QStringLiteral("prezzo_vecchio"),
                QStringLiteral("prezzo_nuovo"),  QStringLiteral("variazione_percentuale")};
    return {QStringLiteral("Stato"),        QStringLiteral("Codice precedente"), QStringLiteral("Codice nuovo"),
            QStringLiteral("Descrizione"),  QStringLiteral("U.M."),              QStringLiteral("Prezzo precedente"),
            QStringLiteral("Prezzo nuovo"), QStringLiteral("Variazione %")};
}

// One item as every format writes it: texts first, then the two prices and the change.
struct Line
{
    std::array<QString, kFirstNumber> texts;
    std::array<std::optional<double>, kColumns - kFirstNumber> numbers;
};

Line lineOf(const core::ComparedItem& item)
{
    // A change to the cent is what a reader compares; the full quotient would show rounding noise.
    std::optional<double> percent = item.changePercent();
    if (percent)
        percent = core::roundedToCents(*percent);
    return {{core::compareStateName(item.state), item.oldCode, item.newCode,
             core::shortDescription(item.articolo.toString(), item.subarticolo.toString()), item.unit().toString()},
            {item.oldPrice, item.newPrice, percent}};
}

void writeCsv(const QList<core::ComparedItem>& items, const std::array<QString, kColumns>& headings,
              QIODevice& out)
{
    // The BOM tells spreadsheets the text is UTF-8; CR LF is what they write themselves.
    QByteArray text = "\xEF\xBB\xBF";
    QByteArrayList fields;
    for (const QString& heading : headings)
        fields << exporting::csvText(heading);
    text += fields.join(';') + "\r\n";
    for (const core::ComparedItem& item : items) {
        const Line line = lineOf(item);
        fields.clear();
        for (const QString& cell : line.texts)
            fields << (cell.isEmpty() ? QByteArray() : exporting::csvText(cell));
        for (const std::optional<double>& number : line.numbers)
            fields << exporting::csvNumber(number);
        text += fields.join(';') + "\r\n";
    }
    if (out.write(text) != text.size())
        throw WriteFailure(QStringLiteral("scrittura non riuscita (%1)").arg(out.errorString()));
}

void writeXlsx(const QList<core::ComparedItem>& items, const QString& title,
               const std::array<QString, kColumns>& headings, QIODevice& out)
{
    exporting::XlsxBook book(title);
    exporting::XlsxSheet sheet = book.addSheet("Confronto");
    lxw_format* heading = sheet.format(true, nullptr, true);
    lxw_format* code = sheet.format(false, "@", false);
    lxw_format* text = sheet.format(false, nullptr, false);
    lxw_format* money = sheet.format(false, "#,##0.00", false);
    for (int c = 0; c < kColumns; ++c)
        sheet.text(0, c, headings[c], heading);
    int row = 1;
    for (const core::ComparedItem& item : items) {
        const Line line = lineOf(item);
        for (int c = 0; c < kFirstNumber; ++c)
            sheet.text(row, c, line.texts[c], c == 1 || c == 2 ? code : text);
        for (int c = kFirstNumber; c < kColumns; ++c)
            sheet.number(row, c, line.numbers[c - kFirstNumber], money);
        ++row;
    }
    for (int c = 0; c < kColumns; ++c)
        sheet.fitColumn(c, c == 3 ? 80 : 30);
    sheet.freezeRows(1);
    book.finish(out);
}

void writePdf(const QList<core::ComparedItem>& items, const QString& title,
              const std::array<QString, kColumns>& headings, QIODevice& out)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw WriteFailure(QStringLiteral("per il PDF il programma deve avviare la parte grafica di Qt "
                                          "(QGuiApplication, anche sulla piattaforma \"offscreen\")"));
    constexpr int resolution = 300;
    const auto mm = [](qreal millimetres) { return millimetres * resolution / 25.4; };
    QPdfWriter writer(&out);
    writer.setResolution(resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(15, 12, 15, 10),
                                     QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Prezzario"));
    writer.setTitle(title);

    // Millimetres of each column on the 267 mm of a landscape page; the description takes what is left.
    constexpr std::array<qreal, kColumns> widths{22, 32, 32, 109, 14, 22, 22, 14};
    const QRectF area = writer.pageLayout().paintRectPixels(resolution);
    const qreal scale = area.width() / mm(267);
    const QFont bodyFont = exporting::pdfFont(8);
    const QFont headingFont = exporting::pdfFont(8, true);
    const QFont titleFont = exporting::pdfFont(13, true);
    const qreal line = QFontMetricsF(bodyFont, &writer).height() * 1.3;
    const qreal titleHeight = QFontMetricsF(titleFont, &writer).height() * 1.6;
    const qreal footer = mm(8);
    const int firstRows = std::max(1, int((area.height() - footer - titleHeight) / line) - 2);
    const int otherRows = std::max(1, int((area.height() - footer) / line) - 2);
    const qsizetype count = items.size();
    const int pages = count <= firstRows ? 1 : 1 + int((count - firstRows + otherRows - 1) / otherRows);

    QPainter painter;
    if (!painter.begin(&writer))
        throw WriteFailure(QStringLiteral("impossibile avviare la scrittura del PDF"));
    // Cells hold one line, cut short with "…"; the headings wrap onto a second line instead.
    const auto drawRow = [&](qreal y, const std::array<QString, kColumns>& cells, const QFont& font, int lines) {
        painter.setFont(font);
        const QFontMetricsF metrics(font, &writer);
        qreal x = 0;
        for (int c = 0; c < kColumns; ++c) {
            const qreal width = mm(widths[c]) * scale;
            const QRectF box(x + mm(0.8), y, width - mm(1.6), line * lines);
            const Qt::Alignment align = (c >= kFirstNumber ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom;
            if (lines > 1)
                painter.drawText(box, align | Qt::TextWordWrap, cells[c]);
            else
                painter.drawText(box, align, metrics.elidedText(cells[c], Qt::ElideRight, box.width()));
            x += width;
        }
    };
    qsizetype next = 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        qreal y = 0;
        if (page == 0) {
            painter.setFont(titleFont);
            painter.drawText(QRectF(0, 0, area.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop, title);
            y = titleHeight;
        }
        drawRow(y, headings, headingFont, 2);
        y += 2 * line;
        painter.drawLine(QPointF(0, y), QPointF(area.width(), y));
        for (int row = 0; row < (page == 0 ? firstRows : otherRows) && next < count; ++row, ++next) {
            const Line values = lineOf(items[next]);
            std::array<QString, kColumns> cells;
            std::copy(values.texts.begin(), values.texts.end(), cells.begin());
            for (int c = kFirstNumber; c < kColumns; ++c) {
                const std::optional<double>& number = values.numbers[c - kFirstNumber];
                cells[c] = number ? exporting::italianMoney(*number) : QString();
            }
            drawRow(y, cells, bodyFont, 1);
            y += line;
        }
        painter.setFont(exporting::pdfFont(7));
        painter.drawText(QRectF(0, area.height() - footer, area.width(), footer), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("pagina %1 di %2").arg(page + 1).arg(pages));
    }
    if (!painter.end())
        throw WriteFailure(QStringLiteral("scrittura del PDF non riuscita (%1)").arg(out.errorString()));
}

} // namespace

void exportComparison(const QList<core::ComparedItem>& items, const QString& title, ComparisonHeadings headings,
                      const QString& path, ExportFormat format)
{
    const std::array<QString, kColumns> names = headingsOf(headings);
    exporting::writeWhole(path, [&](QIODevice& out) {
        switch (format) {
        case ExportFormat::Xlsx:
            writeXlsx(items, title, names, out);
            break;
        case ExportFormat::Csv:
            writeCsv(items, names, out);
            break;
        case ExportFormat::Pdf:
            writePdf(items, title, names, out);
            break;
        case ExportFormat::Xpwe:
            throw WriteFailure(QStringLiteral("un confronto tra edizioni non si esporta in XPWE"));
        }
    });
}

} // namespace report
