// The user's database at its largest: 10,000 steps of one data file (and some of two
// others) and 100,000 word-list entries, each call the window makes timed beside the
// floor of one "SELECT 1" through Qt SQL on the same file.
//
//   quillor_store_bench [FOLDER] [benchmark options]
//
// The database lives in FOLDER (default: the temporary folder), on the disk the
// program would use, and is removed afterwards.
#include "store/UserDatabase.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <array>
#include <cstdio>
#include <memory>

namespace {

const QString kDataFile = QStringLiteral("/home/ann/dictionaries/Tarnowe_Medical_Dic.txt");
std::unique_ptr<UserDatabase> db;
QString dbPath;

// Medical headwords and their translations, made of parts: 24 organs x 16 conditions
// x 30 qualifiers x 9 types, over 100,000 different entries.
struct WordPiece {
    const char* english;
    const char* japanese;
};
constexpr std::array<WordPiece, 24> kOrgans = {{
    {"cardio", "心"}, {"gastro", "胃"}, {"neuro", "神経"}, {"hepato", "肝"}, {"nephro", "腎"}, {"osteo", "骨"},
    {"arthro", "関節"}, {"dermato", "皮膚"}, {"myo", "筋"}, {"pneumo", "肺"}, {"encephalo", "脳"}, {"angio", "血管"},
    {"hemato", "血液"}, {"oto", "耳"}, {"rhino", "鼻"}, {"ophthalmo", "眼"}, {"cysto", "膀胱"}, {"colo", "結腸"},
    {"chole", "胆"}, {"pancreato", "膵"}, {"spleno", "脾"}, {"thyro", "甲状腺"}, {"adeno", "腺"}, {"lympho", "リンパ"},
}};
constexpr std::array<WordPiece, 16> kConditions = {{
    {"pathy", "障害"}, {"megaly", "肥大"}, {"sclerosis", "硬化症"}, {"malacia", "軟化症"}, {"itis", "炎"},
    {"ectomy", "切除術"}, {"tomy", "切開術"}, {"plasty", "形成術"}, {"graphy", "造影法"}, {"scopy", "鏡検査"},
    {"rrhagia", "出血"}, {"algia", "痛"}, {"lysis", "溶解"}, {"stenosis", "狭窄"}, {"oma", "腫"}, {"genesis", "形成"},
}};
constexpr std::array<WordPiece, 30> kQualifiers = {{
    {"", ""}, {"acute ", "急性"}, {"chronic ", "慢性"}, {"primary ", "原発性"}, {"secondary ", "続発性"},
    {"congenital ", "先天性"}, {"idiopathic ", "特発性"}, {"diffuse ", "びまん性"}, {"focal ", "限局性"},
    {"malignant ", "悪性"}, {"benign ", "良性"}, {"juvenile ", "若年性"}, {"senile ", "老人性"},
    {"toxic ", "中毒性"}, {"infectious ", "感染性"}, {"hereditary ", "遺伝性"}, {"traumatic ", "外傷性"},
    {"recurrent ", "再発性"}, {"obstructive ", "閉塞性"}, {"hemorrhagic ", "出血性"}, {"ischemic ", "虚血性"},
    {"allergic ", "アレルギー性"}, {"atrophic ", "萎縮性"}, {"hypertrophic ", "肥大性"}, {"necrotic ", "壊死性"},
    {"fibrous ", "線維性"}, {"cystic ", "嚢胞性"}, {"diabetic ", "糖尿病性"}, {"alcoholic ", "アルコール性"},
    {"postoperative ", "術後"},
}};

WordEntry Entry(int n) {
    const WordPiece& organ = kOrgans[n % kOrgans.size()];
    const WordPiece& condition = kConditions[(n / kOrgans.size()) % kConditions.size()];
    const WordPiece& qualifier = kQualifiers[(n / (kOrgans.size() * kConditions.size())) % kQualifiers.size()];
    const int type = n / static_cast<int>(kOrgans.size() * kConditions.size() * kQualifiers.size()) + 1;
    WordEntry entry;
    entry.headword = QString::fromUtf8(qualifier.english) + QString::fromUtf8(organ.english) +
                     QString::fromUtf8(condition.english) + QStringLiteral(", type %1").arg(type);
    entry.translation = QString::fromUtf8(qualifier.japanese) + QString::fromUtf8(organ.japanese) +
                        QString::fromUtf8(condition.japanese) + QStringLiteral("%1型").arg(type);
    entry.examples = entry.headword + QStringLiteral(" of the adult 成人の") + entry.translation;
    if (n % 7 == 0) entry.note = QStringLiteral("review before the exam");
    entry.added = 1'600'000'000'000 + n * 60'000LL;
    entry.dataFile = kDataFile;
    entry.line = n * 3;
    entry.headwordBytes = entry.headword.toStdString();
    return entry;
}

HistoryStep Step(int n, const QString& file) {
    HistoryStep step;
    step.time = 1'600'000'000'000 + n * 1000LL;
    step.dataFile = file;
    step.line = n * 17 % 530'000;
    step.headword = Entry(n).headword.toStdString();
    step.lineHash = 0x9E37'79B9'7F4A'7C15ull * static_cast<std::uint64_t>(n + 1);
    step.reach = StepReach::Index;
    return step;
}

void Fill() {
    for (int n = 0; n < 10'000; ++n) {
        db->AddStep(Step(n, kDataFile));
        if (n % 5 == 0) db->AddStep(Step(n, QStringLiteral("/home/ann/dictionaries/other-%1.txt").arg(n % 2)));
    }
    std::vector<WordEntry> entries;
    for (int n = 0; n < 100'000; ++n) entries.push_back(Entry(n));
    db->MergeWords(entries);
}

void BM_SelectOneFloor(benchmark::State& state) {
    {
        QSqlDatabase floor = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
        floor.setDatabaseName(dbPath);
        floor.open();
        QSqlQuery query(floor);
        query.prepare(QStringLiteral("SELECT 1"));
        for (auto _ : state) {
            query.exec();
            query.next();
            benchmark::DoNotOptimize(query.value(0).toInt());
            query.finish();
        }
    }
    QSqlDatabase::database(QStringLiteral("floor"), false).close();
    QSqlDatabase::removeDatabase(QStringLiteral("floor"));
}

void BM_AddStep(benchmark::State& state) {
    int n = 10'000;
    for (auto _ : state) benchmark::DoNotOptimize(db->AddStep(Step(n++, kDataFile)));
}

void BM_Trail(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(db->Trail(kDataFile));
    state.counters["steps"] = static_cast<double>(db->Trail(kDataFile).size());
}

void BM_History(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(db->History(kDataFile));
    state.counters["steps"] = static_cast<double>(db->History(kDataFile).size());
}

void BM_HasWord(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        const WordEntry entry = Entry(n++ * 7919 % 100'000);
        benchmark::DoNotOptimize(db->HasWord(entry.headword, entry.translation));
    }
}

// New entries, taken away again by BM_RemoveWord.
void BM_AddWord(benchmark::State& state) {
    int n = 200'000;
    for (auto _ : state) benchmark::DoNotOptimize(db->AddWord(Entry(n++)));
}

void BM_RemoveWord(benchmark::State& state) {
    int n = 200'000;
    for (auto _ : state) {
        const WordEntry entry = Entry(n++);
        benchmark::DoNotOptimize(db->RemoveWord(entry.headword, entry.translation));
    }
}

void BM_SetNote(benchmark::State& state) {
    const std::int64_t id = db->Words({}, WordOrder::Added, false, 50'000, 1).at(0).id;
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(db->SetNote(id, QStringLiteral("note %1").arg(n++)));
}

void BM_CountWords(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(db->CountWords({}));
}

void BM_FirstPage(benchmark::State& state) {
    const auto order = static_cast<WordOrder>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(db->Words({}, order, state.range(1) != 0, 0, 100));
}

const std::array<QString, 3> kFilters = {QStringLiteral("cardio"), QStringLiteral("肝"), QStringLiteral("rare word")};

void BM_FilteredCountAndFirstPage(benchmark::State& state) {
    const QString& filter = kFilters[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(db->CountWords(filter));
        benchmark::DoNotOptimize(db->Words(filter, WordOrder::Headword, false, 0, 200));
    }
    state.SetLabel(filter.toStdString() + ": " + std::to_string(db->CountWords(filter)) + " entries");
}

// Opening the full database: the quick check reads every page.
void BM_Open(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(UserDatabase::Open(dbPath));
}

BENCHMARK(BM_SelectOneFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddStep)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_Trail)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_History)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HasWord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddWord)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_RemoveWord)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_SetNote)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CountWords)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstPage)->Unit(benchmark::kMicrosecond)->ArgsProduct({{0, 1, 2, 3}, {0, 1}});
BENCHMARK(BM_FilteredCountAndFirstPage)->Unit(benchmark::kMillisecond)->DenseRange(0, 2);
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
    benchmark::Initialize(&argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QDir storeFolder(folder + QStringLiteral("/quillor-store-bench"));
    storeFolder.removeRecursively();
    dbPath = storeFolder.filePath(QStringLiteral("quillordic.sqlite"));
    db = UserDatabase::Open(dbPath);
    if (!db->Available()) {
        std::fprintf(stderr, "%s\n", qPrintable(db->TakeNotice()));
        return 1;
    }
    Fill();
    benchmark::RunSpecifiedBenchmarks();
    db.reset();
    storeFolder.removeRecursively();
    return 0;
}
