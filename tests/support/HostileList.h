#pragma once

#include "tests/support/Fixture.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace ui {
class ReportList;
}

// A price list whose texts hold what a careless or malicious publisher may put in them: quotes, "'--",
// SQL, control characters, a NUL, emoji, right-to-left text, combining accents, 10,000-character texts
// and the dialect's pattern characters. Its codes are the plain ones the builder accepts.
//   01 «Opere d'arte…»   A01 (1)  A01 010 020, A02 010
//                        B02 (2)  A01 010 020
//   02 (Hebrew, emoji)   A01 (3)  A01 010
namespace hostile {

fixture::Tables tables();

// Words the texts hold, each a search the user may type.
QStringList needles();

// Rewrites the codes of a built file as another tool might write them, with quotes in them: chapter A01
// of section 01 becomes "A'1" and article A02 of it "'--"; the rows keep their order and texts.
void quoteCodes(const QString& database);

// The cells a list row must show for its code (row text first), taken from the fixture rows, with the
// codes as `codes` says they are in the file.
QStringList expectedCells(const QString& listName, const QString& code, const fixture::Tables& tables);

// Every row of a list, checked against the fixture: no wrong row and no altered cell.
void expectRowsAsStored(const ui::ReportList* list, const fixture::Tables& tables);

// The fixture's rows with the codes quoteCodes() writes.
fixture::Tables quotedTables();

} // namespace hostile
