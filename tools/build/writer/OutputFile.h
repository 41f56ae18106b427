#pragma once

#include <QString>
#include <QStringList>

namespace builder {

// Refuses, before anything is read, an output that would destroy a file: one of the `inputs` itself (by
// name, link or hard link), a file of the input folder under an input's name, or something that exists and
// is not a regular file (a folder, a device, a pipe). Throws BuildError saying which and why.
void checkOutput(const QString& outPath, const QStringList& inputs);

// From now on SIGINT, SIGTERM and SIGHUP remove the temporary file being written before the process ends.
void removeTemporaryFileOnSignals();

// The file a build writes before it takes its final name: a new file of a unique name beside outPath, created
// exclusively, so that two builds to one target never share it and a link planted under its name is never
// followed. commit() makes it durable and moves it over outPath in one step; otherwise it is removed, on a
// failure, on destruction, and (see removeTemporaryFileOnSignals) on a signal.
class TemporaryOutput
{
public:
    explicit TemporaryOutput(const QString& outPath);
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    const QString& path() const { return m_path; }
    // Throws BuildError; the temporary file is gone afterwards either way.
    void commit();
    void discard();

private:
    QString m_outPath;
    QString m_path;
    int m_fd = -1;
};

} // namespace builder
