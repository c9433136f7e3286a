#include "lookup/Inflection.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

namespace {

// A dictionary's headwords: the base forms below, and words a careless rule would
// land on instead ("diagnose" for "diagnoses", "jury" for "injuries").
const std::set<std::string> kHeadwords = {
    "bacillus", "metastasis", "diagnosis", "diagnose", "vertebra", "carcinoma", "tooth", "foot", "child",
    "mouse", "woman", "bleed", "swell", "injury", "jury", "tee", "cell", "abscess", "knife", "half",
    "cortex", "appendix", "phalanx", "foramen", "corpus", "ganglion", "bacterium", "fungus", "stoma",
    "arthritis", "epididymis", "stop", "clot", "excise", "infect", "die", "dry", "healthy", "big",
    "large", "weak", "ulcerate", "ulcer", "bad", "reflex", "ovum", "fistula", "prognosis", "gnoses",
    "lumen", "apex", "cervix", "phenomenon", "tempus", "testis", "test", "burn"};

// The first candidate that is a headword, as the lookup takes it.
std::optional<std::string> Lookup(const std::string& word) {
    for (const BaseFormCandidate& candidate : CandidateBaseForms(word))
        if (kHeadwords.contains(candidate.base)) return candidate.base;
    return std::nullopt;
}

TEST(CandidateBaseForms, TheFirstHeadwordAmongThemIsTheBaseForm) {
    const struct {
        const char* inflected;
        const char* base;
    } cases[] = {
        {"bacilli", "bacillus"},       {"fungi", "fungus"},          {"metastases", "metastasis"},
        {"diagnoses", "diagnosis"},    {"prognoses", "prognosis"},   {"vertebrae", "vertebra"},
        {"fistulae", "fistula"},       {"carcinomata", "carcinoma"}, {"stomata", "stoma"},
        {"arthritides", "arthritis"},  {"epididymides", "epididymis"}, {"cortices", "cortex"},
        {"apices", "apex"},            {"appendices", "appendix"},   {"cervices", "cervix"},
        {"phalanges", "phalanx"},      {"foramina", "foramen"},      {"lumina", "lumen"},
        {"corpora", "corpus"},         {"tempora", "tempus"},        {"ganglia", "ganglion"},
        {"phenomena", "phenomenon"},   {"bacteria", "bacterium"},    {"ova", "ovum"},
        {"injuries", "injury"},        {"knives", "knife"},          {"halves", "half"},
        {"abscesses", "abscess"},      {"reflexes", "reflex"},       {"cells", "cell"},
        {"teeth", "tooth"},            {"feet", "foot"},             {"children", "child"},
        {"mice", "mouse"},             {"women", "woman"},           {"bled", "bleed"},
        {"swollen", "swell"},          {"worse", "bad"},             {"stopped", "stop"},
        {"clotting", "clot"},          {"excised", "excise"},        {"excising", "excise"},
        {"infected", "infect"},        {"bleeding", "bleed"},        {"dying", "die"},
        {"dried", "dry"},              {"healthiest", "healthy"},    {"healthier", "healthy"},
        {"bigger", "big"},             {"largest", "large"},         {"weaker", "weak"},
        {"ulcerated", "ulcerate"},     {"Bacilli", "bacillus"},      {"testes", "testis"},
        {"burnt", "burn"},
    };
    for (const auto& [inflected, base] : cases) EXPECT_EQ(Lookup(inflected), std::optional<std::string>(base)) << inflected;
}

TEST(CandidateBaseForms, NamesTheStepsAndGoesTwoDeepAtMost) {
    const auto candidates = CandidateBaseForms("bacilli");
    ASSERT_FALSE(candidates.empty());
    EXPECT_EQ(candidates.front().base, "bacillus");
    EXPECT_EQ(candidates.front().step, "-i → -us");
    // "carriers" → "carrier" → "carry": two steps, both named; never three.
    bool twoDeep = false;
    for (const BaseFormCandidate& candidate : CandidateBaseForms("carriers")) {
        EXPECT_LE(candidate.depth, 2) << candidate.base;
        if (candidate.base == "carry") {
            twoDeep = candidate.depth == 2;
            EXPECT_EQ(candidate.step, "-s → ∅, -ier → -y");
        }
    }
    EXPECT_TRUE(twoDeep);
}

TEST(CandidateBaseForms, NothingForWhatIsNoEnglishWord) {
    for (const char* text : {"", "is", "a1c", "-es", "heart failure", "\x90\x53\x91\x9f", "es'"})
        EXPECT_TRUE(CandidateBaseForms(text).empty()) << text;
    // Never the word itself, and every base at most once.
    const auto candidates = CandidateBaseForms("cells");
    std::set<std::string> bases;
    for (const BaseFormCandidate& candidate : candidates) {
        EXPECT_NE(candidate.base, "cells");
        EXPECT_TRUE(bases.insert(candidate.base).second) << candidate.base;
    }
}

}  // namespace
