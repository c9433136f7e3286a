#include "GenerateDictionary.h"

#include "common/Sjis.h"

#include <array>
#include <random>
#include <string_view>
#include <vector>

namespace {

constexpr std::array<std::string_view, 40> kEnglish = {
    "acute", "chronic", "cardiac", "renal", "hepatic", "pulmonary", "arterial", "venous",
    "abdominal", "cerebral", "failure", "infarction", "stenosis", "syndrome", "carcinoma", "embolism",
    "heart", "blood", "pressure", "pain", "cancer", "cell", "tissue", "muscle",
    "nerve", "bone", "fever", "infection", "therapy", "dose", "patient", "symptom",
    "diagnosis", "lesion", "tumor", "edema", "anemia", "insulin", "glucose", "abate"};

constexpr std::array<std::string_view, 24> kJapanese = {
    "急性", "慢性", "心臓", "腎臓", "肝臓", "肺", "動脈", "静脈", "腹部", "脳", "不全", "梗塞",
    "狭窄", "症候群", "癌", "塞栓症", "血液", "圧", "疼痛", "細胞", "組織", "筋肉", "神経", "骨"};

constexpr std::array<std::string_view, 6> kChemistry = {"Na~+", "K~+", "Ca~2~+", "CO_2", "O_2", "H_2O"};

class Generator {
public:
    explicit Generator(const GeneratorOptions& options) : options_(options), random_(options.seed) {
        for (const std::string_view word : kJapanese) japanese_.push_back(Sjis::FromUtf8(word).bytes);
        separator_ = Sjis::FromUtf8("、").bytes;
    }

    std::string Run() {
        std::string out;
        out.reserve(static_cast<std::size_t>(options_.lines) * 80);
        for (std::int64_t n = 1; n <= options_.lines; ++n) AppendLine(n, out);
        return out;
    }

private:
    std::string_view Word() { return kEnglish[random_() % kEnglish.size()]; }

    void AppendLine(std::int64_t number, std::string& out) {
        const double roll = std::uniform_real_distribution<double>(0, 1)(random_);
        const bool noNum = roll < options_.noNumShare;
        const bool noTitle = !noNum && roll < options_.noNumShare + options_.noTitleShare;
        const bool noYaku =
            !noNum && !noTitle && roll < options_.noNumShare + options_.noTitleShare + options_.noYakuShare;

        if (noNum) {  // a stray continuation without any space
            out.append(Word()).append(".\r\n");
            return;
        }
        out.append(std::to_string(number)).push_back(' ');
        out.append(Word());
        if (random_() % 3 == 0) out.append(" ").append(Word());
        if (!noTitle) out.append("///");
        for (int i = 1 + static_cast<int>(random_() % 2); i > 0; --i) {
            out.append(japanese_[random_() % japanese_.size()]);
            out.append(japanese_[random_() % japanese_.size()]);
            if (i > 1) out.append(separator_);
        }
        if (!noYaku && !noTitle) out.append(":::");
        for (int sentence = random_() % 4 == 0 ? 2 : 1; sentence > 0; --sentence) {
            out.append("The ").append(Word());
            if (random_() % 2) out.append(" of ").append(Word());
            if (random_() % 5 == 0) out.append(" with ").append(kChemistry[random_() % kChemistry.size()]);
            out.append(" was ").append(Word()).append(sentence > 1 ? "./ " : ".");
        }
        out.append("\r\n");
    }

    GeneratorOptions options_;
    std::mt19937 random_;
    std::vector<std::string> japanese_;
    std::string separator_;
};

}  // namespace

std::string GenerateDictionary(const GeneratorOptions& options) { return Generator(options).Run(); }

std::string GenerateLike(std::string_view sample, std::int64_t lines) {
    // The sample's records without their numbers.
    std::vector<std::string_view> records;
    for (std::size_t start = 0; start < sample.size();) {
        std::size_t end = sample.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = sample.size();
        const std::string_view line = sample.substr(start, end - start);
        const std::size_t space = line.find(' ');
        if (space != std::string_view::npos) records.push_back(line.substr(space));
        start = sample.find_first_not_of("\r\n", end);
        if (start == std::string_view::npos) break;
    }
    std::string out;
    if (records.empty()) return out;
    out.reserve(static_cast<std::size_t>(lines) * (sample.size() / records.size() + 8));
    for (std::int64_t n = 1; n <= lines; ++n) {
        out.append(std::to_string(n));
        out.append(records[static_cast<std::size_t>(n - 1) % records.size()]);
        out.append("\r\n");
    }
    return out;
}
