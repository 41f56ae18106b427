#include "core/FindQuery.h"

#include "core/FindFolding.h"

#include <algorithm>
#include <array>
#include <bitset>

namespace core {

namespace {

// Folding and word characters for every UTF-16 unit, worked out once: the index folds every text of the
// list, and QChar's decomposition makes a string each time it is asked.
struct FoldTable
{
    std::array<char16_t, 65536> folded{};
    std::bitset<65536> word;

    FoldTable()
    {
        for (unsigned u = 0; u < 65536; ++u) {
            QChar c(static_cast<char16_t>(u));
            if (c.isSurrogate()) {
                folded[u] = char16_t(u);
                continue;
            }
            if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_Enclosing) {
                folded[u] = 0;
                continue;
            }
            // "é" is "e" and an accent; "³" and "ｍ" are other forms of "3" and "m".
            for (int depth = 0; depth < 4 && c.decompositionTag() != QChar::NoDecomposition; ++depth) {
                const QString parts = c.decomposition();
                if (parts.isEmpty() || (c.decompositionTag() != QChar::Canonical && parts.size() != 1))
                    break;
                c = parts[0];
            }
            folded[u] = c.toCaseFolded().unicode();
            word[u] = QChar(folded[u]).isLetterOrNumber();
        }
    }
};

const FoldTable& table()
{
    static const FoldTable t;
    return t;
}

bool isWordUnit(char16_t folded)
{
    return folded != 0 && table().word[folded];
}

void appendUtf8(char16_t unit, std::string& out)
{
    if (unit < 0x80) {
        out += char(unit);
    } else if (unit < 0x800) {
        out += char(0xC0 | (unit >> 6));
        out += char(0x80 | (unit & 0x3F));
    } else {
        out += char(0xE0 | (unit >> 12));
        out += char(0x80 | ((unit >> 6) & 0x3F));
        out += char(0x80 | (unit & 0x3F));
    }
}

} // namespace

void appendWords(QStringView text, std::string& out)
{
    const FoldTable& t = table();
    bool inWord = false;
    for (const QChar c : text) {
        const char16_t f = t.folded[c.unicode()];
        if (f == 0)
            continue; // a mark belongs to the letter before it
        if (!t.word[f]) {
            inWord = false;
            continue;
        }
        if (!inWord)
            out += ' ';
        inWord = true;
        appendUtf8(f, out);
    }
}

void appendWords(QByteArrayView utf8, std::string& out)
{
    appendWords(QString::fromUtf8(utf8), out);
}

std::string foldedUtf8(QStringView text)
{
    std::string out;
    for (const QChar c : text) {
        if (const char16_t f = table().folded[c.unicode()])
            appendUtf8(f, out);
    }
    return out;
}

void addOnce(std::vector<std::string>& list, std::string value)
{
    if (!value.empty() && std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(std::move(value));
}

void addWords(std::vector<std::string>& list, QStringView text)
{
    std::string words;
    appendWords(text, words);
    for (size_t at = 0; at < words.size();) {
        const size_t next = std::min(words.find(' ', at + 1), words.size());
        addOnce(list, words.substr(at + 1, next - at - 1));
        at = next;
    }
}

char16_t foldedUnit(char16_t unit)
{
    return table().folded[unit];
}

QString foldText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (const char16_t f = foldedUnit(c.unicode()))
            out += QChar(f);
    }
    return out;
}

FindWords parseFindText(QStringView typed)
{
    FindWords result;
    qsizetype i = 0;
    while (i < typed.size()) {
        while (i < typed.size() && typed[i].isSpace())
            ++i;
        qsizetype end = i;
        while (end < typed.size() && !typed[end].isSpace())
            ++end;
        QStringView token = typed.mid(i, end - i);
        i = end;
        // Punctuation around a token is not part of it: "(23.P01)" is a code, "calcestruzzo," a word.
        while (!token.isEmpty() && !isWordUnit(foldedUnit(token.front().unicode())))
            token = token.sliced(1);
        while (!token.isEmpty() && !isWordUnit(foldedUnit(token.back().unicode())))
            token.chop(1);
        bool code = false;
        for (qsizetype k = 1; k + 1 < token.size() && !code; ++k) {
            code = token[k] == u'.' && isWordUnit(foldedUnit(token[k - 1].unicode())) &&
                   isWordUnit(foldedUnit(token[k + 1].unicode()));
        }
        if (code) {
            addOnce(result.codes, foldedUtf8(token));
            continue;
        }
        addWords(result.words, token);
    }
    return result;
}

// The marker.

FindMarker::FindMarker(const FindWords& words)
{
    for (const std::string& word : words.words)
        m_words << QString::fromUtf8(word);
    for (const std::string& code : words.codes)
        m_codes << QString::fromUtf8(code);
    for (const QStringList* list : {&m_words, &m_codes}) {
        for (const QString& word : *list)
            m_reach = std::max(m_reach, 2 * word.size());
    }
}

QList<TextRange> FindMarker::ranges(QStringView text) const
{
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[i] = QChar(foldedUnit(text[i].unicode()));
    std::vector<std::pair<qsizetype, qsizetype>> found; // start, end

    // Folded units compared, marks passed over; the end of the match, or -1.
    const auto matchAt = [&](qsizetype at, const QString& word) -> qsizetype {
        qsizetype k = 0;
        for (; at < folded.size() && k < word.size(); ++at) {
            if (folded[at].unicode() == 0)
                continue;
            if (folded[at] != word[k])
                return -1;
            ++k;
        }
        return k == word.size() ? at : -1;
    };
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const char16_t before = i > 0 ? folded[i - 1].unicode() : u' ';
        if (!m_codes.isEmpty() && (i == 0 || before == u'.')) {
            for (const QString& code : m_codes) {
                const qsizetype end = matchAt(i, code);
                if (end > 0)
                    found.emplace_back(i, end);
            }
        }
        if (isWordUnit(folded[i].unicode()) && (i == 0 || (!isWordUnit(before) && before != 0))) {
            for (const QString& word : m_words) {
                const qsizetype end = matchAt(i, word);
                if (end > 0)
                    found.emplace_back(i, end);
            }
        }
    }
    std::sort(found.begin(), found.end());
    QList<TextRange> ranges;
    for (const auto& [start, end] : found) {
        if (!ranges.isEmpty() && start <= ranges.back().start + ranges.back().length) {
            TextRange& last = ranges.back();
            last.length = std::max(last.length, end - last.start);
        } else {
            ranges.append({start, end - start});
        }
    }
    return ranges;
}

} // namespace core
