#include "lookup/HeadwordKey.h"
#include "lookup/HeadwordLookup.h"
#include "lookup/Inflection.h"
#include "textmodel/TextLines.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

namespace {

using Kind = HeadwordLookupResult::Kind;

// A headword index as the load makes it: a row per line, damaged rows included.
const std::vector<std::string> kIndex = {
    "bacillus", "diagnose", "diagnosis", "  Pneumonia ", "pleura", "lymph node", "hemorrhage", "edema",
    "diagnosis", "", "tumor", "center", "\x90\x53\x91\x9f", "Alzheimer's disease", "injury", "jury",
    "lymph", "bacterium", "X-ray", "half-life", "vena cava"};

HeadwordCatalog CatalogOf(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) text += row + "\r\n";
    TextLines lines;
    lines.SetWholeText(text);
    return HeadwordCatalog::Build(lines);
}

std::string KeyOfLine(std::int64_t line) { return LookupKey(kIndex.at(static_cast<std::size_t>(line))); }

TEST(HeadwordKey, FoldsCaseAndBlanksButNoDoubleByteCharacter) {
    EXPECT_EQ(LookupKey("  Lymph NODE\t\r\n"), "lymph node");
    EXPECT_EQ(LookupKey("lymph  node"), "lymph  node");  // the blanks inside are the headword's
    EXPECT_EQ(LookupKey("\x81\x40X-Ray\x81\x40"), "x-ray");  // ideographic spaces around it
    // 0x83 0x41 is ア: its second byte is no capital A.
    EXPECT_EQ(LookupKey("\x83\x41Z"), "\x83\x41z");
    const struct {
        const char* british;
        const char* folded;
    } spellings[] = {{"haemorrhage", "hemorrhage"}, {"oedema", "edema"},   {"anaemia", "anemia"},
                     {"tumour", "tumor"},           {"centre", "center"},  {"labour pains", "labor pains"},
                     {"hour", "hour"},              {"acre", "acre"},      {"haemophilia", "hemophilia"},
                     {"fibre", "fiber"},            {"figure", "figure"},  {"oesophagus", "esophagus"}};
    for (const auto& [british, folded] : spellings) EXPECT_EQ(SpellingKey(british), folded) << british;
}

TEST(LookUpHeadword, TheHeadwordThenItsBaseFormThenNearSpellings) {
    const HeadwordCatalog catalog = CatalogOf(kIndex);
    const struct {
        const char* typed;
        Kind kind;
        std::int64_t line;
    } cases[] = {
        {"pneumonia", Kind::Exact, 3},      {" PNEUMONIA\t", Kind::Exact, 3},    {"Diagnosis", Kind::Exact, 2},
        {"diagnoses", Kind::Inflected, 2},  {"bacilli", Kind::Inflected, 0},     {"lymph nodes", Kind::Inflected, 5},
        {"injuries", Kind::Inflected, 14},  {"bacteria", Kind::Inflected, 17},   {"X-rays", Kind::Inflected, 18},
        {"half-lives", Kind::Inflected, 19}, {"\x90\x53\x91\x9f", Kind::Exact, 12}, {"Venae cavae", Kind::Inflected, 20},
    };
    for (const auto& [typed, kind, line] : cases) {
        const HeadwordLookupResult result = LookUpHeadword(catalog, typed);
        EXPECT_EQ(result.kind, kind) << typed;
        EXPECT_EQ(result.row, line) << typed;
    }
    EXPECT_EQ(LookUpHeadword(catalog, "pnuemonia").suggestions, std::vector<std::int64_t>{3});
    EXPECT_EQ(LookUpHeadword(catalog, "haemorrhage").suggestions, std::vector<std::int64_t>{6});
    EXPECT_EQ(LookUpHeadword(catalog, "oedema").suggestions, std::vector<std::int64_t>{7});
    EXPECT_EQ(LookUpHeadword(catalog, "tumour").suggestions, std::vector<std::int64_t>{10});
    EXPECT_EQ(LookUpHeadword(catalog, "alzheimers disease").suggestions, std::vector<std::int64_t>{13});
    EXPECT_EQ(LookUpHeadword(catalog, "zzzzzz").kind, Kind::NotFound);
}

// What a user may paste or type: nothing, a page, punctuation, a sentence, a headword
// of ten words. Each ends at once, with no record that is not the text's own.
TEST(LookUpHeadword, OddTextFindsNothingAndEndsAtOnce) {
    std::vector<std::string> rows = kIndex;
    rows.push_back("one two three four five six seven eight nine ten");
    const HeadwordCatalog catalog = CatalogOf(rows);
    const std::string page(10'000, 'a');
    for (const std::string& typed : {std::string(), std::string(" \t "), page, std::string("?!.,;:"),
                                     std::string("the patient was given two units of blood for anaemia"),
                                     std::string(5'000, '\x82')}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(LookUpHeadword(catalog, typed).kind, Kind::NotFound) << typed.substr(0, 40);
        EXPECT_TRUE(CompleteHeadword(catalog, typed, 10).empty()) << typed.substr(0, 40);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
    EXPECT_EQ(LookUpHeadword(catalog, "One Two three four five six seven eight nine tens").row, 21);
}

// Whatever is typed, the record shown is the text's own headword or one of the base
// forms its last word may come from: the rules propose, the headwords decide.
TEST(LookUpHeadword, EveryRecordShownIsTheTextOrABaseFormOfIt) {
    const HeadwordCatalog catalog = CatalogOf(kIndex);
    std::mt19937 random(23);
    const std::vector<std::string> endings = {"s", "es", "i", "a", "ae", "ices", "ses", "ies", "ed", "ing", "er", "ves"};
    int shown = 0;
    for (int i = 0; i < 4000; ++i) {
        std::string typed = kIndex[random() % kIndex.size()];
        typed = LookupKey(typed).substr(0, typed.size() - random() % 4) + endings[random() % endings.size()];
        const HeadwordLookupResult result = LookUpHeadword(catalog, typed);
        if (result.kind != Kind::Exact && result.kind != Kind::Inflected) continue;
        ++shown;
        const std::string key = LookupKey(typed);
        const std::string shownKey = KeyOfLine(result.row);
        if (result.kind == Kind::Exact) {
            EXPECT_EQ(shownKey, key);
            continue;
        }
        const std::size_t lastWord = key.find_last_of(' ') + 1;
        bool isBase = false;
        for (const BaseFormCandidate& candidate : CandidateBaseForms(key.substr(lastWord)))
            isBase = isBase || key.substr(0, lastWord) + candidate.base == shownKey;
        EXPECT_TRUE(isBase) << typed << " showed " << shownKey;
    }
    EXPECT_GT(shown, 200);
}

TEST(CompleteHeadword, StartsWithThenBaseFormsThenSpellingsEachOnce) {
    const HeadwordCatalog catalog = CatalogOf(kIndex);
    const auto lines = [&catalog](const char* typed, std::size_t count) {
        std::vector<std::int64_t> result;
        for (const CompletionEntry& entry : CompleteHeadword(catalog, typed, count)) result.push_back(entry.row);
        return result;
    };
    EXPECT_EQ(lines("diag", 10), (std::vector<std::int64_t>{1, 2}));  // in the keys' order, the first line of each
    EXPECT_EQ(lines("lymph", 10), (std::vector<std::int64_t>{16, 5}));
    EXPECT_EQ(lines("lymph", 1), (std::vector<std::int64_t>{16}));
    EXPECT_EQ(lines("bacilli", 10), (std::vector<std::int64_t>{0}));  // bacilli → bacillus
    const auto entries = CompleteHeadword(catalog, "diagnoses", 10);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().kind, CompletionEntry::Kind::BaseForm);
    EXPECT_EQ(entries.front().row, 2);
    EXPECT_EQ(lines("pnuemonia", 10), (std::vector<std::int64_t>{3}));
    EXPECT_EQ(lines("pn", 10), std::vector<std::int64_t>{3});
    EXPECT_TRUE(lines("pu", 10).empty());  // no suggestion for two letters
}

}  // namespace
