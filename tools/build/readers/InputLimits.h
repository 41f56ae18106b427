#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// What prezzario-build accepts of any input, whatever its format: each limit is checked while reading, so that
// no file, however it is made, takes more memory or time than a real list of a million rows. The manual page
// (packaging/prezzario-build.1) lists them; a new input format reads through the same limits.
namespace builder::limits {

// One CSV field, and the text of one spreadsheet cell once its markup is read: characters.
inline constexpr qint64 kMaxFieldText = qint64(1) << 20;
// One CSV record, all its lines together: bytes.
inline constexpr qint64 kMaxRecordBytes = qint64(4) << 20;
// One piece of XML as the reader holds it (a text, a tag with its attributes, a comment, the DOCTYPE), entity
// references expanded: characters. A text of kMaxFieldText characters, every one written as a character
// reference, still fits.
inline constexpr qint64 kMaxXmlPiece = qint64(8) << 20;
// What the entities of one XML part add to it, beyond the references that name them: characters. Real lists
// use none or a few short ones; a file that grows a thousandfold through them is a bomb.
inline constexpr qint64 kMaxEntityExpansion = qint64(16) << 20;
// Elements inside one another in an XML part.
inline constexpr int kMaxXmlDepth = 256;
// A workbook's part, uncompressed (bytes), and an XML file or part as read (characters), and the ratio of a part larger
// than 1 MiB to its compressed size (real sheets compress 5 to 50 times).
inline constexpr qint64 kMaxPartBytes = qint64(2) << 30;
inline constexpr qint64 kRatioCheckedFrom = qint64(1) << 20;
inline constexpr qint64 kMaxCompressionRatio = 100;
// Members of the zip, and sheets a workbook lists.
inline constexpr qint64 kMaxZipMembers = 100'000;
inline constexpr qint64 kMaxSheets = 10'000;
// Columns of a sheet's first row, its header: a table of the price list has 19. Sheets are read a row at a
// time, so rows and repeats cost time, not memory.
inline constexpr qint64 kMaxHeaderColumns = 1024;
// The shared-string table of an .xlsx file: entries.
inline constexpr qint64 kMaxSharedStrings = 4'000'000;
// The texts a reader keeps to give them to later rows, together: the shared strings of an .xlsx file, the
// headings and chapter structure of a SIX or XPWE file. Characters.
inline constexpr qint64 kMaxKeptText = qint64(128) << 20;

// "1 MiB", "2 GiB", "8 MiB": a limit in bytes as a message names it.
QString bytesText(qint64 bytes);
// "8.388.608 caratteri": a limit in characters as a message names it.
QString charactersText(qint64 characters);

} // namespace builder::limits

namespace builder {

// A value as a message shows it: at most 80 characters, then "…"; control characters shown as U+XXXX, so
// that a NUL or an escape sequence cannot cut or garble the message. shownValue() puts it in quotes.
QString cutForMessage(QStringView value);
QString shownValue(QStringView value);
// The first control character of a text (not tab or line break), or -1: such a character in a price list is
// a fault of the file that made it.
qsizetype controlCharacterAt(QStringView text);
// A file name from the command line or the file system as the user reads it: bytes that are not UTF-8 shown
// as \xHH.
QString shownFileName(const QByteArray& name);

} // namespace builder
