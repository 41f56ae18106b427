#pragma once

#include "core/Error.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

// The one way the program writes a file (exports, collections, the comparison's --out, settings) and reads a
// user's data file: a full disk, a read-only folder, a pipe or a device where a file is expected, or a link
// planted in the user's data folder never cost the user a file or hang the program.
namespace core {

// A file could not be written. reason() says why in a few Italian words ("disco pieno", "permesso negato");
// text() names the file too.
class WriteError : public Error
{
public:
    WriteError(const QString& path, const QString& reason);
    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};

enum class Links {
    Follow,  // a link chosen by the user as a target: the file it leads to is replaced
    Replace, // a user data file: a link there is replaced by the new file, never written through
};

// Writes 'path' whole or not at all. A target that exists and is not a regular file (a folder, a pipe, a
// device) is refused before anything is written. 'write' fills a new temporary file beside the target,
// which is then flushed and checked, synced to disk and renamed over the target, keeping the target's
// permissions. On any failure — a write the device refused, an exception from 'write', the sync or the
// rename — the temporary file is removed, the file at 'path' stays as it was, and WriteError says why. An
// exception thrown by 'write' other than WriteError is passed on after the clean-up.
void writeFileSafely(const QString& path, const std::function<void(QIODevice&)>& write, Links links = Links::Follow);

// Reads a user's data file whole, without following a symbolic link and without waiting on a pipe: only a
// regular file of at most maxSize bytes is read. On failure 'fault' says why, in Italian, and the bytes
// are empty.
QByteArray readUserFile(const QString& path, qint64 maxSize, QString& fault);

// Whether two paths name one existing file: links, hard links and other spellings of one path included.
bool sameFile(const QString& a, const QString& b);
// A key equal for every name of one file, as sameFile tells them (its device and inode); a file that cannot be
// reached is keyed by its absolute path.
QString sameFileKey(const QString& path);

// What a system error number means for the user, in a few Italian words ("disco pieno").
QString systemReason(int error);

} // namespace core
