// A full or read-only disk under every file the program writes: the file that was there stays as it was,
// nothing is left beside it, the user is told why, and the window that was writing stays usable. The disk is
// a small one of the test program's own (SmallDisk).
#include "core/AppState.h"
#include "app/Application.h"
#include "core/Collections.h"
#include "report/export/ComparisonExport.h"
#include "tests/support/EditionPair.h"
#include "tests/export/ExportFixture.h"
#include "report/export/ItemExport.h"
#include "ui/MessageBox.h"
#include "core/Settings.h"
#include "tests/support/SmallDisk.h"
#include "collection/frmVociScelte.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using testing_support::SmallDisk;

class DiskFailure : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (SmallDisk::path().isEmpty())
            GTEST_SKIP() << "no small disk: " << SmallDisk::why().toStdString();
        ui::MessageBox::clearRecorded();
    }
    void TearDown() override
    {
        SmallDisk::setReadOnly(false);
        SmallDisk::empty();
    }

    static QString folder(const char* name)
    {
        const QString path = SmallDisk::path() + u'/' + QLatin1String(name);
        QDir().mkpath(path);
        return path;
    }
    static void writeOld(const QString& path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precedente");
    }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QStringList files(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

TEST_F(DiskFailure, anExportToAFullDiskKeepsTheFileThatWasThere)
{
    const QString exports = folder("esportazioni");
    const struct
    {
        const char* name;
        report::ExportFormat format;
        bool comparison;
    } cases[] = {
        {"elenco.pdf", report::ExportFormat::Pdf, false},   {"elenco.xlsx", report::ExportFormat::Xlsx, false},
        {"elenco.csv", report::ExportFormat::Csv, false},   {"elenco.xpwe", report::ExportFormat::Xpwe, false},
        {"confronto.csv", report::ExportFormat::Csv, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = exports + u'/' + QLatin1String(c.name);
        writeOld(path);
        SmallDisk::fill();
        try {
            if (c.comparison)
                report::exportComparison({}, QStringLiteral("Confronto"), report::ComparisonHeadings::Italian, path,
                                         c.format);
            else
                report::exportItems(exporttest::sampleDocument(), path, c.format);
            ADD_FAILURE() << "a full disk reported as success";
        } catch (const report::ExportError& error) {
            EXPECT_TRUE(error.text().contains(QStringLiteral("disco pieno"))) << error.text().toStdString();
        }
        SmallDisk::empty();
        EXPECT_EQ(contents(path), QByteArray("precedente"));
        EXPECT_EQ(files(exports), QStringList{QLatin1String(c.name)}) << "a temporary file left behind";
        QFile::remove(path);
    }
}

TEST_F(DiskFailure, aCollectionSavedOnAFullDiskIsReadAsItWasAtTheNextStart)
{
    const QString raccolte = folder("raccolte");
    core::CollectionStore store(raccolte);
    core::Collection project = store.create(QStringLiteral("Scuola"), QStringLiteral("2021"), core::kListTitle);
    core::ChosenItem item;
    item.code = QStringLiteral("01.A01.A01.010");
    item.prezzoLordo = 12.5;
    project.items << item;
    store.save(project);
    store.setLastUsed(project.id);

    SmallDisk::fill();
    project.items << item;
    project.items.back().code = QStringLiteral("01.A01.A01.020");
    EXPECT_THROW(store.save(project), core::Error);
    try {
        store.rename(project, QStringLiteral("Scuola media"));
    } catch (const core::Error& error) {
        EXPECT_TRUE(error.text().contains(QStringLiteral("disco pieno"))) << error.text().toStdString();
    }
    EXPECT_THROW(store.setLastUsed(project.id), core::Error);
    SmallDisk::empty();

    core::CollectionStore again(raccolte);
    const QList<core::Collection> found = again.collections();
    EXPECT_TRUE(again.setAside().isEmpty()) << again.setAside().join(u'\n').toStdString();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].name, QStringLiteral("Scuola"));
    EXPECT_EQ(found[0].items.size(), 1);
    EXPECT_EQ(again.lastUsed(), project.id);
}

TEST_F(DiskFailure, aComparisonWrittenToAFullDiskFailsAndKeepsTheFile)
{
    const fixture::PriceListFolder older(fixture::olderEdition()), newer(fixture::newerEdition());
    const QString out = folder("confronti") + QStringLiteral("/confronto.csv");
    writeOld(out);
    SmallDisk::fill();
    QProcess query;
    query.start(QStringLiteral(PREZZARIO_QUERY_EXE),
                {QStringLiteral("compare"), older.database(), newer.database(), QStringLiteral("--out"), out});
    ASSERT_TRUE(query.waitForFinished(60000));
    SmallDisk::empty();
    EXPECT_EQ(query.exitCode(), 2);
    EXPECT_TRUE(query.readAllStandardError().contains("disco pieno"));
    EXPECT_EQ(contents(out), QByteArray("precedente"));
    EXPECT_EQ(files(QFileInfo(out).path()), QStringList{QStringLiteral("confronto.csv")});
}

TEST_F(DiskFailure, settingsSavedOnAFullDiskKeepWhatWasThere)
{
    QCoreApplication::setOrganizationName(
        QStringLiteral("Prezzario")); // without one, QSettings reports every sync failed
    core::useSafeSettings(folder("impostazioni"));
    QSettings first;
    first.setValue(QStringLiteral("finestra"), QByteArray(300, 'g'));
    first.sync();
    ASSERT_EQ(first.status(), QSettings::NoError);
    SmallDisk::fill();
    QSettings second;
    second.setValue(QStringLiteral("elenchi"), QStringList(200, QStringLiteral("/dati/Prezzario.mdb")));
    second.sync();
    EXPECT_EQ(second.status(), QSettings::AccessError);
    SmallDisk::empty();
    const QSettings third;
    EXPECT_EQ(third.value(QStringLiteral("finestra")).toByteArray(), QByteArray(300, 'g'));
    EXPECT_EQ(files(QFileInfo(third.fileName()).path()), QStringList{QFileInfo(third.fileName()).fileName()});
}

// Qt's own dialogs are modal: answered from a timer once they are up.
void answerNextDialog(const std::function<void(QWidget&)>& answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog)
            answer(*dialog);
        else
            answerNextDialog(answer);
    });
}

TEST_F(DiskFailure, vociScelteOnAReadOnlyDataFolderWarnsAndStaysUsable)
{
    const fixture::PriceListFolder list(fixture::newerEdition());
    core::CollectionStore store = core::CollectionStore::open();
    const core::Collection first = store.create(QStringLiteral("Asilo"), QStringLiteral("2024"), core::kListTitle);
    store.create(QStringLiteral("Biblioteca"), QStringLiteral("2024"), core::kListTitle);
    store.setLastUsed(first.id);

    core::AppState state;
    app::Application prezzario(state);
    ASSERT_TRUE(prezzario.startUp(list.folder()));
    collection::frmVociScelte& window = prezzario.vociScelte();
    window.showFromMenu();
    auto* names = window.findChild<QComboBox*>(QStringLiteral("cmbRaccolta"));
    ASSERT_EQ(names->count(), 2);
    ASSERT_TRUE(SmallDisk::setReadOnly(true));

    const auto warned = [] {
        const QList<ui::MessageBox::Shown> said = ui::MessageBox::recorded();
        ui::MessageBox::clearRecorded();
        return said.size() == 1 && said[0].text.contains(QStringLiteral("sola lettura"));
    };
    // Choosing the other collection shows it; only remembering the choice fails.
    names->setCurrentIndex(1);
    emit names->activated(1);
    EXPECT_TRUE(warned());
    EXPECT_EQ(window.current().name, QStringLiteral("Biblioteca"));

    answerNextDialog([](QWidget& dialog) {
        auto& ask = static_cast<QInputDialog&>(dialog);
        ask.setTextValue(QStringLiteral("Palestra"));
        ask.accept();
    });
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdNuova")), Qt::LeftButton);
    EXPECT_TRUE(warned());
    EXPECT_EQ(names->count(), 2);

    answerNextDialog([](QWidget& dialog) {
        auto& ask = static_cast<QMessageBox&>(dialog);
        for (QAbstractButton* button : ask.buttons()) {
            if (button->text() == QStringLiteral("Elimina"))
                button->click();
        }
    });
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdEliminaRaccolta")), Qt::LeftButton);
    EXPECT_TRUE(warned());
    EXPECT_EQ(names->count(), 2);
    EXPECT_EQ(window.current().name, QStringLiteral("Biblioteca"));

    EXPECT_EQ(window.add(QStringLiteral("01.A01.A01.010")), collection::frmVociScelte::Added::Added);
    EXPECT_TRUE(warned()) << "an item added but not saved is said so";
    EXPECT_TRUE(window.isVisible());
    window.close();
}

} // namespace
