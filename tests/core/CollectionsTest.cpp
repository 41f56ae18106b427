// Collections of chosen items: kept on disk without losing a digit, a Null or a file, and exported against the
// edition the user opens later.

#include "core/Collections.h"
#include "core/Computo.h"
#include "tests/support/Fixture.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>

namespace {

core::Text text(const char* utf8)
{
    return core::Text::fromUtf8(utf8);
}

core::ChosenItem item(const char* code, core::Text subarticolo, std::optional<double> price,
                      std::optional<double> quantity)
{
    core::ChosenItem chosen;
    chosen.code = QString::fromUtf8(code);
    chosen.sezione = text("Opere edili");
    chosen.capitolo = text("");
    chosen.articolo = core::Text();
    chosen.subarticolo = subarticolo;
    chosen.simbolo = text("m³");
    chosen.prezzoLordo = price;
    chosen.incidenzaManodopera = 27.5;
    chosen.quantita = quantity;
    return chosen;
}

void expectSame(const core::ChosenItem& read, const core::ChosenItem& written)
{
    SCOPED_TRACE(written.code.toStdString());
    EXPECT_EQ(read.code, written.code);
    EXPECT_TRUE(read.sezione == written.sezione);
    EXPECT_TRUE(read.capitolo == written.capitolo);
    EXPECT_TRUE(read.articolo == written.articolo);
    EXPECT_TRUE(read.subarticolo == written.subarticolo);
    EXPECT_TRUE(read.simbolo == written.simbolo);
    EXPECT_EQ(read.prezzoLordo, written.prezzoLordo);
    EXPECT_EQ(read.incidenzaManodopera, written.incidenzaManodopera);
    EXPECT_EQ(read.quantita, written.quantita);
    EXPECT_EQ(read.previousCode, written.previousCode);
    EXPECT_EQ(read.misure, written.misure);
    EXPECT_EQ(read.chapter, written.chapter);
    EXPECT_EQ(read.fuoriPrezzario, written.fuoriPrezzario);
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

TEST(CollectionStore, keepsOrderNullsEmptyTextsAndEveryDigit)
{
    const QTemporaryDir folder;
    core::CollectionStore store(folder.path());
    core::Collection project = store.create(QStringLiteral("Scuola via Roma"), QStringLiteral("2021"),
                                            QStringLiteral("Prezzario Regione Vallorsa"));
    store.create(QStringLiteral("asilo"), QStringLiteral("2021"), QStringLiteral("Prezzario Regione Vallorsa"));
    QList<core::ChosenItem> written{
        item("02.C01.A01.010", text("a base di calce, \"fluida\"\nin due mani"), 0.1 + 0.2, 2.5),
        item("01.A01.A01.010", core::Text(), 3.3935000000000004, std::nullopt),
        item("01.A01.A01.020", text(""), std::nullopt, 0.0),
        item("01.B01.A01.010", text("classe C25/30"), 2021.0, 1e-7),
    };
    written[2].previousCode = QStringLiteral("01.A01.A09.020"); // carried over from an edition that re-coded it
    // A computo: chapters, a note, an expression, a deduction and a price of no list.
    ASSERT_TRUE(core::addChapter(project, QStringLiteral("Scavi")));
    written[0].chapter = written[3].chapter = QStringLiteral("Scavi");
    const auto measure = [](const char* what, std::array<const char*, core::kFactors> factors) {
        core::MeasureLine line{QString::fromUtf8(what), {}};
        for (int f = 0; f < core::kFactors; ++f)
            line.factors[std::size_t(f)] = QString::fromUtf8(factors[std::size_t(f)]);
        return line;
    };
    written[0].misure = {measure("Pareti nord", {"2", "(4,50+1,20)/2", "", ""}),
                         measure("a dedurre finestre", {"", "-1.2", "1,5", ""}), measure("vedi tavola 3", {})};
    written[1].fuoriPrezzario = true;
    for (const core::ChosenItem& chosen : written)
        EXPECT_TRUE(core::addItem(project, chosen));
    core::groupByChapter(project);
    written = project.items;
    EXPECT_FALSE(core::addItem(project, item("01.A01.A01.010", text("again"), 1.0, 1.0)));
    store.save(project);

    core::CollectionStore reopened(folder.path());
    const QList<core::Collection> collections = reopened.collections();
    EXPECT_TRUE(reopened.setAside().isEmpty());
    ASSERT_EQ(collections.size(), 2);
    EXPECT_EQ(collections[0].name, QStringLiteral("asilo")); // by name, whatever the letter case
    const core::Collection& read = collections[1];
    EXPECT_EQ(read.id, project.id);
    EXPECT_EQ(read.name, project.name);
    EXPECT_EQ(read.editionYear, QStringLiteral("2021"));
    EXPECT_EQ(read.editionTitle, QStringLiteral("Prezzario Regione Vallorsa"));
    EXPECT_EQ(read.changed, project.changed);
    EXPECT_EQ(read.chapters, QStringList{QStringLiteral("Scavi")});
    ASSERT_EQ(read.items.size(), written.size());
    for (qsizetype i = 0; i < written.size(); ++i)
        expectSame(read.items[i], written[i]);

    store.rename(project, QStringLiteral("Scuola via Roma, lotto 2"));
    EXPECT_EQ(reopened.load(project.id)->name, QStringLiteral("Scuola via Roma, lotto 2"));
    store.remove(project.id);
    EXPECT_FALSE(reopened.load(project.id));
    EXPECT_EQ(reopened.collections().size(), 1);
}

// A file written before items could be carried over, read as it always was, and still written without the field.
TEST(CollectionStore, readsAFileWithoutPreviousCodesAsBefore)
{
    const QTemporaryDir folder;
    QFile file(QDir(folder.path()).filePath(QStringLiteral("ponte.json")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"formato": 1, "nome": "Ponte", "anno": "2021", "edizione": "P", "modificata": )"
               R"("2021-03-01T10:00:00.000Z", "voci": [{"codice": "01.A01.A01.010", "sezione": "Opere edili", )"
               R"("prezzo_lordo": 12.5, "quantita": 2}]})");
    file.close();
    core::CollectionStore store(folder.path());
    std::optional<core::Collection> read = store.load(QStringLiteral("ponte"));
    ASSERT_TRUE(read) << store.setAside().join(u'\n').toStdString();
    ASSERT_EQ(read->items.size(), 1);
    const core::ChosenItem& item = read->items[0];
    EXPECT_EQ(item.code, QStringLiteral("01.A01.A01.010"));
    EXPECT_EQ(item.sezione.toString(), QStringLiteral("Opere edili"));
    EXPECT_TRUE(item.articolo.isNull());
    EXPECT_EQ(item.prezzoLordo, 12.5);
    EXPECT_EQ(item.quantita, 2.0);
    EXPECT_TRUE(item.previousCode.isEmpty());

    store.save(*read);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("codice_precedente"));
}

// Each a file a user could meet after a crash of another program, a hand edit or a sync conflict.
TEST(CollectionStore, setsAnUnreadableFileAsideAndListsTheOthers)
{
    const struct
    {
        const char* what;
        QByteArray content;
    } cases[] = {
        {"cut short", R"({"formato": 1, "nome": "Ponte", "voci": [)"},
        {"empty", ""},
        {"not an object", "[1, 2]"},
        {"no items", R"({"formato": 1, "nome": "Ponte", "anno": "2021", "edizione": "P", "modificata": )"
                     R"("2021-03-01T10:00:00.000Z"})"},
        {"price as text",
         R"({"formato": 1, "nome": "Ponte", "anno": "2021", "edizione": "P", "modificata": )"
         R"("2021-03-01T10:00:00.000Z", "voci": [{"codice": "01.A01.A01.010", "prezzo_lordo": "12,5"}]})"},
        {"a factor no window would take",
         R"({"formato": 2, "nome": "Ponte", "anno": "2021", "edizione": "P", "modificata": )"
         R"("2021-03-01T10:00:00.000Z", "voci": [{"codice": "01.A01.A01.010", "misure": [{"lunghezza": "2x3"}]}]})"},
        {"a chapter twice",
         R"({"formato": 2, "nome": "Ponte", "anno": "2021", "edizione": "P", "modificata": )"
         R"("2021-03-01T10:00:00.000Z", "voci": [], "capitoli": ["Scavi", "Scavi"]})"},
    };
    for (const auto& broken : cases) {
        SCOPED_TRACE(broken.what);
        const QTemporaryDir folder;
        core::CollectionStore store(folder.path());
        const core::Collection kept = store.create(QStringLiteral("Scuola"), QStringLiteral("2021"), {});
        QFile file(QDir(folder.path()).filePath(QStringLiteral("ponte.json")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(broken.content);
        file.close();

        const QList<core::Collection> listed = store.collections();
        ASSERT_EQ(listed.size(), 1);
        EXPECT_EQ(listed[0].id, kept.id);
        ASSERT_EQ(store.setAside().size(), 1);
        EXPECT_TRUE(store.setAside()[0].contains(QStringLiteral("ponte.json"))) << store.setAside()[0].toStdString();

        const QStringList files = filesIn(folder.path());
        EXPECT_FALSE(files.contains(QStringLiteral("ponte.json")));
        const QStringList aside = files.filter(QStringLiteral("ponte.json.illeggibile-"));
        ASSERT_EQ(aside.size(), 1);
        QFile moved(QDir(folder.path()).filePath(aside[0]));
        ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
        EXPECT_EQ(moved.readAll(), broken.content);

        EXPECT_EQ(store.collections().size(), 1);
        EXPECT_TRUE(store.setAside().isEmpty());
    }
}

// Whatever else sits in the folder under a collection's name (a pipe, a link to one, a link to a file elsewhere)
// is never read, waited on or written through: a link is set aside, and where it is written, the link is
// replaced, not its target.
TEST(CollectionStore, neitherWaitsOnAPipeNorFollowsALink)
{
    const QTemporaryDir folder;
    const auto path = [&](const QString& name) { return QDir(folder.path()).filePath(name); };
    core::CollectionStore store(folder.path());
    const core::Collection kept = store.create(QStringLiteral("Scuola"), QStringLiteral("2021"), {});
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.json"))).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("tubo"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path(QStringLiteral("tubo")), path(QStringLiteral("collegato.json"))));
    const QTemporaryDir elsewhere;
    const QString target = QDir(elsewhere.path()).filePath(QStringLiteral("bersaglio.json"));
    QFile targetFile(target);
    ASSERT_TRUE(targetFile.open(QIODevice::WriteOnly));
    targetFile.write("di un altro");
    targetFile.close();
    ASSERT_TRUE(QFile::link(target, path(QStringLiteral("fuori.json"))));

    const QList<core::Collection> listed = store.collections();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0].id, kept.id);
    // The pipe itself is no file to list; the two links are set aside.
    EXPECT_EQ(store.setAside().size(), 2) << store.setAside().join(QStringLiteral(" / ")).toStdString();
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("pipe.json"))));

    // The last-used file as a pipe reads as none; as a link, the link is replaced and its target kept.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("ultima-raccolta"))).constData(), 0600), 0);
    EXPECT_TRUE(store.lastUsed().isEmpty());
    QFile::remove(path(QStringLiteral("ultima-raccolta")));
    ASSERT_TRUE(QFile::link(target, path(QStringLiteral("ultima-raccolta"))));
    store.setLastUsed(kept.id);
    EXPECT_FALSE(QFileInfo(path(QStringLiteral("ultima-raccolta"))).isSymLink());
    EXPECT_EQ(store.lastUsed(), kept.id);
    ASSERT_TRUE(targetFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(targetFile.readAll(), QByteArray("di un altro"));
}

// A pipe where the settings file should be would hang the start: it is set aside and the settings work.
TEST(Settings, aPipeInPlaceOfTheSettingsFileIsSetAsideNotWaitedOn)
{
    const QTemporaryDir config;
    const QString folder = config.filePath(QStringLiteral("Unknown Organization"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + u'/' + QCoreApplication::applicationName() + QStringLiteral(".conf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    const QString said = core::useSafeSettings(config.path());
    EXPECT_TRUE(said.contains(QStringLiteral("messe da parte"))) << said.toStdString();
    QSettings().setValue(QStringLiteral("chiave"), QStringLiteral("valore"));
    QSettings().sync();
    EXPECT_TRUE(QFileInfo(file).isFile());
    EXPECT_EQ(QSettings().value(QStringLiteral("chiave")).toString(), QStringLiteral("valore"));
}

TEST(CollectionStore, leavesNoTemporaryFileAndRemembersTheLastUsed)
{
    EXPECT_TRUE(core::CollectionStore::defaultFolder().startsWith(QFile::decodeName(qgetenv("XDG_DATA_HOME"))));
    const QTemporaryDir folder;
    core::CollectionStore store(folder.path() + QStringLiteral("/voci-scelte"));
    core::Collection first = store.create(QStringLiteral("Uno"), QStringLiteral("2021"), {});
    const core::Collection second = store.create(QStringLiteral("Due"), QStringLiteral("2021"), {});
    EXPECT_TRUE(store.lastUsed().isEmpty());
    for (int i = 0; i < 3; ++i) {
        first.items << item("01.A01.A01.010", text("x"), 1.0 + i, std::nullopt);
        store.save(first);
    }
    store.setLastUsed(second.id);
    EXPECT_EQ(store.lastUsed(), second.id);
    const QStringList expected = QStringList{first.id + QStringLiteral(".json"), second.id + QStringLiteral(".json"),
                                             QStringLiteral("ultima-raccolta")};
    QStringList sorted = expected;
    sorted.sort();
    EXPECT_EQ(filesIn(store.folder()), sorted);
    store.remove(second.id);
    EXPECT_TRUE(store.lastUsed().isEmpty());
}

fixture::Row listRow(qint64 sequenza, const char* sub, const char* subName, const char* price)
{
    fixture::Row row;
    row.sequenza = sequenza;
    row.subarticolo_codice = QString::fromUtf8(sub);
    row.subarticolo = QString::fromUtf8(subName);
    row.prezzo_lordo = QString::fromUtf8(price);
    return row;
}

// Chosen on the 2021 edition; in 2022 one price changed, one text changed and one item was withdrawn.
TEST(ExportDocument, showsChangedPricesAndKeepsWithdrawnItemsInPlace)
{
    fixture::Tables old;
    old.rows = {listRow(1, "010", "in terra", "12.5"), listRow(2, "020", "in roccia", "40"),
                listRow(3, "030", "a mano", "55.1")};
    fixture::Tables current;
    current.anno = QStringLiteral("ANNO_PREZZARIO\n2022\n");
    current.rows = {listRow(1, "010", "in terra e sabbia", "12.5"), listRow(2, "030", "a mano", "57.25")};
    const fixture::PriceListFolder oldFolder(old), currentFolder(current);
    const core::PriceList oldList = core::PriceList::open(oldFolder.database());
    const core::PriceList currentList = core::PriceList::open(currentFolder.database());

    core::Collection project;
    project.name = QStringLiteral("Scavi");
    for (const char* code : {"01.A01.A01.030", "01.A01.A01.020", "01.A01.A01.010"}) {
        std::optional<core::ChosenItem> chosen = core::chosenItem(oldList, QString::fromUtf8(code));
        ASSERT_TRUE(chosen);
        chosen->quantita = 2.0;
        project.items << *chosen;
    }
    EXPECT_FALSE(core::chosenItem(oldList, QStringLiteral("01.A01.A01.999")));

    const core::ExportDocument document = core::exportDocument(currentList, project);
    EXPECT_EQ(document.listTitle, QStringLiteral("Prezzario Regione Vallorsa"));
    EXPECT_EQ(document.year, QStringLiteral("2022"));
    EXPECT_EQ(document.collectionName, QStringLiteral("Scavi"));
    ASSERT_EQ(document.items.size(), 3);

    const core::ExportItem& repriced = document.items[0];
    EXPECT_TRUE(repriced.presente);
    EXPECT_EQ(repriced.prezzoLordo, 57.25);
    EXPECT_EQ(repriced.prezzoPrecedente, 55.1);
    EXPECT_EQ(repriced.importo(), 114.5);

    const core::ExportItem& withdrawn = document.items[1];
    EXPECT_EQ(withdrawn.code, QStringLiteral("01.A01.A01.020"));
    EXPECT_FALSE(withdrawn.presente);
    EXPECT_EQ(withdrawn.prezzoLordo, 40.0);
    EXPECT_FALSE(withdrawn.prezzoPrecedente);
    EXPECT_EQ(withdrawn.subarticolo.toString(), QStringLiteral("in roccia"));
    EXPECT_EQ(withdrawn.articolo.toString(), QStringLiteral("Scavo a sezione obbligata"));
    EXPECT_EQ(withdrawn.quantita, 2.0);

    const core::ExportItem& unchanged = document.items[2];
    EXPECT_TRUE(unchanged.presente);
    EXPECT_EQ(unchanged.subarticolo.toString(), QStringLiteral("in terra e sabbia"));
    EXPECT_EQ(unchanged.prezzoLordo, 12.5);
    EXPECT_FALSE(unchanged.prezzoPrecedente);

    const core::ExportDocument results = core::exportDocument(
        currentList, QStringList{QStringLiteral("01.A01.A01.030"), QStringLiteral("01.A01.A01.010")});
    ASSERT_EQ(results.items.size(), 2);
    EXPECT_EQ(results.items[1].code, QStringLiteral("01.A01.A01.010"));
    EXPECT_TRUE(results.collectionName.isEmpty());
    EXPECT_FALSE(results.items[0].quantita);
}

} // namespace

// Items move together, in their order, before the item at the target, as dragging or Alt+Up/Down moves them.
TEST(Collections, itemsMoveTogetherBeforeTheTarget)
{
    const struct
    {
        QList<int> rows;
        int target;
        const char* order; // of the items "a".."e" afterwards
        std::optional<int> at;
    } cases[] = {
        {{1}, 0, "bacde", 0},           {{1}, 3, "acbde", 2},    {{3, 0}, 5, "bcead", 3},
        {{2, 1, 2}, 0, "bcade", 0},     {{0, 4}, 2, "baecd", 1}, {{5}, 0, "abcde", std::nullopt},
        {{}, 0, "abcde", std::nullopt},
    };
    for (const auto& c : cases) {
        core::Collection collection;
        for (const char letter : QByteArray("abcde")) {
            core::ChosenItem item;
            item.code = QString(QLatin1Char(letter));
            collection.items << item;
        }
        EXPECT_EQ(core::moveItems(collection, c.rows, c.target), c.at) << c.order;
        QString order;
        for (const core::ChosenItem& item : collection.items)
            order += item.code;
        EXPECT_EQ(order, QString::fromLatin1(c.order));
    }
}
