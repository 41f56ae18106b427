#include "core/Dialect.h"
#include "core/Error.h"
#include "tests/support/Fixture.h"
#include "core/Recordset.h"

#include <gtest/gtest.h>

using core::dialect::like;
using core::dialect::mid;
using core::dialect::ucase;

TEST(Dialect, midCountsCharactersFromOne)
{
    EXPECT_EQ(mid("01.A01.B02.010", 1, 6), "01.A01");
    EXPECT_EQ(mid("01.A01.B02.010", 1, 10), "01.A01.B02");
    EXPECT_EQ(mid("01.A01.B02.010", 12), "010");
    EXPECT_EQ(mid("perché è", 5, 3), "hé ");
    EXPECT_EQ(mid("abc", 5, 2), "");
    EXPECT_EQ(mid("abc", 2, 0), "");
    EXPECT_EQ(mid("abc", 2, 99), "bc");
}

TEST(Dialect, ucaseIsFullUnicode)
{
    EXPECT_EQ(ucase("perché è"), "PERCHÉ È");
    EXPECT_EQ(ucase("dell'opera à ù ò ì"), "DELL'OPERA À Ù Ò Ì");
    EXPECT_EQ(ucase("straße"), "STRASSE");
    EXPECT_EQ(ucase("m² e m³ 12,5"), "M² E M³ 12,5");
    EXPECT_EQ(ucase(""), "");
    // Upper forms longer than their lower forms, anywhere in the text.
    EXPECT_EQ(ucase("aßb"), "ASSB");
    EXPECT_EQ(ucase("x\u0250y"), "X\u2C6FY");
    std::string accents;
    std::string upper;
    for (int i = 0; i < 1000; ++i) {
        accents += "èß";
        upper += "ÈSS";
    }
    EXPECT_EQ(ucase(accents), upper);
    EXPECT_TRUE(like("*\u2C6F*", "x\u0250y"));
    // Plain ASCII goes eight bytes at a time: every byte value on either side of the letters, in every
    // position of a word, and a word cut by an accent.
    std::string ascii;
    std::string asciiUpper;
    for (int c = 1; c < 128; ++c) {
        ascii += static_cast<char>(c);
        asciiUpper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    for (size_t shift = 0; shift < 8; ++shift)
        EXPECT_EQ(ucase(ascii.substr(shift) + "è" + ascii), asciiUpper.substr(shift) + "È" + asciiUpper) << shift;
}

TEST(Dialect, likeWildcards)
{
    EXPECT_TRUE(like("*CALCE*", "malta di calce idraulica"));
    EXPECT_TRUE(like("*", ""));
    EXPECT_TRUE(like("CALCE*", "calce idraulica"));
    EXPECT_FALSE(like("CALCE*", "malta di calce"));
    EXPECT_TRUE(like("*CALCE", "malta di calce"));
    EXPECT_FALSE(like("*CALCE", "calce idraulica"));
    EXPECT_TRUE(like("C?LCE", "calce"));
    EXPECT_TRUE(like("C?LCE", "cèlce"));
    EXPECT_FALSE(like("C?LCE", "clce"));
    EXPECT_TRUE(like("*C##*", "classe C25/30"));
    EXPECT_FALSE(like("*C##*", "classe Cx5/30"));
    // # is any of the ten digits, and not the characters either side of them.
    for (const char digit : std::string_view("0123456789"))
        EXPECT_TRUE(like("#", std::string(1, digit))) << digit;
    EXPECT_FALSE(like("#", "/"));
    EXPECT_FALSE(like("#", ":"));
    EXPECT_TRUE(like("*A*B*C*", "xaxxbxxcx"));
    EXPECT_FALSE(like("*A*B*C*", "xaxxcxxbx"));
    EXPECT_TRUE(like("*AB*AB", "abab"));
    EXPECT_TRUE(like("A*A", "aaa"));
    EXPECT_FALSE(like("A*A", "a"));
    EXPECT_TRUE(like("", ""));
    EXPECT_FALSE(like("", "a"));
}

TEST(Dialect, likeCharacterClasses)
{
    EXPECT_TRUE(like("[abc]01", "B01"));
    EXPECT_FALSE(like("[abc]01", "D01"));
    EXPECT_TRUE(like("[A-C]##", "b25"));
    EXPECT_FALSE(like("[A-C]##", "d25"));
    EXPECT_TRUE(like("[!A-C]##", "d25"));
    EXPECT_FALSE(like("[!A-C]##", "a25"));
    EXPECT_TRUE(like("*[*]*", "prezzo * quantità"));
    EXPECT_TRUE(like("*[?]*", "perché?"));
    EXPECT_TRUE(like("*[#]*", "n# 3"));
    EXPECT_TRUE(like("[è]", "È"));
    EXPECT_TRUE(like("[-a]", "-"));
}

TEST(Dialect, malformedPatternsMatchLiterally)
{
    // An unclosed class cannot be a class: the "[" is searched for as text.
    EXPECT_TRUE(like("*[*", "voce [vedi nota"));
    EXPECT_FALSE(like("*[*", "voce senza parentesi"));
    EXPECT_TRUE(like("*A[B*", "xa[bx"));
    EXPECT_FALSE(like("*A[B*", "xab"));
    EXPECT_TRUE(like("*[]*", "segno []"));
    EXPECT_TRUE(like("*50%*", "sconto del 50%"));
    EXPECT_FALSE(like("*50%*", "sconto del 50"));
    EXPECT_TRUE(like("*100_*", "100_"));
    EXPECT_FALSE(like("*100_*", "1000"));
}

TEST(Dialect, bytesThatAreNotUtf8StandForThemselves)
{
    struct Case
    {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"\xC0\xAA", "anything", false}, // an overlong "*" is no wildcard
        {"\xC0\xAA", "\xC0\xAA", true},
        {"*\xC0\xAF*", "a/b", false},         // nor an overlong "/" a slash
        {"\xC3", "\xC3\x83", false},          // a cut sequence is not the character it starts
        {"\xE2\x82*", "\xE2\x82\xAC", false}, // nor the head of a longer one
        {"*\x82*", "\xE2\x82\xAC", false},    // a stray continuation byte is not its middle
        {"*\x82*",
         "a\x82"
         "b",
         true},
        {"\xED\xA0\x80", "\xED\xA0\x80", true}, // a surrogate is three bytes, each itself
        {"???", "\xED\xA0\x80", true},
        {"?", "\xF4\x90\x80\x80", false},   // past U+10FFFF: four bytes, not one character
        {"[\xC3-\xC4]", "\xC3\xA9", false}, // no range between bytes that are not characters
        {"[\xFF]", "\xFF", true},
        {"\xFF"
         "A",
         "\xFF"
         "a",
         true}, // the letters around them still fold
    };
    for (const Case& c : cases)
        EXPECT_EQ(like(c.pattern, c.text), c.matches) << c.pattern << " / " << c.text;
    EXPECT_EQ(ucase("a\xFF\xC0\xAA"
                    "b"),
              "A\xFF\xC0\xAA"
              "B");
    EXPECT_EQ(mid("\xED\xA0\x80"
                  "é",
                  2, 3),
              "\xA0\x80"
              "é");
}

TEST(Dialect, likeIgnoresLetterCaseAndKeepsAccents)
{
    EXPECT_TRUE(like("*PERCHÉ*", "ecco perché"));
    EXPECT_TRUE(like("*perché*", "ECCO PERCHÉ"));
    EXPECT_FALSE(like("*PERCHE*", "ecco perché"));
    EXPECT_TRUE(like("*DELL'OPERA*", "a regola d'arte dell'opera finita"));
}

TEST(Dialect, sqlTextRunsOnTheEncryptedFile)
{
    fixture::Row plain;
    fixture::Row accented;
    accented.sequenza = 2;
    accented.subarticolo_codice = QStringLiteral("020");
    accented.subarticolo = QStringLiteral("perché è dell'opera [vedi nota]");
    fixture::Row nullPrice;
    nullPrice.sequenza = 3;
    nullPrice.subarticolo_codice = QStringLiteral("030");
    nullPrice.subarticolo = QStringLiteral("Compenso a corpo");
    nullPrice.prezzo_lordo.reset();
    const fixture::PriceListFolder folder({{plain, accented, nullPrice}});
    const core::Database db = folder.open();

    auto codes = [&db](const QString& sql) {
        QStringList found;
        for (core::Recordset rs = db.OpenRecordset(sql); !rs.Eof(); rs.MoveNext())
            found << rs.Fields(0).Text();
        return found;
    };

    EXPECT_EQ(codes(QStringLiteral("select codice_totale from prezzario where ucase(subarticolo) like '*PERCHÉ È*'")),
              QStringList{QStringLiteral("01.A01.A01.020")});
    EXPECT_EQ(
        codes(QStringLiteral("select codice_totale from prezzario where ucase(subarticolo) like '*DELL''OPERA*'")),
        QStringList{QStringLiteral("01.A01.A01.020")});
    // The pattern is folded too: lower case and accents in it still find the upper-cased text.
    EXPECT_EQ(codes(QStringLiteral("select codice_totale from prezzario where ucase(subarticolo) like '*perché È*'")),
              QStringList{QStringLiteral("01.A01.A01.020")});
    EXPECT_EQ(
        codes(QStringLiteral("select codice_totale from prezzario where ucase(subarticolo) like 'compenso A corpo'")),
        QStringList{QStringLiteral("01.A01.A01.030")});
    EXPECT_EQ(codes(QStringLiteral("select codice_totale from prezzario where subarticolo like '*COMPENSO*'")),
              QStringList{QStringLiteral("01.A01.A01.030")});
    EXPECT_EQ(codes(QStringLiteral("select codice_totale from prezzario where ucase(subarticolo) like '*[*'")),
              QStringList{QStringLiteral("01.A01.A01.020")});
    EXPECT_EQ(codes(QStringLiteral(
                  "select codice_totale from prezzario where ucase(subarticolo) like '*' order by sequenza")),
              (QStringList{QStringLiteral("01.A01.A01.010"), QStringLiteral("01.A01.A01.020"),
                           QStringLiteral("01.A01.A01.030")}));
    EXPECT_EQ(
        codes(QStringLiteral("select mid(codice_totale,1,10) from prezzario where mid(codice_totale,1,6) ='01.A01' "
                             "group by mid(codice_totale,1,10)")),
        QStringList{QStringLiteral("01.A01.A01")});
    // Null never matches and is never upper-cased into text.
    EXPECT_EQ(codes(QStringLiteral("select codice_totale from prezzario where prezzo_lordo like '*'")).size(), 2);
    // Checked as Null: a Null read as text is QString(), which Qt holds equal to "".
    const core::Recordset upperNull = db.OpenRecordset(
        QStringLiteral("select ucase(prezzo_lordo), ucase(null) is null from prezzario where sequenza = 3"));
    EXPECT_TRUE(upperNull.Fields(0).IsNull());
    EXPECT_EQ(upperNull.Fields(1).Value().toInt(), 1);
    EXPECT_THROW(codes(QStringLiteral("select mid(codice_totale,0,2) from prezzario")), core::DbError);
}

TEST(Dialect, expressionIndexesServeTheCodeLookups)
{
    fixture::Tables tables;
    for (int i = 0; i < 300; ++i) {
        fixture::Row row;
        row.sequenza = i + 1;
        row.capitolo_codice = QStringLiteral("A%1").arg(i / 30, 2, 10, QLatin1Char('0'));
        row.articolo_codice = QStringLiteral("B%1").arg(i / 3 % 10, 2, 10, QLatin1Char('0'));
        row.subarticolo_codice = QStringLiteral("%1").arg(i % 3 * 10, 3, 10, QLatin1Char('0'));
        tables.rows << row;
    }
    const fixture::PriceListFolder folder(tables);
    const core::Database db = folder.open();
    auto plan = [&db](const QString& sql) {
        QString text;
        for (core::Recordset rs = db.OpenRecordset(QStringLiteral("explain query plan ") + sql); !rs.Eof();
             rs.MoveNext())
            text += rs.Fields(3).Text() + u'\n';
        return text;
    };
    EXPECT_TRUE(plan(QStringLiteral("select codice_articolo,articolo,note_capitolo from prezzario where "
                                    "mid(codice_totale,1,6) ='01.A01'"))
                    .contains(QStringLiteral("INDEX")));
    EXPECT_TRUE(plan(QStringLiteral("select codice_totale,subarticolo from prezzario where mid(codice_totale,1,10) "
                                    "='01.A01.A01'"))
                    .contains(QStringLiteral("INDEX")));
}
