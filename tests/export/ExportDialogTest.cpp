#include "tests/export/ExportFixture.h"

#include "report/export/ItemExport.h"
#include "ui/Exporter.h"
#include "ui/MessageBox.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Answers the save dialog, once it shows, with 'name' and the file type 'filter'.
void answerSaveDialog(const QString& path, const QString& filter)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectNameFilter(filter);
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does
    });
}

const ui::ExportChoice choice{QStringLiteral("Elenco"),
                              {{QStringLiteral("Elenco prezzi unitari (*.pdf)"), core::ExportFormat::Pdf},
                               {QStringLiteral("CSV (*.csv)"), core::ExportFormat::Csv}},
                              QStringLiteral("«%1»: usare .pdf o .csv.")};

struct Answer
{
    const char* typed;
    const char* filter;
    const char* written; // empty: nothing written
    const char* message; // the warning shown, %1 the file typed
};

TEST(ExportDialog, WritesInTheBackgroundTheFileTheNameAndTypeAskFor)
{
    ui::MessageBox::setRecording(true);
    const Answer answers[] = {
        {"elenco", "Elenco prezzi unitari (*.pdf)", "elenco.pdf", ""},
        {"elenco", "CSV (*.csv)", "elenco.csv", ""},
        {"elenco.CSV", "Elenco prezzi unitari (*.pdf)", "elenco.CSV", ""},
        {"elenco.txt", "CSV (*.csv)", "", "«%1»: usare .pdf o .csv."},
        {"cartella/elenco.csv", "CSV (*.csv)", "", "cartella"}, // no such folder: the writer's reason
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.typed);
        QTemporaryDir dir;
        QMainWindow window;
        auto* exporter = new ui::Exporter(&window);
        ui::MessageBox::clearRecorded();
        const QString typed = dir.filePath(QString::fromUtf8(answer.typed));
        answerSaveDialog(typed, QString::fromUtf8(answer.filter));
        exporter->exportWithDialog(choice, [](const QString& path, const ui::ExportChoice::FileType& type) {
            report::exportItems(exporttest::sampleDocument(), path, type.format);
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return !exporter->busy(); }, 30000));
        const QString written = QString::fromUtf8(answer.written);
        if (written.isEmpty()) {
            ASSERT_EQ(ui::MessageBox::recorded().size(), 1);
            EXPECT_TRUE(ui::MessageBox::recorded()[0].text.contains(
                QString::fromUtf8(answer.message).replace(QLatin1String("%1"), QDir::toNativeSeparators(typed))))
                << ui::MessageBox::recorded()[0].text.toStdString();
            EXPECT_TRUE(QDir(dir.path()).isEmpty());
            continue;
        }
        EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
        EXPECT_EQ(window.statusBar()->currentMessage(),
                  QStringLiteral("Esportato in «%1».").arg(QDir::toNativeSeparators(dir.filePath(written))));
        // The PDF is laid out on the export's own thread: its text must still be whole.
        if (written.endsWith(QLatin1String(".pdf")) && !exporttest::pdfPages(dir.filePath(written)).isEmpty())
            EXPECT_TRUE(exporttest::pdfPages(dir.filePath(written)).join(QString()).contains(
                QStringLiteral("milleduecentotrentaquattro")));
        else
            EXPECT_GT(QFileInfo(dir.filePath(written)).size(), 0);
    }
    ui::MessageBox::setRecording(false);
}

} // namespace
