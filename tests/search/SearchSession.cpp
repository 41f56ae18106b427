#include "SearchSession.h"

namespace searchtest {

namespace {

struct Chapter
{
    QString section;
    QString sectionName;
    QString code;
    qint64 seq;
    QString name;
    std::optional<QString> note;
};

fixture::Row row(qint64 sequenza, const Chapter& chapter, const QString& article, const QString& articleName,
                 const QString& sub, const QString& subName)
{
    fixture::Row r;
    r.sequenza = sequenza;
    r.sezione_codice = chapter.section;
    r.sezione = chapter.sectionName;
    r.capitolo_codice = chapter.code;
    r.seq_capitolo = chapter.seq;
    r.capitolo = chapter.name;
    r.note_capitolo = chapter.note;
    r.articolo_codice = article;
    r.articolo = articleName;
    r.subarticolo_codice = sub;
    r.subarticolo = subName;
    return r;
}

} // namespace

fixture::Tables searchTables()
{
    const QString edili = QStringLiteral("Opere edili");
    const QString restauro = QStringLiteral("Restauro");
    const Chapter b01{QStringLiteral("01"),
                      edili,
                      QStringLiteral("B01"),
                      1,
                      QStringLiteral("Conglomerati cementizi"),
                      QStringLiteral("Nota del capitolo B01")};
    const Chapter a01{
        QStringLiteral("01"), edili, QStringLiteral("A01"), 2, QStringLiteral("Scavi e movimenti di terra"),
        std::nullopt};
    const Chapter a03{QStringLiteral("01"), edili, QStringLiteral("A03"), 3, QStringLiteral("Murature"), std::nullopt};
    const Chapter s02a01{QStringLiteral("02"),
                         restauro,
                         QStringLiteral("A01"),
                         5,
                         QStringLiteral("Scavi archeologici"),
                         QStringLiteral("Nota degli scavi archeologici")};
    const Chapter s02c01{QStringLiteral("02"), restauro, QStringLiteral("C01"), 4, QStringLiteral("Consolidamenti"),
                         std::nullopt};

    QList<fixture::Row> rows;
    fixture::Row r = row(1, b01, QStringLiteral("A01"), QStringLiteral("Calcestruzzo per fondazioni"),
                         QStringLiteral("010"), QStringLiteral("Classe C25/30 perché è così"));
    r.prezzo_lordo = QStringLiteral("120.5");
    r.incidenza_manodopera = QStringLiteral("12");
    r.somma_manodopera = QStringLiteral("14.46");
    rows << r;
    r = row(2, b01, QStringLiteral("A01"), QStringLiteral("Calcestruzzo per fondazioni"), QStringLiteral("020"),
            QStringLiteral("Classe C30/37 con aggiunta al 50% di inerti"));
    r.prezzo_lordo.reset();
    r.incidenza_manodopera.reset();
    r.somma_manodopera.reset();
    rows << r;
    rows << row(3, b01, QStringLiteral("A02"), QStringLiteral("Magrone di sottofondazione"), QStringLiteral("010"),
                QStringLiteral("Spessore 100*200 mm"));
    r = row(4, a01, QStringLiteral("A01"), QStringLiteral("Scavo a sezione obbligata"), QStringLiteral("010"),
            QStringLiteral("In terreno di qualsiasi natura"));
    r.note_articolo = QStringLiteral("Nota dello scavo a sezione obbligata");
    rows << r;
    r = row(5, a01, QStringLiteral("A01"), QStringLiteral("Scavo a sezione obbligata"), QStringLiteral("020"),
            QStringLiteral("In roccia dura con rete a[b] elettrosaldata"));
    r.note_articolo = QStringLiteral("Nota dello scavo a sezione obbligata");
    rows << r;
    rows << row(6, a01, QStringLiteral("A02"), QStringLiteral("Scavo di sbancamento dell'opera"), QStringLiteral("010"),
                QStringLiteral("Con mezzi meccanici"));
    rows << row(7, a03, QStringLiteral("A05"), QStringLiteral("Muratura portante in laterizio"), QStringLiteral("010"),
                QStringLiteral("Spessore 25 cm"));
    rows << row(8, a03, QStringLiteral("A05"), QStringLiteral("Muratura portante in laterizio"), QStringLiteral("020"),
                QStringLiteral("Spessore 30 cm"));
    rows << row(9, a03, QStringLiteral("A06"), QStringLiteral("Tramezzatura in laterizio"), QStringLiteral("010"),
                QStringLiteral("Spessore 8 cm"));
    rows << row(10, a03, QStringLiteral("A05"), QStringLiteral("Muratura portante in laterizio"), QStringLiteral("030"),
                QStringLiteral("Spessore 38 cm"));
    rows << row(11, s02a01, QStringLiteral("A01"), QStringLiteral("Scavo stratigrafico"), QStringLiteral("010"),
                QStringLiteral("A mano con setacciatura"));
    rows << row(12, s02c01, QStringLiteral("A01"), QStringLiteral("Iniezioni di malta"), QStringLiteral("010"),
                QStringLiteral("Malta di calce idraulica"));
    fixture::Tables tables;
    tables.rows = rows;
    return tables;
}

SearchSession::SearchSession(const fixture::Tables& tables) : folder(tables) {}

void SearchSession::SetUp()
{
    ui::MessageBox::clearRecorded();
    state.priceList = core::PriceList(folder.open());
    mainWindow.show();
    window = std::make_unique<search::frmCerca>(state, &mainWindow);
    window->showFromMenu();
    QApplication::setActiveWindow(window.get());
    cmbSezioni = control<QComboBox>("cmbSezioni");
    lstCapitoli = control<ui::ReportList>("lstCapitoli");
    lstArticoli = control<ui::ReportList>("lstArticoli");
    lstSubarticoli = control<ui::ReportList>("lstSubarticoli");
}

void SearchSession::TearDown()
{
    // Whatever the test did, no handler may leave the hourglass behind.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window->close();
}

QString SearchSession::text(const char* name) const
{
    const QString objectName = QString::fromLatin1(name);
    if (auto* line = window->findChild<QLineEdit*>(objectName))
        return line->text();
    if (auto* plain = window->findChild<QPlainTextEdit*>(objectName))
        return plain->toPlainText();
    if (auto* caption = window->findChild<QLabel*>(objectName))
        return caption->text();
    if (auto* frame = window->findChild<QGroupBox*>(objectName))
        return frame->title();
    ADD_FAILURE() << "no text control " << name;
    return {};
}

void SearchSession::pickSection(int index)
{
    cmbSezioni->setCurrentIndex(index);
    emit cmbSezioni->activated(index);
}

void SearchSession::typeInCombo(const QString& ascii)
{
    QTest::keyClicks(cmbSezioni->lineEdit(), ascii);
}

void SearchSession::click(const char* name)
{
    auto* button = control<QAbstractButton>(name);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void SearchSession::type(const char* name, const QString& ascii)
{
    QTest::keyClicks(box(name), ascii);
}

void SearchSession::clickRow(ui::ReportList* list, qsizetype row)
{
    QApplication::processEvents(); // the list shows its new rows once the handler returns
    const QRect rect = list->visualRect(list->model()->index(static_cast<int>(row), 0));
    ASSERT_TRUE(rect.isValid()) << "row " << row << " is not on screen";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void SearchSession::textSearch(int section, const QString& ascii, bool capitoli, bool articoli, bool subarticoli)
{
    pickSection(section);
    click("opttesto");
    box("txtCerca")->clear();
    type("txtCerca", ascii);
    const std::pair<const char*, bool> boxes[] = {
        {"chkCapitoli", capitoli}, {"chkArticoli", articoli}, {"chkSubarticoli", subarticoli}};
    for (const auto& [name, wanted] : boxes) {
        if (check(name)->isChecked() != wanted)
            click(name);
    }
    run();
}

void SearchSession::articleSearch(int section, const QString& cap, const QString& art)
{
    pickSection(section);
    click("optarticolo");
    box("txtArtCap")->clear();
    box("txtArtArt")->clear();
    type("txtArtCap", cap);
    type("txtArtArt", art);
    run();
}

void SearchSession::subarticleSearch(int section, const QString& cap, const QString& art, const QString& sub)
{
    pickSection(section);
    click("optSub");
    for (const char* name : {"txtSubCap", "txtSubArt", "txtSubSub"})
        box(name)->clear();
    type("txtSubCap", cap);
    type("txtSubArt", art);
    type("txtSubSub", sub);
    run();
}

void SearchSession::rangeSearch(int section, const QString& daCap, const QString& daArt, const QString& daSub,
                                const QString& aCap, const QString& aArt, const QString& aSub)
{
    pickSection(section);
    click("optDa_A");
    const std::pair<const char*, QString> parts[] = {{"txtDa_Cap", daCap}, {"txtDa_Art", daArt}, {"txtDa_Sub", daSub},
                                                     {"txtA_Cap", aCap},   {"txtA_Art", aArt},   {"txtA_Sub", aSub}};
    for (const auto& [name, part] : parts) {
        box(name)->clear();
        type(name, part);
    }
    run();
}

QStringList SearchSession::column(const ui::ReportList* list, int n)
{
    QStringList out;
    for (qsizetype i = 0; i < list->Count(); ++i)
        out << list->SubItem(list->Key(i), n);
    return out;
}

QStringList SearchSession::keys(const ui::ReportList* list)
{
    QStringList out;
    for (qsizetype i = 0; i < list->Count(); ++i)
        out << list->Key(i);
    return out;
}

QStringList SearchSession::warnings() const
{
    QStringList out;
    for (const auto& shown : ui::MessageBox::recorded())
        out << shown.text;
    return out;
}

QStringList SearchSession::titles() const
{
    QStringList out;
    for (const auto& shown : ui::MessageBox::recorded())
        out << shown.title;
    return out;
}

bool SearchSession::printEnabled() const
{
    const bool stampa = control<QPushButton>("cmdstampa")->isEnabled();
    EXPECT_EQ(control<QToolButton>("cmdStampa1")->isEnabled(), stampa) << "the print buttons go together";
    return stampa;
}

} // namespace searchtest
