#include "tests/report/ReportSession.h"

#include "ui/MessageBox.h"
#include "report/OfficeSettings.h"
#include "app/Application.h"
#include "report/PrintSearchReport.h"
#include "report/modExcel97.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace reporttest {

bool Cell::bordered() const
{
    for (const char* edge : {"left", "top", "bottom", "right"}) {
        if (facts.value(QString::fromLatin1(edge)) != kThinEdge)
            return false;
    }
    return true;
}

bool Cell::hasDiagonal() const
{
    return facts.value(QStringLiteral("tlbr")) != u"none" || facts.value(QStringLiteral("bltr")) != u"none";
}

const Cell& Sheet::at(int column, int row) const
{
    static const Cell none;
    if (row < 1 || row > rows.size() || column < 1 || column > rows[row - 1].size()) {
        ADD_FAILURE() << "cell " << column << "," << row << " was not read back";
        return none;
    }
    return rows[row - 1][column - 1];
}

QStringList Sheet::values(int row) const
{
    QStringList out;
    for (int column = 1; column <= 8; ++column)
        out << at(column, row).value();
    return out;
}

bool Sheet::rowEmpty(int row) const
{
    for (int column = 1; column <= 8; ++column) {
        if (at(column, row).facts.value(QStringLiteral("type")) != u"empty")
            return false;
    }
    return true;
}

QString Sheet::boldPattern(int row) const
{
    QString pattern;
    for (int column = 1; column <= 8; ++column)
        pattern += at(column, row).bold() ? u'1' : u'0';
    return pattern;
}

void expectRows(const Sheet& sheet, int firstRow, const QList<ExpectedRow>& rows)
{
    for (int i = 0; i < rows.size(); ++i)
        expectRow(sheet, firstRow + i, rows[i].kind, rows[i].values);
}

void expectRow(const Sheet& sheet, int row, RowKind kind, const QStringList& values)
{
    SCOPED_TRACE(QStringLiteral("row %1").arg(row).toStdString());
    EXPECT_EQ(sheet.values(row), values);
    // Which columns are bold, and which are text ("@"); the others keep the template's format.
    const char* bold = "";
    const char* text = "11011110";
    switch (kind) {
    case RowKind::Section:
        bold = "11111111";
        break;
    case RowKind::SectionWithoutNote:
    case RowKind::Chapter:
        bold = "11111110";
        break;
    case RowKind::Article:
        bold = "11011110";
        break;
    case RowKind::Subarticle:
        bold = "00000000";
        text = "11011111";
        break;
    }
    EXPECT_EQ(sheet.boldPattern(row), QString::fromLatin1(bold));
    for (int column = 1; column <= 8; ++column) {
        const Cell& cell = sheet.at(column, row);
        SCOPED_TRACE(QStringLiteral("column %1").arg(column).toStdString());
        EXPECT_TRUE(cell.bordered()) << cell.facts.value(QStringLiteral("left")).toStdString();
        EXPECT_FALSE(cell.hasDiagonal());
        const bool isText = text[column - 1] == '1';
        EXPECT_EQ(cell.format(), isText ? QStringLiteral("@") : QStringLiteral("General"));
        // Only text cells are wrapped by the report; the description and note columns wrap in the template.
        if (isText) {
            EXPECT_TRUE(cell.wrapped());
        }
        if (!cell.value().isEmpty()) {
            EXPECT_EQ(cell.facts.value(QStringLiteral("type")), QStringLiteral("text"));
        }
    }
}

void expectLabel(const Sheet& sheet, int row, const QString& text)
{
    SCOPED_TRACE(QStringLiteral("row %1").arg(row).toStdString());
    const Cell& cell = sheet.at(1, row);
    EXPECT_EQ(cell.value(), text);
    EXPECT_TRUE(cell.bold());
    EXPECT_EQ(cell.format(), QStringLiteral("General"));
    EXPECT_EQ(cell.facts.value(QStringLiteral("left")), QStringLiteral("none"));
    for (int column = 2; column <= 8; ++column)
        EXPECT_EQ(sheet.at(column, row).facts.value(QStringLiteral("type")), QStringLiteral("empty"));
}

Sheet readSheet(report::modExcel97& excel, int rows, const QList<int>& extraRows)
{
    Sheet sheet;
    const int last = std::max(rows, extraRows.isEmpty() ? 0 : *std::max_element(extraRows.begin(), extraRows.end()));
    for (int row = 1; row <= last; ++row) {
        QList<Cell> cells;
        if (row <= rows || extraRows.contains(row)) {
            for (int column = 1; column <= 8; ++column)
                cells.append(Cell{excel.inspect(column, row)});
        }
        sheet.rows.append(cells);
    }
    return sheet;
}

namespace {

struct Chapter
{
    QString section;
    QString sectionName;
    std::optional<QString> sectionNote;
    QString code;
    qint64 seq;
    QString name;
    std::optional<QString> note;
};

struct Article
{
    QString code;
    QString name;
    std::optional<QString> note;
};

fixture::Row row(qint64 sequenza, const Chapter& chapter, const Article& article, const QString& sub,
                 const QString& subName, const QString& unit, std::optional<QString> price,
                 std::optional<QString> share, std::optional<QString> amount)
{
    fixture::Row r;
    r.sequenza = sequenza;
    r.sezione_codice = chapter.section;
    r.sezione = chapter.sectionName;
    r.note_sezione = chapter.sectionNote;
    r.capitolo_codice = chapter.code;
    r.seq_capitolo = chapter.seq;
    r.capitolo = chapter.name;
    r.note_capitolo = chapter.note;
    r.articolo_codice = article.code;
    r.articolo = article.name;
    r.note_articolo = article.note;
    r.subarticolo_codice = sub;
    r.subarticolo = subName;
    r.simbolo = unit;
    r.prezzo_lordo = std::move(price);
    r.incidenza_manodopera = std::move(share);
    r.somma_manodopera = std::move(amount);
    return r;
}

} // namespace

fixture::Tables gridTables(int chapters, int articles, int subarticles)
{
    fixture::Tables tables;
    qint64 sequenza = 0;
    for (int chapter = 1; chapter <= chapters; ++chapter) {
        for (int article = 1; article <= articles; ++article) {
            for (int sub = 1; sub <= subarticles; ++sub) {
                fixture::Row r;
                r.sequenza = ++sequenza;
                r.capitolo_codice = QStringLiteral("A%1").arg(chapter, 2, 10, QLatin1Char('0'));
                r.seq_capitolo = chapter;
                r.capitolo = QStringLiteral("Capitolo %1").arg(chapter);
                r.articolo_codice = QStringLiteral("A%1").arg(article, 2, 10, QLatin1Char('0'));
                r.articolo = QStringLiteral("Articolo numero %1").arg((chapter - 1) * articles + article);
                r.subarticolo_codice = QStringLiteral("%1").arg(sub * 10, 3, 10, QLatin1Char('0'));
                r.subarticolo = QStringLiteral("Voce numero %1").arg(sequenza);
                tables.rows << r;
            }
        }
    }
    return tables;
}

fixture::Tables reportTables()
{
    const QString edili = QStringLiteral("Opere edili");
    const QString notaEdili = QStringLiteral("Prezzi comprensivi di oneri");
    const QString restauro = QStringLiteral("Restauro");
    const Chapter a01{QStringLiteral("01"),
                      edili,
                      notaEdili,
                      QStringLiteral("A01"),
                      1,
                      QStringLiteral("Scavi e rinterri"),
                      QStringLiteral("Nota dei capitoli di scavo")};
    const Chapter b02{QStringLiteral("01"),       edili,       notaEdili, QStringLiteral("B02"), 2,
                      QStringLiteral("Murature"), std::nullopt};
    const Chapter s02a01{QStringLiteral("02"),  restauro, std::nullopt,
                         QStringLiteral("A01"), 3,        QStringLiteral("Scavi archeologici"),
                         std::nullopt};
    const Chapter s02c01{QStringLiteral("02"),  restauro, std::nullopt,
                         QStringLiteral("C01"), 4,        QStringLiteral("Consolidamenti"),
                         std::nullopt};
    const Article sezione{QStringLiteral("A01"), QStringLiteral("Scavo a sezione obbligata"),
                          QStringLiteral("Profondità fino a 2 m")};
    const Article rinterro{QStringLiteral("A02"), QStringLiteral("Rinterro con materiale di scavo"), std::nullopt};
    const Article laterizio{QStringLiteral("A05"), QStringLiteral("Muratura in laterizio"), std::nullopt};
    const Article armata{QStringLiteral("A06"), QStringLiteral("Muratura armata"), std::nullopt};
    const Article stratigrafico{QStringLiteral("A01"), QStringLiteral("Scavo stratigrafico"), std::nullopt};
    const Article iniezioni{QStringLiteral("A01"), QStringLiteral("Iniezioni di malta"), std::nullopt};
    const auto m3 = QStringLiteral("m³");
    const auto m2 = QStringLiteral("m²");

    fixture::Tables tables;
    tables.rows = {
        row(1, a01, sezione, QStringLiteral("010"), QStringLiteral("In terreno sciolto"), m3, QStringLiteral("12.5"),
            QStringLiteral("27.5"), QStringLiteral("3.44")),
        row(2, a01, sezione, QStringLiteral("020"), QStringLiteral("In roccia dura dell'alveo"), m3, std::nullopt,
            std::nullopt, std::nullopt),
        row(3, a01, rinterro, QStringLiteral("010"), QStringLiteral("Con mezzi meccanici per scavo"), m3,
            QStringLiteral("8"), QStringLiteral("12"), QStringLiteral("0.96")),
        row(4, b02, laterizio, QStringLiteral("010"), QStringLiteral("Spessore 25 cm, scavo escluso"), m2,
            QStringLiteral("45.1"), QStringLiteral("40"), QStringLiteral("18.04")),
        row(5, b02, laterizio, QStringLiteral("020"), QStringLiteral("Spessore 30 cm, scavo escluso"), m2,
            QStringLiteral("52"), QStringLiteral("40"), QStringLiteral("20.8")),
        row(6, b02, armata, QStringLiteral("010"), QStringLiteral("Con rete elettrosaldata"), m2, QStringLiteral("60"),
            QStringLiteral("35"), QStringLiteral("21")),
        row(7, s02a01, stratigrafico, QStringLiteral("010"), QStringLiteral("A mano"), m3, QStringLiteral("150"),
            QStringLiteral("90"), QStringLiteral("135")),
        row(8, s02c01, iniezioni, QStringLiteral("010"), QStringLiteral("A bassa pressione"), QStringLiteral("m"),
            QStringLiteral("30"), QStringLiteral("50"), QStringLiteral("15")),
    };
    return tables;
}

ReportSession::ReportSession(const fixture::Tables& tables) : folder(tables) {}

void ReportSession::SetUp()
{
    ui::MessageBox::clearRecorded();
    state.priceList = core::PriceList(folder.open());
    mainWindow.setWindowTitle(kHeading);
    mainWindow.show();
    window = std::make_unique<search::frmCerca>(state, &mainWindow);
    // As the program does: both print buttons reach the report through the window's signal.
    QObject::connect(window.get(), &search::frmCerca::stampaRequested, window.get(),
                     [this] { app::printSearch(state.priceList, mainWindow.windowTitle(), *window); });
    window->showFromMenu();
    QApplication::setActiveWindow(window.get());
}

void ReportSession::TearDown()
{
    report::OfficeSettings::current().reportEnded = {};
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window->close();
}

void ReportSession::pickSection(int index)
{
    auto* combo = window->findChild<QComboBox*>(QStringLiteral("cmbSezioni"));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void ReportSession::click(const char* name)
{
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void ReportSession::type(const char* name, const QString& ascii)
{
    auto* box = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    ASSERT_NE(box, nullptr) << name;
    box->clear();
    QTest::keyClicks(box, ascii);
}

void ReportSession::textSearch(int section, const QString& ascii, bool capitoli, bool articoli, bool subarticoli)
{
    pickSection(section);
    click("opttesto");
    type("txtCerca", ascii);
    const std::pair<const char*, bool> boxes[] = {
        {"chkCapitoli", capitoli}, {"chkArticoli", articoli}, {"chkSubarticoli", subarticoli}};
    for (const auto& [name, wanted] : boxes) {
        if (window->findChild<QCheckBox*>(QString::fromLatin1(name))->isChecked() != wanted)
            click(name);
    }
    click("cmdCerca");
}

void ReportSession::articleSearch(int section, const QString& cap, const QString& art)
{
    pickSection(section);
    click("optarticolo");
    type("txtArtCap", cap);
    type("txtArtArt", art);
    click("cmdCerca");
}

void ReportSession::subarticleSearch(int section, const QString& cap, const QString& art, const QString& sub)
{
    pickSection(section);
    click("optSub");
    type("txtSubCap", cap);
    type("txtSubArt", art);
    type("txtSubSub", sub);
    click("cmdCerca");
}

void ReportSession::rangeSearch(int section, const QString& daCap, const QString& daArt, const QString& aCap,
                                const QString& aArt)
{
    pickSection(section);
    click("optDa_A");
    type("txtDa_Cap", daCap);
    type("txtDa_Art", daArt);
    type("txtA_Cap", aCap);
    type("txtA_Art", aArt);
    click("cmdCerca");
}

Sheet ReportSession::printWith(const std::function<void()>& action, int rows, const QList<int>& extraRows)
{
    Sheet sheet;
    printed = false;
    report::OfficeSettings::current().reportEnded = [&](report::modExcel97& excel) {
        printed = true;
        sheet = readSheet(excel, rows, extraRows);
        // The tests share one office: each workbook goes once it has been read.
        excel.closeDocument();
    };
    action();
    report::OfficeSettings::current().reportEnded = {};
    return sheet;
}

Sheet ReportSession::print(const char* button, int rows, const QList<int>& extraRows)
{
    return printWith([&] { click(button); }, rows, extraRows);
}

Sheet ReportSession::printDirectly(int rows)
{
    return printWith([&] { app::printSearch(state.priceList, mainWindow.windowTitle(), *window); }, rows, {});
}

QStringList ReportSession::warnings() const
{
    QStringList out;
    for (const auto& shown : ui::MessageBox::recorded())
        out << shown.text;
    return out;
}

} // namespace reporttest
