#include "tools/build/writer/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "tools/build/readers/BuildError.h"
#include "core/SafeFiles.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace builder {

namespace {

// The temporary file a signal must remove: a fixed buffer, since a handler may not allocate.
char s_pending[PATH_MAX + 1];
volatile sig_atomic_t s_armed = 0;

void removePendingAndDie(int signal)
{
    if (s_armed)
        ::unlink(s_pending);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Signals are held while the name changes, so that a handler never reads half of it.
class SignalsHeld
{
public:
    SignalsHeld()
    {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&set, signal);
        sigprocmask(SIG_BLOCK, &set, &m_previous);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t m_previous;
};

void arm(const QByteArray& path)
{
    const SignalsHeld held;
    if (size_t(path.size()) >= sizeof s_pending)
        return;
    std::memcpy(s_pending, path.constData(), size_t(path.size()) + 1);
    s_armed = 1;
}

void disarm()
{
    const SignalsHeld held;
    s_armed = 0;
}

QString kindOf(const QFileInfo& info)
{
    if (info.isDir())
        return QStringLiteral("è una cartella");
    return QStringLiteral("è un dispositivo, una pipe o un socket");
}

[[noreturn]] void refuse(const QString& outPath, const QString& why)
{
    throw BuildError(QStringLiteral("--out «%1»: %2. Nessun file è stato scritto.").arg(outPath, why));
}

} // namespace

void checkOutput(const QString& outPath, const QStringList& inputs)
{
    const QFileInfo out(outPath);
    if (out.exists() && !out.isFile())
        refuse(outPath, kindOf(out) + QStringLiteral(", non un file da sostituire con il database"));
    const QString outDir = out.absoluteDir().canonicalPath();
    for (const QString& input : inputs) {
        const QFileInfo in(input);
        const bool same =
            core::sameFile(input, outPath) ||
            (!outDir.isEmpty() && outDir == in.absoluteDir().canonicalPath() && out.fileName() == in.fileName());
        if (same)
            refuse(outPath, QStringLiteral("è «%1», un file che questa costruzione legge: il database lo "
                                           "sostituirebbe. Scrivere il database in un altro file")
                                .arg(input));
    }
}

void removeTemporaryFileOnSignals()
{
    struct sigaction action = {};
    action.sa_handler = removePendingAndDie;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous = {};
        // A signal the caller chose to ignore (nohup) stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }
}

TemporaryOutput::TemporaryOutput(const QString& outPath) : m_outPath(outPath)
{
    QByteArray name = QFile::encodeName(outPath) + ".XXXXXX.part";
    {
        // A signal between the file's creation and its arming would leave the file behind.
        const SignalsHeld held;
        m_fd = ::mkostemps(name.data(), 5, O_CLOEXEC);
        if (m_fd >= 0)
            arm(name);
    }
    if (m_fd < 0)
        throw BuildError(QStringLiteral("Impossibile creare un file temporaneo accanto a «%1»: %2")
                             .arg(outPath, core::systemReason(errno)));
    m_path = QFile::decodeName(name);
    // mkstemp makes the file private; the list is made to be read, as any new file of the user.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(m_fd, 0666 & ~mask);
}

TemporaryOutput::~TemporaryOutput()
{
    discard();
}

void TemporaryOutput::discard()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    ::unlink(QFile::encodeName(m_path).constData());
    disarm();
}

void TemporaryOutput::commit()
{
    const auto fail = [&](const QString& what) {
        const int code = errno;
        discard();
        throw BuildError(what + core::systemReason(code));
    };
    // The file was written without syncing; it must be durable before it takes the final name.
    if (::fsync(m_fd) != 0)
        fail(QStringLiteral("Impossibile scrivere «%1»: ").arg(m_path));
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_outPath).constData()) != 0)
        fail(QStringLiteral("Impossibile creare «%1»: ").arg(m_outPath));
    disarm();
    ::close(m_fd);
    m_fd = -1;
    // The new name itself is made durable with the folder that holds it.
    const int folder =
        ::open(QFile::encodeName(QFileInfo(m_outPath).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace builder
