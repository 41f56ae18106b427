#include "texts/frmInfo.h"

#include "core/AppState.h"
#include "tests/support/Fixture.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Entry
{
    QString name;
    QString caption; // empty for a separator
};

const QList<Entry> kMenu{{QStringLiteral("ln1"), {}},
                         {QStringLiteral("mnuPP"), QStringLiteral("Prefazione e Premesse")},
                         {QStringLiteral("ln2"), {}},
                         {QStringLiteral("mnuC"), QStringLiteral("Consultazione")},
                         {QStringLiteral("ln3"), {}},
                         {QStringLiteral("mnuR"), QStringLiteral("Ricerca")},
                         {QStringLiteral("mnuRT"), QStringLiteral("...Ricerca per Testo")},
                         {QStringLiteral("mnuCAS"), QStringLiteral("......Capitolo, Articolo e Subarticolo")},
                         {QStringLiteral("mnuCA"), QStringLiteral("......Capitolo e Articolo")},
                         {QStringLiteral("mnuAS"), QStringLiteral("......Articolo e Subarticolo")},
                         {QStringLiteral("mnuCS"), QStringLiteral("......Capitolo e Subarticolo")},
                         {QStringLiteral("mnuS"), QStringLiteral("......Subarticolo")},
                         {QStringLiteral("mnuA"), QStringLiteral("......Articolo")},
                         {QStringLiteral("mnuCP"), QStringLiteral("......Capitolo")},
                         {QStringLiteral("mnuA2"), QStringLiteral("...Ricerca per Codice Articolo")},
                         {QStringLiteral("mnuS2"), QStringLiteral("...Ricerca per Codice Subarticolo")},
                         {QStringLiteral("mnuI"), QStringLiteral("...Ricerca per intervalli")},
                         {QStringLiteral("ln4"), {}},
                         {QStringLiteral("mnuMnu"), QStringLiteral("Manuale utente")}};

const QStringList kSearchEntries{QStringLiteral("mnuR"),  QStringLiteral("mnuRT"), QStringLiteral("mnuCAS"),
                                 QStringLiteral("mnuCA"), QStringLiteral("mnuAS"), QStringLiteral("mnuCS"),
                                 QStringLiteral("mnuS"),  QStringLiteral("mnuA"),  QStringLiteral("mnuCP"),
                                 QStringLiteral("mnuA2"), QStringLiteral("mnuS2"), QStringLiteral("mnuI")};

QStringList allEntries()
{
    QStringList names;
    for (const Entry& entry : kMenu)
        names << entry.name;
    return names;
}

QString topicText(const QString& caption)
{
    return QStringLiteral("Come si usa «") + caption + QStringLiteral("»: l'opera è descritta qui.");
}

// One row per topic with a text naming its caption, plus rows whose titles differ from a caption
// only by the leading dots, so that a lookup without the dots would show the wrong text.
QString fullManual()
{
    QString csv = QStringLiteral("titolo,Descrizione\n");
    for (const Entry& entry : kMenu) {
        if (!entry.caption.isEmpty())
            csv += fixture::csvField(entry.caption) + u',' + fixture::csvField(topicText(entry.caption)) + u'\n';
    }
    csv += QStringLiteral("\"Capitolo\",\"Testo sbagliato: titolo senza puntini\"\n");
    csv += QStringLiteral("\"Ricerca per Testo\",\"Testo sbagliato: titolo senza puntini\"\n");
    return csv;
}

fixture::Tables tablesWithManual(const QString& manuale)
{
    fixture::Tables tables;
    tables.rows = {fixture::Row{}};
    tables.manuale = manuale;
    return tables;
}

// A price list on disk, the shared state with its database open, and the manual window over them.
struct ManualSession
{
    explicit ManualSession(const QString& manuale = fullManual()) : folder(tablesWithManual(manuale))
    {
        state.priceList = core::PriceList(folder.open());
        ui::MessageBox::clearRecorded();
    }

    QAction* action(const QString& name) const { return window.findChild<QAction*>(name); }
    QMenu* menu() const { return window.findChild<QMenu*>(QStringLiteral("mnu")); }
    QPlainTextEdit* text() const { return window.findChild<QPlainTextEdit*>(QStringLiteral("txtManuale")); }

    // Shows the window modally as the program does, runs `whileOpen` inside the modal loop, then closes it.
    void open(const std::function<void()>& whileOpen, texts::frmInfo::Topics topics = texts::frmInfo::Topics::All)
    {
        bool ran = false;
        QTimer::singleShot(0, &window, [&] {
            ran = true;
            whileOpen();
            window.reject();
        });
        window.showModal(topics);
        EXPECT_TRUE(ran);
    }

    void openFrom(const QString& contesto, const std::function<void()>& whileOpen)
    {
        // The window that asks: Ricerca, Consultazione or the main menu.
        open(whileOpen, contesto == u"Cerca"    ? texts::frmInfo::Topics::Search
                        : contesto == u"Albero" ? texts::frmInfo::Topics::Consultation
                                                : texts::frmInfo::Topics::All);
    }

    void openFrom(const QString& contesto)
    {
        openFrom(contesto, [] {});
    }

    QStringList visibleEntries() const
    {
        QStringList names;
        for (QAction* entry : menu()->actions()) {
            if (entry->isVisible())
                names << entry->objectName();
        }
        return names;
    }

    fixture::PriceListFolder folder;
    core::AppState state;
    texts::frmInfo window{state};
};

} // namespace

TEST(ManualMenu, holdsTheFifteenTopicsAndFourSeparatorsInOrder)
{
    ManualSession session;
    QMenu* menu = session.menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("Funzionalità"));
    EXPECT_EQ(session.window.windowTitle(), QStringLiteral("Manuale utente"));

    auto* bar = session.window.findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->actions(), QList<QAction*>{menu->menuAction()});

    QStringList shown;
    for (QAction* entry : menu->actions())
        shown << entry->objectName() + u'=' + (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    QStringList expected;
    for (const Entry& entry : kMenu)
        expected << entry.name + u'=' + (entry.caption.isEmpty() ? QStringLiteral("-") : entry.caption);
    EXPECT_EQ(shown, expected);
}

TEST(ManualMenu, fromTheMainWindowShowsEveryTopicAndSeparator)
{
    ManualSession session;
    session.openFrom(QString(), [&] {
        EXPECT_EQ(session.visibleEntries(), allEntries());

        // The leading separator really takes room in the open menu.
        QMenu* menu = session.menu();
        menu->popup(QPoint(0, 0));
        EXPECT_GT(menu->actionGeometry(session.action(QStringLiteral("ln1"))).height(), 0);
        EXPECT_LT(menu->actionGeometry(session.action(QStringLiteral("ln1"))).top(),
                  menu->actionGeometry(session.action(QStringLiteral("mnuPP"))).top());
        menu->hide();
    });
}

TEST(ManualMenu, fromTheSearchWindowShowsRicercaAndItsElevenSubtopics)
{
    ManualSession session;
    session.openFrom(QStringLiteral("Cerca"), [&] { EXPECT_EQ(session.visibleEntries(), kSearchEntries); });
}

TEST(ManualMenu, fromTheConsultationWindowShowsConsultazioneOnly)
{
    ManualSession session;
    session.openFrom(QStringLiteral("Albero"),
                     [&] { EXPECT_EQ(session.visibleEntries(), QStringList{QStringLiteral("mnuC")}); });
}

TEST(ManualMenu, eachOpeningStartsFromTheFullMenu)
{
    ManualSession session;
    session.openFrom(QStringLiteral("Cerca"));
    session.openFrom(QString(), [&] { EXPECT_EQ(session.visibleEntries(), allEntries()); });

    session.openFrom(QStringLiteral("Albero"));
    session.openFrom(QStringLiteral("Cerca"), [&] { EXPECT_EQ(session.visibleEntries(), kSearchEntries); });

    session.openFrom(QStringLiteral("Cerca"));
    session.openFrom(QStringLiteral("Albero"),
                     [&] { EXPECT_EQ(session.visibleEntries(), QStringList{QStringLiteral("mnuC")}); });
}

TEST(ManualWindow, opensModallyWithAnEmptyText)
{
    ManualSession session;
    session.open([&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &session.window);
        EXPECT_TRUE(session.text()->toPlainText().isEmpty());
        session.action(QStringLiteral("mnuC"))->trigger();
        EXPECT_FALSE(session.text()->toPlainText().isEmpty());
    });
    EXPECT_FALSE(session.window.isVisible());
    session.open([&] { EXPECT_TRUE(session.text()->toPlainText().isEmpty()); });
}

TEST(ManualWindow, textIsReadOnlyWithAVerticalScrollBar)
{
    ManualSession session;
    EXPECT_TRUE(session.text()->isReadOnly());
    EXPECT_EQ(session.text()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(ManualTopics, eachTopicShowsTheTextStoredUnderItsExactCaption)
{
    ManualSession session;
    session.open([&] {
        for (const Entry& entry : kMenu) {
            if (entry.caption.isEmpty())
                continue;
            session.action(entry.name)->trigger();
            EXPECT_EQ(session.text()->toPlainText(), topicText(entry.caption)) << entry.name.toStdString();
        }
    });
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
}

TEST(ManualTopics, dottedCaptionsAreLookedUpWithTheirDots)
{
    ManualSession session;
    session.open([&] {
        session.action(QStringLiteral("mnuCP"))->trigger();
        EXPECT_EQ(session.text()->toPlainText(), topicText(QStringLiteral("......Capitolo")));
        session.action(QStringLiteral("mnuRT"))->trigger();
        EXPECT_EQ(session.text()->toPlainText(), topicText(QStringLiteral("...Ricerca per Testo")));
    });
}

TEST(ManualTopics, aSecondTopicReplacesTheFirstEntirely)
{
    const QString longText = QStringLiteral("Prima riga del testo lungo\nseconda riga\nterza riga");
    ManualSession session(QStringLiteral("titolo,Descrizione\n\"Ricerca\",") + fixture::csvField(longText) +
                          QStringLiteral("\n\"Consultazione\",\"Breve\"\n"));
    session.open([&] {
        session.action(QStringLiteral("mnuR"))->trigger();
        EXPECT_EQ(session.text()->toPlainText(), longText);
        session.action(QStringLiteral("mnuC"))->trigger();
        EXPECT_EQ(session.text()->toPlainText(), QStringLiteral("Breve"));
    });
}

TEST(ManualTopics, aMissingRowOrANullOrEmptyTextEmptiesTheText)
{
    ManualSession session(QStringLiteral("titolo,Descrizione\n"
                                         "\"Consultazione\",\"Testo della consultazione\"\n"
                                         "\"Ricerca\",\n"
                                         "\"Manuale utente\",\"\"\n"));
    session.open([&] {
        const auto showThenChoose = [&](const QString& name) {
            session.action(QStringLiteral("mnuC"))->trigger();
            EXPECT_EQ(session.text()->toPlainText(), QStringLiteral("Testo della consultazione"));
            session.action(name)->trigger();
            EXPECT_TRUE(session.text()->toPlainText().isEmpty()) << name.toStdString();
        };
        showThenChoose(QStringLiteral("mnuPP"));  // no row
        showThenChoose(QStringLiteral("mnuR"));   // Null text
        showThenChoose(QStringLiteral("mnuMnu")); // empty text
    });
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
}

TEST(ManualTopics, theRecordsetIsClosedAfterEachTopic)
{
    ManualSession session;
    session.open([&] {
        session.action(QStringLiteral("mnuI"))->trigger();
        session.action(QStringLiteral("mnuPP"))->trigger();
    });
}

TEST(ManualTopics, anEngineFailureIsReportedAndTheWindowStaysUsable)
{
    ManualSession session;
    session.open([&] {
        session.action(QStringLiteral("mnuC"))->trigger();
        session.state.priceList.close();
        session.action(QStringLiteral("mnuR"))->trigger();
        ASSERT_EQ(ui::MessageBox::recorded().size(), 1);
        EXPECT_EQ(ui::MessageBox::recorded().first().title, QStringLiteral("Prezziario"));
        EXPECT_FALSE(ui::MessageBox::recorded().first().text.isEmpty());
        EXPECT_TRUE(session.window.isVisible());

        session.state.priceList = core::PriceList(session.folder.open());
        session.action(QStringLiteral("mnuR"))->trigger();
        EXPECT_EQ(session.text()->toPlainText(), topicText(QStringLiteral("Ricerca")));
    });
}

TEST(ManualNotice, readsExactlyAndStandsBelowTheText)
{
    ManualSession session;
    auto* label = session.window.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(),
              QStringLiteral("Il manuale utente per il corretto utilizzo dell’applicativo ''Prezzario Regione Vallorsa "
                             "2021 CD'' è consultabile e stampabile in formato pdf direttamente dalla cartella "
                             "''Prezzario Regione Vallorsa 2021 CD'', che viene creata dopo aver eseguito il file "
                             "''Prezzario Regione Vallorsa 2021 CD - Installazione.exe''. Il file d'installazione è "
                             "disponibile sul sito web ufficiale della Regione Vallorsa - Direzione Regionale Opere "
                             "Pubbliche, Infrastrutture e Lavori Pubblici all'indirizzo:  "
                             "https://www.regione.vallorsa.it/operepubbliche/prezzario"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->wordWrap());

    session.open([&] {
        EXPECT_GE(label->geometry().top(), session.text()->geometry().bottom());
        EXPECT_LE(label->width(), session.window.width());
    });
}

TEST(ManualNotice, isBoldAndRed)
{
    ManualSession session;
    auto* label = session.window.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->palette().color(label->foregroundRole()), QColor(Qt::red));

    session.open([&] {
        const QImage image = label->grab().toImage();
        int red = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.red() > 200 && pixel.green() < 60 && pixel.blue() < 60)
                    ++red;
            }
        }
        EXPECT_GT(red, 100);
    });
}
