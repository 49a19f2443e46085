// The catalogs of both programs, and the lookup of a session's texts.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "lang.h"
#include "queue_texts.h"
#include "tree_texts.h"

namespace {

struct Catalog {
    const char *name;
    const Translation *rows;
    size_t n;
};

const Catalog kCatalogs[] = {
    {"tree", kTreeTexts, kTreeTextCount},
    {"queue", kQueueTexts, kQueueTextCount},
    {"shared", kSharedTexts, kSharedTextCount},
};

// The conversions of a printf format in order ("%d%c", "%%" left out).
std::string Conversions(const char *fmt) {
    std::string out;
    for (const char *p = fmt; (p = strchr(p, '%')); p++) {
        if (p[1] == '%') {
            p++;
            continue;
        }
        size_t n = strcspn(p + 1, "diouxXcsp") + 2;
        out.append(p, n);
        p += n - 1;
    }
    return out;
}

TEST(Catalog, EveryRowTranslatesItsFormatIntoPlainEnglish) {
    for (const Catalog &c : kCatalogs) {
        std::set<std::string> seen;
        for (size_t i = 0; i < c.n; i++) {
            const Translation &t = c.rows[i];
            SCOPED_TRACE(std::string(c.name) + ": " + t.zh);
            EXPECT_TRUE(seen.insert(t.zh).second) << "two rows of one text";
            EXPECT_EQ(Conversions(t.zh), Conversions(t.en));
            for (const char *p = t.en; *p; p++)
                EXPECT_LT((unsigned char)*p, 0x80) << t.en;
            ASSERT_NE(strlen(t.en), 0u);
        }
    }
}

TEST(Catalog, TrGivesTheSessionsLanguage) {
    const Translation rows[] = {{"树%d", "tree %d"}};
    SetLanguage(LANG_ZH, rows, 1);
    EXPECT_STREQ(Tr("树%d"), "树%d");
    SetLanguage(LANG_EN, rows, 1);
    EXPECT_STREQ(Tr("树%d"), "tree %d");
    EXPECT_STREQ(Tr("没有这一行"), "没有这一行"); // no row: as it is
    EXPECT_STREQ(Tr(kSharedTexts[0].zh), kSharedTexts[0].en);
    SetLanguage(LANG_EN, kTreeTexts, kTreeTextCount); // every row is found
    for (size_t i = 0; i < kTreeTextCount; i++)
        EXPECT_EQ(Tr(kTreeTexts[i].zh), kTreeTexts[i].en) << kTreeTexts[i].zh;
    SetLanguage(LANG_ZH, nullptr, 0);
}

TEST(Catalog, LanguageNames) {
    const struct {
        const char *value;
        bool ok;
        Language lang;
    } cases[] = {{"zh", true, LANG_ZH}, {"EN", true, LANG_EN},   {"en", true, LANG_EN},
                 {"e", false, LANG_ZH}, {"eng", false, LANG_ZH}, {"", false, LANG_ZH}};
    for (const auto &c : cases) {
        Language lang = LANG_ZH;
        EXPECT_EQ(ParseLanguage(c.value, &lang), c.ok) << c.value;
        EXPECT_EQ(lang, c.lang) << c.value;
    }
}

} // namespace
