#include "lookup/Inflection.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>

namespace {

// One ending rule: a word ending in `inflected` may come from the stem with `base` in
// its place.
struct EndingRule {
    std::string_view inflected;
    std::string_view base;
    // The stem must keep at least this many letters, so that short words are not cut
    // down to nothing ("is" is no plural of "i").
    std::size_t shortestStem;
    // The stem's last letter must be a doubled consonant, which the base has once
    // ("stopped" → "stop").
    bool undoublesConsonant = false;
    // The stem must end as words taking "-es" do: s, x, z, ch, sh or o ("abscesses",
    // not "testes").
    bool afterSibilant = false;
};

// The rules, most specific first within each kind; a comment says what each one undoes.
constexpr std::array kEndingRules = {
    // Latin and Greek plurals.
    EndingRule{"itides", "itis", 2},  // arthritides → arthritis
    EndingRule{"omata", "oma", 2},    // carcinomata → carcinoma
    EndingRule{"ides", "is", 2},      // epididymides → epididymis
    EndingRule{"ices", "ex", 2},      // cortices → cortex, apices → apex
    EndingRule{"ices", "ix", 2},      // appendices → appendix, cervices → cervix
    EndingRule{"ata", "a", 2},        // stomata → stoma
    EndingRule{"ses", "sis", 2},      // metastases → metastasis, diagnoses → diagnosis
    EndingRule{"ges", "x", 2},        // phalanges → phalanx, pharynges → pharynx
    EndingRule{"ina", "en", 2},       // foramina → foramen, lumina → lumen
    EndingRule{"ora", "us", 2},       // corpora → corpus, tempora → tempus
    EndingRule{"ae", "a", 2},         // vertebrae → vertebra, fistulae → fistula
    EndingRule{"i", "us", 2},         // bacilli → bacillus, fungi → fungus
    EndingRule{"a", "um", 2},         // bacteria → bacterium, ova → ovum
    EndingRule{"a", "on", 2},         // ganglia → ganglion, phenomena → phenomenon
    // Regular plurals, and the third person of verbs.
    EndingRule{"ies", "y", 2},  // injuries → injury, carries → carry
    EndingRule{"ves", "f", 2},  // halves → half
    EndingRule{"ves", "fe", 2},  // knives → knife, lives → life
    EndingRule{"es", "", 2, false, true},  // abscesses → abscess, reflexes → reflex
    EndingRule{"es", "is", 3},   // testes → testis, pelves → pelvis (after "-es → ∅": abscesses)
    EndingRule{"s", "", 2},      // cells → cell, bleeds → bleed
    // Verb forms.
    EndingRule{"ied", "y", 2},                // dried → dry, carried → carry
    EndingRule{"ying", "ie", 1},              // dying → die, lying → lie
    EndingRule{"ed", "", 2, true},            // stopped → stop
    EndingRule{"ing", "", 2, true},           // clotting → clot
    EndingRule{"ed", "e", 2},                 // excised → excise, ulcerated → ulcerate
    EndingRule{"ing", "e", 2},                // excising → excise
    EndingRule{"ed", "", 2},                  // infected → infect
    EndingRule{"ing", "", 2},                 // bleeding → bleed
    // Comparatives and superlatives.
    EndingRule{"iest", "y", 2},         // healthiest → healthy
    EndingRule{"ier", "y", 2},          // healthier → healthy
    EndingRule{"est", "", 2, true},     // biggest → big
    EndingRule{"er", "", 2, true},      // bigger → big
    EndingRule{"est", "e", 2},          // largest → large
    EndingRule{"er", "e", 2},           // larger → large
    EndingRule{"est", "", 2},           // weakest → weak
    EndingRule{"er", "", 2},            // weaker → weak
};

// Irregular forms: plurals, past forms and participles, comparatives.
struct IrregularForm {
    std::string_view inflected;
    std::string_view base;
};
constexpr std::array kIrregularForms = {
    IrregularForm{"teeth", "tooth"},   IrregularForm{"feet", "foot"},       IrregularForm{"children", "child"},
    IrregularForm{"mice", "mouse"},    IrregularForm{"lice", "louse"},      IrregularForm{"geese", "goose"},
    IrregularForm{"women", "woman"},   IrregularForm{"men", "man"},         IrregularForm{"oxen", "ox"},
    IrregularForm{"dice", "die"},      IrregularForm{"people", "person"},   IrregularForm{"bled", "bleed"},
    IrregularForm{"swollen", "swell"}, IrregularForm{"fed", "feed"},        IrregularForm{"bitten", "bite"},
    IrregularForm{"bit", "bite"},      IrregularForm{"broken", "break"},    IrregularForm{"broke", "break"},
    IrregularForm{"born", "bear"},     IrregularForm{"borne", "bear"},      IrregularForm{"bore", "bear"},
    IrregularForm{"fell", "fall"},     IrregularForm{"fallen", "fall"},     IrregularForm{"felt", "feel"},
    IrregularForm{"kept", "keep"},     IrregularForm{"slept", "sleep"},     IrregularForm{"wept", "weep"},
    IrregularForm{"bent", "bend"},     IrregularForm{"grew", "grow"},       IrregularForm{"grown", "grow"},
    IrregularForm{"knew", "know"},     IrregularForm{"known", "know"},      IrregularForm{"drew", "draw"},
    IrregularForm{"drawn", "draw"},    IrregularForm{"froze", "freeze"},    IrregularForm{"frozen", "freeze"},
    IrregularForm{"shook", "shake"},   IrregularForm{"shaken", "shake"},    IrregularForm{"taken", "take"},
    IrregularForm{"took", "take"},     IrregularForm{"given", "give"},      IrregularForm{"gave", "give"},
    IrregularForm{"ate", "eat"},       IrregularForm{"eaten", "eat"},       IrregularForm{"ran", "run"},
    IrregularForm{"lain", "lie"},      IrregularForm{"lay", "lie"},         IrregularForm{"hung", "hang"},
    IrregularForm{"spat", "spit"},     IrregularForm{"stung", "sting"},     IrregularForm{"struck", "strike"},
    IrregularForm{"torn", "tear"},     IrregularForm{"tore", "tear"},       IrregularForm{"worn", "wear"},
    IrregularForm{"wore", "wear"},     IrregularForm{"woke", "wake"},       IrregularForm{"woken", "wake"},
    IrregularForm{"better", "good"},   IrregularForm{"best", "good"},       IrregularForm{"worse", "bad"},
    IrregularForm{"worst", "bad"},     IrregularForm{"less", "little"},     IrregularForm{"least", "little"},
    IrregularForm{"burnt", "burn"},    IrregularForm{"learnt", "learn"},    IrregularForm{"spelt", "spell"},
    IrregularForm{"spilt", "spill"},   IrregularForm{"dreamt", "dream"},    IrregularForm{"smelt", "smell"},
};

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }

bool IsWord(std::string_view word) {
    if (word.size() < 3) return false;
    for (const char c : word)
        if (!std::isalpha(static_cast<unsigned char>(c)) && c != '-' && c != '\'') return false;
    return std::isalpha(static_cast<unsigned char>(word.front())) && std::isalpha(static_cast<unsigned char>(word.back()));
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string StepName(std::string_view inflected, std::string_view base) {
    return "-" + std::string(inflected) + " → " + (base.empty() ? std::string("∅") : "-" + std::string(base));
}

// The bases one rule gives, in table order.
std::vector<BaseFormCandidate> OneStep(const std::string& word) {
    std::vector<BaseFormCandidate> found;
    for (const EndingRule& rule : kEndingRules) {
        if (!word.ends_with(rule.inflected)) continue;
        std::string stem = word.substr(0, word.size() - rule.inflected.size());
        if (stem.size() < rule.shortestStem) continue;
        if (rule.afterSibilant && !(stem.ends_with('s') || stem.ends_with('x') || stem.ends_with('z') ||
                                    stem.ends_with("ch") || stem.ends_with("sh") || stem.ends_with('o')))
            continue;
        if (rule.undoublesConsonant) {
            const std::size_t n = stem.size();
            if (n < 3 || stem[n - 1] != stem[n - 2] || IsVowel(stem[n - 1]) || stem[n - 1] == 's') continue;
            stem.pop_back();
        }
        found.push_back({stem + std::string(rule.base), StepName(rule.inflected, rule.base), 1,
                         static_cast<int>(rule.inflected.size())});
    }
    // The more specific rule first; the table's order among equals.
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.weight > b.weight; });
    return found;
}

}  // namespace

std::vector<BaseFormCandidate> CandidateBaseForms(std::string_view text) {
    if (!IsWord(text)) return {};
    const std::string word = Lower(text);
    std::vector<BaseFormCandidate> candidates;
    std::set<std::string> seen{word};
    const auto add = [&](BaseFormCandidate candidate) {
        if (candidate.base.size() < 2 || !seen.insert(candidate.base).second) return;
        candidates.push_back(std::move(candidate));
    };
    for (const IrregularForm& form : kIrregularForms)
        if (word == form.inflected) add({std::string(form.base), "irregular", 1, 100});
    const std::vector<BaseFormCandidate> first = OneStep(word);
    for (const BaseFormCandidate& candidate : first) add(candidate);
    for (const BaseFormCandidate& from : first) {
        for (BaseFormCandidate second : OneStep(from.base)) {
            second.step = from.step + ", " + second.step;
            second.depth = 2;
            add(std::move(second));
        }
    }
    return candidates;
}
