// The list control in everyday use: copying rows for an estimate, the marks of a text search, and how the
// lists look and scroll.
#include "core/Highlight.h"
#include "ui/ListCopy.h"
#include "ui/ReportList.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

using ui::ReportList;
using core::TextRange;

namespace {

const QString kCode0 = QStringLiteral("01.A01.A01.010");
const QString kCode1 = QStringLiteral("01.A01.A01.020");

// A window with two lists of subarticles: the first with a price, a labour share, and a tab and a line break in
// its description; the second with no price (Null) and an apostrophe, quotes and markup in its description; a
// hidden column on each.
struct Lists
{
    QWidget window;
    ReportList* list = new ReportList(&window);
    ReportList* other = new ReportList(&window);

    Lists()
    {
        auto* layout = new QVBoxLayout(&window);
        for (ReportList* each : {list, other}) {
            layout->addWidget(each);
            each->setColumns({{QStringLiteral("Codice"), 1400},
                              {QStringLiteral("Descrizione"), 4000},
                              {QStringLiteral("Prezzo"), 800, true},
                              {QStringLiteral("Inc. Manodopera"), 1500, true},
                              {QStringLiteral("note"), 0}});
            ui::ReportRow row;
            row.cell(kCode0)
                .cell(QStringLiteral("In terreno\tsciolto\no smosso"))
                .cell(QStringLiteral("12,5"))
                .cell(QStringLiteral("27,5 %"))
                .cell(QStringLiteral("nascosta"));
            each->Add(QStringLiteral("k0"), row);
            row.clear();
            row.cell(kCode1)
                .cell(QStringLiteral("Roccia dell'alveo <dura> & \"compatta\""))
                .emptyCell()
                .emptyCell()
                .cell(QStringLiteral("nascosta"));
            each->Add(QStringLiteral("k1"), row);
        }
        window.resize(1000, 600);
        window.show();
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }

    QAction* action(const QString& text) const
    {
        for (QAction* each : list->actions()) {
            if (each->text() == text)
                return each;
        }
        return nullptr;
    }
};

const QString kHeadingsText = QStringLiteral("Codice\tDescrizione\tPrezzo\tInc. Manodopera\n");
const QString kRow0Text = kCode0 + QStringLiteral("\tIn terreno sciolto o smosso\t12,5\t27,5 %\n");
const QString kRow1Text = kCode1 + QStringLiteral("\tRoccia dell'alveo <dura> & \"compatta\"\t\t\n");
const QString kHeadingsHtml =
    QStringLiteral("<tr><th sdnum=\"1033;0;@\">Codice</th><th sdnum=\"1033;0;@\">Descrizione</th>"
                   "<th sdnum=\"1033;0;@\">Prezzo</th><th sdnum=\"1033;0;@\">Inc. Manodopera</th></tr>");
const QString kRow0Html = QStringLiteral("<tr><td sdnum=\"1033;0;@\">01.A01.A01.010</td>"
                                         "<td sdnum=\"1033;0;@\">In terreno\tsciolto\no smosso</td>"
                                         "<td sdval=\"12.5\" sdnum=\"1033;0;General\">12,5</td>"
                                         "<td sdval=\"0.275\" sdnum=\"1033;0;0.00%\">27,5 %</td></tr>");
const QString kRow1Html = QStringLiteral("<tr><td sdnum=\"1033;0;@\">01.A01.A01.020</td>"
                                         "<td sdnum=\"1033;0;@\">Roccia dell&#39;alveo &lt;dura&gt; &amp; "
                                         "&quot;compatta&quot;</td><td></td><td></td></tr>");

} // namespace

TEST(ListCopy, rowsCodesAndTheWholeListGoOutAsTextAndAsATableForSpreadsheets)
{
    struct Case
    {
        const char* how; // an action's text, or "Ctrl+C"
        QString selected;
        QString text;
        QStringList htmlRows;
    };
    const Case cases[] = {
        {"Ctrl+C", QStringLiteral("k1"), kHeadingsText + kRow1Text, {kHeadingsHtml, kRow1Html}},
        {"Copia riga", QStringLiteral("k0"), kHeadingsText + kRow0Text, {kHeadingsHtml, kRow0Html}},
        {"Copia codice",
         QStringLiteral("k1"),
         kCode1,
         {QStringLiteral("<tr><td sdnum=\"1033;0;@\">") + kCode1 + QStringLiteral("</td></tr>")}},
        {"Copia tutto l'elenco",
         QStringLiteral("k1"),
         kHeadingsText + kRow0Text + kRow1Text,
         {kHeadingsHtml, kRow0Html, kRow1Html}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Lists w;
        w.list->Select(c.selected);
        w.list->setFocus(Qt::OtherFocusReason);
        QGuiApplication::clipboard()->clear();
        if (QStringLiteral("Ctrl+C") == QLatin1String(c.how)) {
            QTest::keyClick(w.list, Qt::Key_C, Qt::ControlModifier);
        } else {
            QAction* action = w.action(QString::fromUtf8(c.how));
            ASSERT_NE(action, nullptr);
            action->trigger();
        }
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->text(), c.text);
        const QString html = copied->html();
        QString rows;
        for (qsizetype at = html.indexOf(QStringLiteral("<tr>")); at >= 0;
             at = html.indexOf(QStringLiteral("<tr>"), at + 1))
            rows += html.mid(at, html.indexOf(QStringLiteral("</tr>"), at) + 5 - at);
        EXPECT_EQ(rows, c.htmlRows.join(QString()));
        EXPECT_FALSE(html.contains(QStringLiteral("nascosta")));
        EXPECT_EQ(w.list->SelectedKey(), c.selected);
    }
}

// Rows read from a source (Trova, Confronta) show a shortened description and amounts with thousands
// separators; a copy carries the whole description, and the amounts as numbers a spreadsheet sums.
TEST(ListCopy, aCopyCarriesWhatTheCellStandsFor)
{
    struct Rows : ui::ReportRowSource
    {
        qsizetype rowCount() const override { return 1; }
        QString cell(qsizetype, int column) const override
        {
            return column == 0 ? QStringLiteral("Calcestruzzo… – Classe C25/30") : QStringLiteral("2.101,48");
        }
        QString copiedCell(qsizetype row, int column) const override
        {
            return column == 0 ? QStringLiteral("Calcestruzzo per fondazioni, pompato Classe C25/30")
                               : cell(row, column);
        }
    };
    Lists w;
    w.list->setColumns({{QStringLiteral("Descrizione"), 4000}, {QStringLiteral("Prezzo"), 800, true}});
    w.list->setRows(std::make_shared<Rows>());
    w.list->Select(QStringLiteral("k0"));
    w.list->copyToClipboard(ReportList::Copy::Row);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(copied->text(),
              QStringLiteral("Descrizione\tPrezzo\nCalcestruzzo per fondazioni, pompato Classe C25/30\t2101,48\n"));
    EXPECT_TRUE(copied->html().contains(QStringLiteral("sdval=\"2101.48\""))) << copied->html().toStdString();
}

// Numbers as the lists write them become values; anything else stays text, codes above all.
TEST(ListCopy, onlyNumbersAsTheListWritesThemBecomeValues)
{
    struct Case
    {
        QString cell;
        QString value; // empty: text
        QString format;
    };
    const Case cases[] = {
        {QStringLiteral("12,5"), QStringLiteral("12.5"), QStringLiteral("General")},
        {QStringLiteral("2021"), QStringLiteral("2021"), QStringLiteral("General")},
        {QStringLiteral("-3,3935"), QStringLiteral("-3.3935"), QStringLiteral("General")},
        {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("General")},
        {QStringLiteral("27,5 %"), QStringLiteral("0.275"), QStringLiteral("0.00%")},
        {QStringLiteral("90 %"), QStringLiteral("0.90"), QStringLiteral("0%")},
        {QStringLiteral("0,5 %"), QStringLiteral("0.005"), QStringLiteral("0.00%")},
        {QStringLiteral("010"), {}, {}},
        {QStringLiteral("01.A01"), {}, {}},
        {QStringLiteral("1.234,5"), QStringLiteral("1234.5"), QStringLiteral("General")},
        {QStringLiteral("1.375.000,70"), QStringLiteral("1375000.70"), QStringLiteral("General")},
        {QStringLiteral("12.34,5"), {}, {}},
        {QStringLiteral("1234.5"), {}, {}},
        {QStringLiteral("12,5 m"), {}, {}},
        {QStringLiteral(" 12"), {}, {}},
        {QString(), {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell.toStdString());
        const auto number = ui::ClipboardTable::number(c.cell);
        EXPECT_EQ(number.has_value(), !c.value.isEmpty());
        if (number) {
            EXPECT_EQ(number->value, c.value);
            EXPECT_EQ(number->format, c.format);
            EXPECT_EQ(number->plain, QString(c.cell).remove(u'.')); // the plain text copy: no grouping
        }
    }
}

TEST(ListHighlight, theTypedTextIsMarkedWithTheSearchsCaseRulesAndWildcards)
{
    struct Case
    {
        QString text;
        QString searched;
        QList<TextRange> ranges;
    };
    const Case cases[] = {
        {QStringLiteral("Perché PERCHÉ perche"), QStringLiteral("perché"), {{0, 6}, {7, 6}}},
        {QStringLiteral("PERCHÉ"), QStringLiteral("PERCHE"), {}},
        {QStringLiteral("Calcestruzzo e calce"), QStringLiteral("CALCE"), {{0, 5}, {15, 5}}},
        {QStringLiteral("Straße e strasse"), QStringLiteral("strasse"), {{0, 6}, {9, 7}}},
        {QStringLiteral("Scavo in terreno"), QStringLiteral("sc*ter"), {{0, 2}, {9, 3}}},
        {QStringLiteral("Malta M5 e M10"), QStringLiteral("m#"), {{6, 2}, {11, 2}}},
        {QStringLiteral("Dell'alveo"), QStringLiteral("L'A"), {{3, 3}}},
        {QStringLiteral("Tubo [x] 10"), QStringLiteral("[x"), {{5, 2}}},
        {QStringLiteral("Muro in pietra"), QStringLiteral("[lmn]?r"), {{0, 3}}},
        {QStringLiteral("Muro in pietra"), QStringLiteral("??"), {}},
        {QStringLiteral("aaaa"), QStringLiteral("aa"), {{0, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString(c.text + QStringLiteral(" / ") + c.searched).toStdString());
        const QList<TextRange> ranges = core::highlightRanges(c.text, c.searched);
        EXPECT_EQ(ranges.size(), c.ranges.size());
        for (qsizetype i = 0; i < qMin(ranges.size(), c.ranges.size()); ++i) {
            EXPECT_EQ(ranges[i].start, c.ranges[i].start) << i;
            EXPECT_EQ(ranges[i].length, c.ranges[i].length) << i;
        }
    }
}

// A cell cut to its width marks what it shows; a match in the cut-off part is not drawn.
TEST(ListHighlight, anElidedCellMarksOnlyWhatItShows)
{
    Lists w;
    const QFontMetrics metrics = w.list->fontMetrics();
    const QString text = QStringLiteral("Scavo in terreno sciolto, compreso il carico del terreno su autocarro");
    const QString shown =
        ReportList::cellText(text, metrics, metrics.horizontalAdvance(QStringLiteral("Scavo in terr")));
    ASSERT_TRUE(shown.endsWith(QChar(0x2026)));
    const QList<TextRange> marked =
        core::shownRanges(core::highlightRanges(text, QStringLiteral("terreno")), text, shown);
    ASSERT_EQ(marked.size(), 1);
    EXPECT_EQ(marked[0].start, 9);
    EXPECT_EQ(marked[0].start + marked[0].length, shown.size() - 1);
    // Its tooltip holds the whole text.
    w.list->SetSubItem(QStringLiteral("k0"), 1, text);
    QApplication::processEvents();
    EXPECT_EQ(w.list->model()->index(0, 1).data(Qt::ToolTipRole).toString(), text);

    // The list marks the columns it is told, until its rows are emptied for others.
    w.list->setHighlight(QStringLiteral("terreno"), {1});
    EXPECT_NE(w.list->highlightFor(1), nullptr);
    EXPECT_EQ(w.list->highlightFor(0), nullptr);
    w.list->RemoveAll();
    EXPECT_EQ(w.list->highlightFor(1), nullptr);
}

// The painted marks: a match that the cell's width cuts in two is marked up to the ellipsis, though the
// part of the text the cell shows does not hold the whole match.
TEST(ListHighlight, aMatchCutByTheCellsWidthIsPaintedUpToTheEllipsis)
{
    Lists w;
    ReportList& list = *w.list;
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    const int width = list.columnWidth(1) - 2 * margin;
    const QFontMetrics metrics = list.fontMetrics();
    // Text before "terreno", a letter more each time, until the cell cuts "terreno" after its third letter.
    const QString before = QStringLiteral("Scavo eseguito con mezzi meccanici ").repeated(20);
    const QString tail = QStringLiteral("terreno sciolto, compreso il carico su autocarro");
    QString text, shown;
    qsizetype start = 0, visible = 0;
    for (; start < before.size(); ++start) {
        text = before.left(start) + tail;
        shown = ReportList::cellText(text, metrics, width);
        visible = core::shownLength(text, shown);
        if (visible > start + 2 && visible < start + 7)
            break;
    }
    ASSERT_TRUE(visible > start + 2 && visible < start + 7) << visible << " " << start;
    list.SetSubItem(QStringLiteral("k0"), 1, text);
    list.setHighlight(QStringLiteral("terreno"), {1});
    QApplication::processEvents();

    const QRect cell = list.visualRect(list.model()->index(0, 1));
    const int left = cell.left() + margin;
    const QImage image = list.viewport()->grab().toImage();
    // The marker is yellow: neither the row's colours nor its text.
    const auto marked = [&](int x) {
        const QColor c = image.pixelColor(x, cell.center().y());
        return c.red() > 160 && c.green() > 160 && c.blue() < 140;
    };
    const int from = left + metrics.horizontalAdvance(shown, static_cast<int>(start));
    const int to = left + metrics.horizontalAdvance(shown, static_cast<int>(visible));
    const auto markedIn = [&](int first, int end) {
        int count = 0;
        for (int x = first; x < end; ++x)
            count += marked(x);
        return count;
    };
    EXPECT_EQ(markedIn(cell.left(), from - 1), 0);
    EXPECT_GT(markedIn(from, to), (to - from) / 3);
    EXPECT_EQ(markedIn(to + 1, cell.right()), 0);
}

TEST(ListLook, theFocusedListShowsItsSelectedRowInAnotherColourThanTheOthers)
{
    Lists w;
    const auto selectionColour = [](ReportList* list) {
        const QRect row = list->visualRect(list->model()->index(0, 1));
        return list->viewport()->grab().toImage().pixelColor(row.right() - 2, row.center().y());
    };
    w.list->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(w.list->hasFocus());
    const QColor focused = selectionColour(w.list);
    const QColor unfocused = selectionColour(w.other);
    // Not a shade apart: plainly another colour.
    EXPECT_GT(qAbs(focused.red() - unfocused.red()) + qAbs(focused.green() - unfocused.green()) +
                  qAbs(focused.blue() - unfocused.blue()),
              120);

    w.other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(selectionColour(w.other), focused);
    EXPECT_EQ(selectionColour(w.list), unfocused);
}

// A text of several lines shows its first line, marked as cut, in a row one line high (the first row's
// description holds a line break).
TEST(ListLook, aTextOfSeveralLinesShowsItsFirstLineInARowOneLineHigh)
{
    Lists w;
    ReportList& list = *w.list;
    const auto rowHeight = [&] { return list.visualRect(list.model()->index(0, 1)).height(); };
    const int severalLines = rowHeight();
    const auto cell = [&](const QString& text) {
        list.SetSubItem(QStringLiteral("k1"), 1, text);
        QApplication::processEvents();
        return list.viewport()->grab(list.visualRect(list.model()->index(1, 1))).toImage();
    };
    for (const QString& text : {QStringLiteral("Scavo\nin terreno"), QStringLiteral("Scavo\r\nin terreno")}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(cell(text), cell(QStringLiteral("Scavo") + QChar(0x2026)));
    }
    list.SetSubItem(QStringLiteral("k0"), 1, QStringLiteral("In terreno sciolto"));
    QApplication::processEvents();
    EXPECT_EQ(severalLines, rowHeight());
}

TEST(ListLook, clickingARowNeverScrollsSideways)
{
    Lists w;
    ReportList& list = *w.list;
    w.window.resize(260, 600);
    QApplication::processEvents();
    QScrollBar* bar = list.horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    for (const int position : {0, bar->maximum() / 3}) {
        bar->setValue(position);
        // The description, wider than the list and partly out of sight, is where the user clicks.
        const QRect cell = list.visualRect(list.model()->index(1, 1)).intersected(list.viewport()->rect());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_EQ(list.SelectedKey(), QStringLiteral("k1"));
        EXPECT_EQ(bar->value(), position);
        QTest::keyClick(&list, Qt::Key_Up);
        EXPECT_EQ(bar->value(), position);
    }
    // Shown again, a list starts from its codes.
    w.window.hide();
    w.window.show();
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
}

TEST(ListLook, theCodeColumnShowsAndTheDescriptionTakesTheRoomLeft)
{
    struct Case
    {
        QSize window;
        bool roomLeft; // the columns' own widths leave room in the list
    };
    // One window resized as a user resizes it: narrower, too narrow for the columns, wide again.
    Lists w;
    ReportList& list = *w.list;
    const int twips = qRound(4000 * list.logicalDpiX() / 1440.0);
    for (const Case& c : {Case{{1000, 600}, true}, Case{{700, 600}, true}, Case{{500, 600}, true},
                          Case{{300, 600}, false}, Case{{1000, 600}, true}}) {
        SCOPED_TRACE(c.window.width());
        w.window.resize(c.window);
        QApplication::processEvents();
        EXPECT_EQ(list.columnViewportPosition(0), 0);
        EXPECT_GT(list.columnWidth(0), list.fontMetrics().horizontalAdvance(kCode0));
        EXPECT_TRUE(list.isColumnHidden(4));
        // The description gives up to half its width before the list scrolls sideways.
        EXPECT_GE(list.columnWidth(1), twips / 2);
        if (c.roomLeft)
            EXPECT_EQ(list.header()->length(), list.viewport()->width());
        else
            EXPECT_GT(list.header()->length(), list.viewport()->width());
    }
}

// Only the description gives room: the text columns before it keep their own widths, and a price column
// shows a price in the thousands whole.
TEST(ListLook, theColumnsBeforeTheDescriptionKeepTheirWidthsAndPricesShowWhole)
{
    QWidget window;
    auto* list = new ReportList(&window);
    (new QVBoxLayout(&window))->addWidget(list);
    list->setColumns({{QStringLiteral("Codice"), 1000},
                      {QStringLiteral("Sezione"), 2000},
                      {QStringLiteral("Capitolo"), 4000},
                      {QStringLiteral("Articolo"), 10250},
                      {QStringLiteral("Prezzo"), 800, true}});
    window.resize(800, 300);
    window.show();
    QApplication::processEvents();
    const double pixelsPerTwip = list->logicalDpiX() / 1440.0;
    EXPECT_EQ(list->columnWidth(1), qRound(2000 * pixelsPerTwip));
    EXPECT_EQ(list->columnWidth(2), qRound(4000 * pixelsPerTwip));
    EXPECT_EQ(ReportList::cellText(QStringLiteral("12345,67"), list->fontMetrics(), list->columnWidth(4) - 12),
              QStringLiteral("12345,67"));
}
