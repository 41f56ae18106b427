#include "tests/search/SearchSession.h"

namespace searchtest {

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
