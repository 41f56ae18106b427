#include "core/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace core {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// What a file that is not a regular one is, for the message refusing it.
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("è una cartella");
    if (S_ISFIFO(mode))
        return QStringLiteral("è una pipe (FIFO), non un file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("è un dispositivo, non un file");
    if (S_ISSOCK(mode))
        return QStringLiteral("è un socket, non un file");
    return QStringLiteral("non è un file normale");
}

// The temporary file's own device: every write goes straight to the file, so that a full disk is seen at the
// write that meets it, and the first error stays for the commit to report.
class FileDescriptorDevice : public QIODevice
{
public:
    explicit FileDescriptorDevice(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    int error() const { return m_error; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_error != 0)
            return -1;
        qint64 written = 0;
        while (written < size) {
            const ssize_t n = ::write(m_fd, data + written, size_t(size - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : EIO;
                setErrorString(systemReason(m_error));
                return -1;
            }
            written += n;
        }
        return written;
    }

private:
    int m_fd;
    int m_error = 0;
};

// A new file beside 'target', created exclusively under a name of its own.
int createTemporary(const QString& target, QString& name)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = info.dir().filePath(QStringLiteral(".%1.%2~")
                                       .arg(info.fileName())
                                       .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // the rename is kept whatever this says: the file itself is on the disk already
    ::close(fd);
}

// The temporary file until it takes the target's name: removed on every other way out.
struct Temporary
{
    QString name;
    int fd = -1;
    bool kept = false;

    ~Temporary()
    {
        if (fd >= 0)
            ::close(fd);
        if (!kept && !name.isEmpty())
            ::unlink(QFile::encodeName(name).constData());
    }
};

} // namespace

WriteError::WriteError(const QString& path, const QString& reason)
    : Error(QStringLiteral("Impossibile scrivere «%1»: %2.").arg(shown(path), reason)), m_reason(reason)
{
}

QString systemReason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("disco pieno");
    case ENOENT:
        return QStringLiteral("il file o la cartella non esiste");
    case EACCES:
    case EPERM:
        return QStringLiteral("non si hanno i permessi necessari");
    case EISDIR:
        return QStringLiteral("è una cartella");
    case ENOTDIR:
        return QStringLiteral("una parte del percorso non è una cartella");
    case EROFS:
        return QStringLiteral("il disco è in sola lettura");
    case EIO:
        return QStringLiteral("errore di lettura o scrittura del disco");
    case ENOMEM:
        return QStringLiteral("memoria insufficiente");
    case EEXIST:
        return QStringLiteral("il file esiste già");
    case ENAMETOOLONG:
        return QStringLiteral("il nome del file è troppo lungo");
    case ELOOP:
        return QStringLiteral("troppi collegamenti simbolici nel percorso");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("troppi file aperti");
    case EFBIG:
        return QStringLiteral("il file è troppo grande");
    case EXDEV:
        return QStringLiteral("il file temporaneo e il file da creare sono su dischi diversi");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("il file è in uso");
    default:
        return QStringLiteral("errore di sistema %1 (%2)").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

void writeFileSafely(const QString& path, const std::function<void(QIODevice&)>& write, Links links)
{
    QString target = QFileInfo(path).absoluteFilePath();
    // A chain of links is followed to its end; a loop ends as a link, which is refused below.
    for (int hops = 0; links == Links::Follow && hops < 40 && QFileInfo(target).isSymLink(); ++hops)
        target = QFileInfo(target).symLinkTarget();
    const QString folder = QFileInfo(target).absolutePath();
    if (!QFileInfo(folder).isDir())
        throw WriteError(path, QStringLiteral("la cartella «%1» non esiste").arg(shown(folder)));

    struct stat existing = {};
    const QByteArray encoded = QFile::encodeName(target);
    const bool exists = ::lstat(encoded.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode) && !(links == Links::Replace && S_ISLNK(existing.st_mode)))
        throw WriteError(path, kindOf(existing.st_mode));

    Temporary temporary;
    temporary.fd = createTemporary(target, temporary.name);
    if (temporary.fd < 0) {
        const QString reason = systemReason(errno);
        temporary.name.clear();
        throw WriteError(path,
                         QStringLiteral("non si può creare un file nella cartella «%1» (%2)").arg(shown(folder), reason));
    }
    // The user's own permissions on a file written again are kept.
    if (exists && S_ISREG(existing.st_mode))
        ::fchmod(temporary.fd, existing.st_mode & 07777);

    FileDescriptorDevice device(temporary.fd);
    try {
        write(device);
    } catch (...) {
        // A writer that stopped at a refused write says so in its own words; the device knows the cause.
        if (device.error() != 0)
            throw WriteError(path, systemReason(device.error()));
        throw;
    }
    if (device.error() != 0)
        throw WriteError(path, systemReason(device.error()));
    if (::fsync(temporary.fd) != 0)
        throw WriteError(path, systemReason(errno));
    const int fd = std::exchange(temporary.fd, -1);
    if (::close(fd) != 0)
        throw WriteError(path, systemReason(errno));
    if (::rename(QFile::encodeName(temporary.name).constData(), encoded.constData()) != 0)
        throw WriteError(path, systemReason(errno));
    temporary.kept = true;
    syncFolder(folder);
}

QByteArray readUserFile(const QString& path, qint64 maxSize, QString& fault)
{
    fault.clear();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fault = errno == ELOOP ? QStringLiteral("è un collegamento simbolico, che il programma non segue")
                               : systemReason(errno);
        return {};
    }
    QByteArray bytes;
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        fault = systemReason(errno);
    } else if (!S_ISREG(info.st_mode)) {
        fault = kindOf(info.st_mode);
    } else if (info.st_size > maxSize) {
        fault = QStringLiteral("il file è troppo grande");
    } else {
        bytes.resize(qsizetype(info.st_size));
        qsizetype done = 0;
        // A file that grows while it is read is read up to the size it had.
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                fault = systemReason(errno);
                break;
            }
            if (n == 0)
                break;
            done += n;
        }
        bytes.truncate(done);
    }
    ::close(fd);
    if (!fault.isEmpty())
        bytes.clear();
    return bytes;
}

bool sameFile(const QString& a, const QString& b)
{
    return sameFileKey(a) == sameFileKey(b) && QFileInfo::exists(a);
}

QString sameFileKey(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QFileInfo(path).absoluteFilePath();
    return QStringLiteral("%1:%2").arg(qulonglong(info.st_dev)).arg(qulonglong(info.st_ino));
}

} // namespace core
