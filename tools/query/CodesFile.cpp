#include "tools/query/CodesFile.h"

#include "core/Collections.h"
#include "core/Find.h"
#include "core/Numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace query {

namespace {

// Far above any project; a larger file is refused before it is read into memory.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
constexpr int kShownProblems = 100;

// A value in a message, cut so that a wrong file cannot flood the terminal.
QString shown(QStringView value)
{
    return value.size() > 80 ? value.left(80).toString() + QStringLiteral("…") : value.toString();
}

} // namespace

CodesFile readCodes(QStringView text)
{
    CodesFile result;
    int number = 0;
    for (QStringView line : text.split(u'\n')) {
        ++number;
        if (line.endsWith(u'\r'))
            line.chop(1);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        qsizetype cut = -1;
        for (qsizetype i = 0; i < line.size() && cut < 0; ++i) {
            if (line[i] == u'\t' || line[i] == u';')
                cut = i;
        }
        CodesLine read;
        read.line = number;
        read.code = (cut < 0 ? line : line.left(cut)).trimmed().toString().toUpper();
        if (read.code.isEmpty()) {
            read.problem = QStringLiteral("riga %1: manca il codice prima della quantità.").arg(number);
        } else if (cut >= 0) {
            const QStringView quantity = line.mid(cut + 1).trimmed();
            if (!core::parseTypedNumber(quantity, read.quantity))
                read.problem = QStringLiteral("riga %1: la quantità «%2» non è un numero: %3.")
                                   .arg(number)
                                   .arg(shown(quantity), core::kTypedNumberHint);
        }
        result.lines << read;
    }
    return result;
}

CodesFile readCodesFile(const QString& path)
{
    CodesFile result;
    const QString name = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile()) {
        result.problem = QStringLiteral("«%1» non è un file leggibile.").arg(name);
    } else if (info.size() > kMaxFileSize) {
        result.problem = QStringLiteral("«%1» è troppo grande per un elenco di codici.").arg(name);
    } else if (!file.open(QIODevice::ReadOnly)) {
        result.problem = QStringLiteral("impossibile leggere «%1»: %2.").arg(name, file.errorString());
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(file.readAll());
        if (decoder.hasError())
            result.problem = QStringLiteral("«%1» non è testo UTF-8.").arg(name);
        else
            return readCodes(text);
    }
    return result;
}

core::Collection collectCodes(const core::PriceList& list, const CodesFile& codes, QStringList& problems)
{
    core::Collection collection;
    if (!codes.problem.isEmpty())
        problems << codes.problem;
    QHash<QString, int> seen;
    for (const CodesLine& line : codes.lines) {
        // A repeated code is told even when its first line is wrong, so that one round of corrections is enough.
        const int first = seen.value(line.code, 0);
        if (first == 0 && !line.code.isEmpty())
            seen.insert(line.code, line.line);
        if (!line.problem.isEmpty()) {
            problems << line.problem;
            continue;
        }
        if (first != 0) {
            problems << QStringLiteral("riga %1: il codice %2 è già alla riga %3.")
                            .arg(line.line)
                            .arg(shown(line.code))
                            .arg(first);
            continue;
        }
        std::optional<core::ChosenItem> item = core::chosenItem(list, line.code);
        if (!item) {
            problems
                << QStringLiteral("riga %1: il codice %2 non è nel prezzario.").arg(line.line).arg(shown(line.code));
            continue;
        }
        item->quantita = line.quantity;
        collection.items << *item;
    }
    return collection;
}

QStringList shownProblems(const QStringList& problems)
{
    QStringList result = problems.mid(0, kShownProblems);
    if (problems.size() > kShownProblems)
        result << QStringLiteral("e altri %1 errori.").arg(problems.size() - kShownProblems);
    return result;
}

} // namespace query
