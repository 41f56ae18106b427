#include "core/Jobs.h"

#include "core/Error.h"

#include <algorithm>
#include <new>

namespace core {

void JobControl::progress(double done)
{
    const int percent = int(std::clamp(done, 0.0, 1.0) * 100);
    if (percent == m_shown)
        return;
    m_shown = percent;
    if (m_report)
        m_report(percent);
}

QString jobFailureText(std::exception_ptr error, const QString& outOfMemory)
{
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        return e.text();
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    } catch (const std::exception& e) {
        return QStringLiteral("Errore imprevisto: %1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return QStringLiteral("Errore imprevisto.");
    }
}

Jobs::Jobs(QObject* owner, int threads) : m_owner(owner)
{
    m_pool.setMaxThreadCount(threads);
}

Jobs::~Jobs()
{
    cancelAll();
    m_pool.waitForDone();
}

void Jobs::cancelAll()
{
    for (const std::weak_ptr<Job>& weak : m_jobs) {
        if (const std::shared_ptr<Job> job = weak.lock())
            job->cancel();
    }
}

void Jobs::add(const std::shared_ptr<Job>& job)
{
    ++m_pending;
    m_jobs.erase(
        std::remove_if(m_jobs.begin(), m_jobs.end(), [](const std::weak_ptr<Job>& weak) { return weak.expired(); }),
        m_jobs.end());
    m_jobs.push_back(job);
}

} // namespace core
