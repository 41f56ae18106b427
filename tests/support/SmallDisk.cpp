#include "tests/support/SmallDisk.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace testing_support {

namespace {

QString g_path;
QString g_why = QStringLiteral("PREZZARIO_TEST_SMALL_DISK is not set");
QByteArray g_options;

bool writeFile(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return written;
}

QString failed(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

void unmount()
{
    const QByteArray path = QFile::encodeName(g_path);
    ::umount2(path.constData(), MNT_DETACH);
    ::rmdir(path.constData());
}

QByteArray fillerPath()
{
    return QFile::encodeName(g_path + QStringLiteral("/.riempitivo"));
}

} // namespace

void SmallDisk::mountIfAsked()
{
    const QByteArray size = qgetenv("PREZZARIO_TEST_SMALL_DISK");
    if (size.isEmpty())
        return;
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const bool root = ::geteuid() == 0;
    if (::unshare(CLONE_NEWNS | (root ? 0 : CLONE_NEWUSER)) != 0) {
        g_why = failed("unshare");
        return;
    }
    if (!root && !(writeFile("/proc/self/setgroups", "deny") &&
                   writeFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1") &&
                   writeFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1"))) {
        g_why = failed("user namespace maps");
        return;
    }
    // Nothing mounted here reaches the rest of the system.
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        g_why = failed("private mounts");
        return;
    }
    QByteArray folder = QFile::encodeName(QStringLiteral("/tmp/prezzario-disk-XXXXXX"));
    if (!::mkdtemp(folder.data())) {
        g_why = failed("mkdtemp");
        return;
    }
    g_options = "size=" + size + "k,mode=0755";
    if (::mount("tmpfs", folder.constData(), "tmpfs", 0, g_options.constData()) != 0) {
        g_why = failed("mount");
        ::rmdir(folder.constData());
        return;
    }
    g_path = QFile::decodeName(folder);
    g_why.clear();
    std::atexit(unmount);
}

QString SmallDisk::path()
{
    return g_path;
}

QString SmallDisk::why()
{
    return g_why;
}

void SmallDisk::fill()
{
    const int fd = ::open(fillerPath().constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    // The last page's room, a byte at a time.
    while (::write(fd, "x", 1) > 0) {
    }
    ::close(fd);
}

void SmallDisk::empty()
{
    ::unlink(fillerPath().constData());
}

bool SmallDisk::setReadOnly(bool readOnly)
{
    const QByteArray path = QFile::encodeName(g_path);
    return ::mount("tmpfs", path.constData(), "tmpfs", MS_REMOUNT | (readOnly ? MS_RDONLY : 0),
                   g_options.constData()) == 0;
}

} // namespace testing_support
