#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <sys/mman.h>
#include <unistd.h>

// An in-memory file the readers open by path, as they open the files of a price list.
class MemoryFile
{
public:
    explicit MemoryFile(const char* name) : m_fd(memfd_create(name, 0))
    {
        if (m_fd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        m_path = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
    }

    const QString& write(std::string_view bytes)
    {
        if (ftruncate(m_fd, 0) != 0 || pwrite(m_fd, bytes.data(), bytes.size(), 0) != ssize_t(bytes.size())) {
            std::perror("memfd");
            std::abort();
        }
        return m_path;
    }

private:
    int m_fd;
    QString m_path;
};
