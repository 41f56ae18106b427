// Background work as the windows run it: its end reaches the owner's thread once, whatever the work throws, and
// a cancelled job hands nothing on.
#include "core/Error.h"
#include "core/Jobs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Ending
{
    std::optional<int> result;
    QString failure;
    QList<int> percents;
    QThread* thread = nullptr;
};

// Runs `work` as a job of `owner` and waits, in an event loop, for its end.
Ending run(std::function<int(core::JobControl&)> work, bool cancel = false)
{
    QObject owner;
    Ending ending;
    bool ended = false;
    {
        core::Jobs jobs(&owner);
        core::JobHandlers<int> handlers;
        handlers.done = [&](int value) {
            ending.result = value;
            ending.thread = QThread::currentThread();
            ended = true;
        };
        handlers.failed = [&](const QString& text) {
            ending.failure = text;
            ended = true;
        };
        handlers.progress = [&](int percent) { ending.percents << percent; };
        handlers.outOfMemory = QStringLiteral("memoria");
        const auto job = jobs.start<int>(std::move(work), std::move(handlers));
        if (cancel)
            job->cancel();
        QElapsedTimer waited;
        waited.start();
        while (!ended && waited.elapsed() < (cancel ? 300 : 10'000))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (!cancel) {
            EXPECT_EQ(jobs.pending(), 0);
        }
    }
    QCoreApplication::processEvents();
    return ending;
}

} // namespace

TEST(Jobs, theEndReachesTheOwnersThreadWithTheResultOrTheTextOfWhatWasThrown)
{
    const Ending done = run([](core::JobControl& control) {
        for (const double share : {0.0, 0.004, 0.5, 1.0})
            control.progress(share);
        return 42;
    });
    EXPECT_EQ(done.result, 42);
    EXPECT_EQ(done.thread, QThread::currentThread());
    EXPECT_EQ(done.percents, (QList<int>{0, 50, 100})) << "a percent is handed on once";

    const struct
    {
        std::function<int(core::JobControl&)> work;
        const char* failure;
    } failures[] = {
        {[](core::JobControl&) -> int { throw core::Error(QStringLiteral("file illeggibile")); }, "file illeggibile"},
        {[](core::JobControl&) -> int { throw std::bad_alloc(); }, "memoria"},
        {[](core::JobControl&) -> int { throw std::out_of_range("indice"); }, "Errore imprevisto: indice"},
        {[](core::JobControl&) -> int { throw 7; }, "Errore imprevisto."},
    };
    for (const auto& f : failures) {
        const Ending ending = run(f.work);
        EXPECT_FALSE(ending.result);
        EXPECT_EQ(ending.failure, QString::fromUtf8(f.failure));
    }
}

TEST(Jobs, aCancelledJobIsAskedToStopAndHandsNothingOn)
{
    const Ending ending = run(
        [](core::JobControl& control) {
            while (!control.stopRequested())
                QThread::msleep(1);
            return 1;
        },
        true);
    EXPECT_FALSE(ending.result);
    EXPECT_TRUE(ending.failure.isEmpty());
}
