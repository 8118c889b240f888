// Finding the groups of likely duplicate companies among 100,000: names as
// sales persons type them (letter case, legal forms, punctuation), one in
// twenty entered twice or three times, with cities and telephone numbers.
//
//   build/bench/bench_duplicates [--companies=N] [benchmark options]

#include "data/CompanyMatch.h"

#include <QRandomGenerator>
#include <QStringList>

#include <benchmark/benchmark.h>

namespace {

int companies = 100000;

QList<CompanyMatch::Company> makeCompanies(int count) {
    static const char* const words[] = {"Harbor", "Summit", "Pioneer",  "Granite", "Cedar",
                                        "Atlas",  "Beacon", "Meridian", "Falcon",  "Willow"};
    static const char* const forms[] = {" Ltd", " Limited", " Ltd.", " Inc", " GmbH", "", " & Co"};
    static const char* const cities[] = {"Tacoma", "Boise", "Portland", "", "Seattle"};
    QRandomGenerator random(5);
    QList<CompanyMatch::Company> list;
    list.reserve(count);
    for (int i = 0; list.size() < count; ++i) {
        const QString base = QString("%1 %2 Supply %3")
                                 .arg(words[i % 10], words[(i / 10) % 10])
                                 .arg(i, 6, 10, QChar('0'));
        const int copies = i % 20 == 0 ? 2 + random.bounded(2) : 1;
        for (int c = 0; c < copies && list.size() < count; ++c) {
            QString name = base + forms[random.bounded(7)];
            if (random.bounded(3) == 0)
                name = name.toUpper();
            list.append(
                {name, cities[random.bounded(5)],
                 random.bounded(2) ? QString("555 %1").arg(i, 4, 10, QChar('0')) : QString()});
        }
    }
    return list;
}

void FindDuplicateGroups(benchmark::State& state) {
    const QList<CompanyMatch::Company> list = makeCompanies(companies);
    qsizetype groups = 0;
    for (auto _ : state) {
        groups = CompanyMatch::duplicateGroups(list).size();
        benchmark::DoNotOptimize(groups);
    }
    state.counters["companies"] = double(list.size());
    state.counters["groups"] = double(groups);
}

} // namespace

BENCHMARK(FindDuplicateGroups)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--companies="))
            companies = arg.mid(12).toInt();
        else
            args.push_back(argv[i]);
    }
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
