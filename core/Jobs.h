#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace core {

// What a job's work is given: whether it was asked to stop, and where to say how far it has got.
class JobControl
{
public:
    bool stopRequested() const { return m_stop.load(); }
    // For the library's calls that poll a flag of their own.
    const std::atomic<bool>* stopFlag() const { return &m_stop; }
    // How far the work has got, from 0 to 1: handed on to the job's progress handler when the percent changes.
    void progress(double done);
    // For the library's long calls, which take a function told how far they are that says whether to go on.
    std::function<bool(double)> reporter()
    {
        return [this](double done) {
            progress(done);
            return !stopRequested();
        };
    }

private:
    friend class Jobs;
    std::atomic<bool> m_stop{false};
    int m_shown = -1; // read and written by the work's thread only
    std::function<void(int)> m_report;
};

// What a job hands on to its owner's thread. Only the handlers set are called.
template <typename Result> struct JobHandlers
{
    std::function<void(Result)> done;
    std::function<void(const QString& failure)> failed;
    std::function<void(int percent)> progress;
    // What `failed` is told when the work ran out of memory.
    QString outOfMemory = QStringLiteral("Memoria insufficiente.");
};

// The text a user is given for what a job's work threw: an Error's own text, `outOfMemory` for bad_alloc, and
// "Errore imprevisto" for anything else.
QString jobFailureText(std::exception_ptr error, const QString& outOfMemory);

// Background work for one object, its owner (a window): each job runs on a thread of this object's pool, and its
// end is handed to the owner's thread, the result or the text of whatever the work threw, every exception caught.
// A cancelled job's work is asked to stop, and nothing more of it is handed on. Destroying the Jobs cancels
// every job and waits for its work: a member of its owner, declared after what the handlers use.
class Jobs
{
public:
    class Job
    {
    public:
        // Asks the work to stop, and still hands on how it ended (a result it gives for being stopped).
        void requestStop() { m_control.m_stop = true; }
        // Asks the work to stop; from now on nothing of it is handed on.
        void cancel()
        {
            m_cancelled = true;
            m_control.m_stop = true;
        }
        bool cancelled() const { return m_cancelled; }

    private:
        friend class Jobs;
        JobControl m_control;
        bool m_cancelled = false; // the owner's thread
    };

    // `threads` jobs run at once; the others wait their turn.
    explicit Jobs(QObject* owner, int threads = 1);
    ~Jobs();
    Jobs(const Jobs&) = delete;
    Jobs& operator=(const Jobs&) = delete;

    template <typename Result>
    std::shared_ptr<Job> start(std::function<Result(JobControl&)> work, JobHandlers<Result> handlers);
    void cancelAll();
    // Jobs started whose end has not yet reached the owner, the cancelled ones included.
    int pending() const { return m_pending; }

private:
    void add(const std::shared_ptr<Job>& job);

    QObject* m_owner;
    QThreadPool m_pool;
    std::vector<std::weak_ptr<Job>> m_jobs;
    int m_pending = 0;
};

template <typename Result>
std::shared_ptr<Jobs::Job> Jobs::start(std::function<Result(JobControl&)> work, JobHandlers<Result> handlers)
{
    auto job = std::make_shared<Job>();
    QObject* owner = m_owner;
    if (handlers.progress) {
        job->m_control.m_report = [owner, weak = std::weak_ptr<Job>(job), progress = handlers.progress](int percent) {
            QMetaObject::invokeMethod(
                owner,
                [weak, progress, percent] {
                    const std::shared_ptr<Job> job = weak.lock();
                    if (job && !job->cancelled())
                        progress(percent);
                },
                Qt::QueuedConnection);
        };
    }
    add(job);
    m_pool.start([this, owner, job, work = std::move(work), handlers = std::move(handlers)] {
        std::optional<Result> result;
        std::exception_ptr error;
        try {
            result.emplace(work(job->m_control));
        } catch (...) {
            error = std::current_exception();
        }
        QMetaObject::invokeMethod(
            owner,
            [this, job, result = std::move(result), error, handlers]() mutable {
                --m_pending;
                if (job->cancelled())
                    return;
                if (result) {
                    if (handlers.done)
                        handlers.done(std::move(*result));
                } else if (handlers.failed) {
                    handlers.failed(jobFailureText(error, handlers.outOfMemory));
                }
            },
            Qt::QueuedConnection);
    });
    return job;
}

} // namespace core
