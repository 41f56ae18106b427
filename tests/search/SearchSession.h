#pragma once

#include "core/AppState.h"
#include "tests/support/Fixture.h"
#include "tests/support/SearchList.h"
#include "ui/MessageBox.h"
#include "ui/ReportList.h"
#include "search/frmCerca.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failures: gtest would otherwise print a QString as its UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace searchtest {

// The price list the search tests run on, in list order (sequenza):
//   01 Opere edili  B01 (seq_capitolo 1) Conglomerati cementizi    A01 010 020, A02 010
//                   A01 (2) Scavi e movimenti di terra             A01 010 020, A02 010 (dell'opera)
//                   A03 (3) Murature                               A05 010 020, A06 010, A05 030 again
//   02 Restauro     A01 (5) Scavi archeologici                     A01 010
//                   C01 (4) Consolidamenti                         A01 010
// So chapter B01 comes before A01 although its code sorts after it, chapter A01 exists in both
// sections, C01 only in section 02 where its chapter position comes before the rows of A01 do,
// and article 01.A03.A05 has rows on both sides of A06.
using fixture::searchTables;

// The descriptions hold "a[b]", "50%", "100*", "dell'opera" and accented letters.
struct SearchSession : ::testing::Test
{
    explicit SearchSession(const fixture::Tables& tables = searchTables());

    void SetUp() override;
    void TearDown() override;

    template <typename T> T* control(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }
    QLabel* label(const char* name) const { return control<QLabel>(name); }
    QRadioButton* option(const char* name) const { return control<QRadioButton>(name); }
    QCheckBox* check(const char* name) const { return control<QCheckBox>(name); }
    QString text(const char* name) const;

    // The user's gestures.
    void pickSection(int index);
    void typeInCombo(const QString& ascii);
    void click(const char* name);
    void type(const char* name, const QString& ascii);
    void run() { click("cmdCerca"); }
    void clickRow(ui::ReportList* list, qsizetype row);

    // Common set-ups: a text search in the given section entry, over the ticked levels.
    void textSearch(int section, const QString& ascii, bool capitoli, bool articoli, bool subarticoli);
    void articleSearch(int section, const QString& cap, const QString& art);
    void subarticleSearch(int section, const QString& cap, const QString& art, const QString& sub);
    void rangeSearch(int section, const QString& daCap, const QString& daArt, const QString& daSub, const QString& aCap,
                     const QString& aArt, const QString& aSub);

    static QStringList column(const ui::ReportList* list, int n = 0);
    static QStringList keys(const ui::ReportList* list);
    QStringList warnings() const;
    QStringList titles() const;
    bool printEnabled() const;
    static QString counter(qsizetype n) { return QStringLiteral("(Numero di elementi trovati : %1)").arg(n); }

    fixture::PriceListFolder folder;
    core::AppState state;
    QWidget mainWindow;
    std::unique_ptr<search::frmCerca> window;

    QComboBox* cmbSezioni = nullptr;
    ui::ReportList* lstCapitoli = nullptr;
    ui::ReportList* lstArticoli = nullptr;
    ui::ReportList* lstSubarticoli = nullptr;
};

// A list of codes written as plain literals.
inline QStringList codes(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* code : list)
        out << QString::fromLatin1(code);
    return out;
}

} // namespace searchtest
