// The main of every benchmark program: a GUI application on the offscreen
// platform, as the commands run inside one. Jobs timed against their floor
// (counters "floor_ms" and "ratio") are summed up in a table at the end:
// the medians of job, floor and ratio, and how they grow from one season
// length to the next.

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <map>
#include <string>
#include <vector>

namespace {

class FloorSummary : public benchmark::ConsoleReporter {
public:
    explicit FloorSummary(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Aggregate || r.aggregate_name != "median")
                continue;
            const auto floor = r.counters.find("floor_ms");
            const auto ratio = r.counters.find("ratio");
            if (floor == r.counters.end() || ratio == r.counters.end())
                continue;
            const double ms = r.GetAdjustedRealTime() * (r.time_unit == benchmark::kMillisecond ? 1.0
                                                         : r.time_unit == benchmark::kSecond    ? 1e3
                                                         : r.time_unit == benchmark::kMicrosecond ? 1e-3
                                                                                                : 1e-6);
            m_rows.push_back({r.run_name.function_name, r.run_name.args, ms, floor->second.value, ratio->second.value});
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (m_rows.empty())
            return;
        std::FILE* out = stdout;
        std::fflush(out);
        std::fprintf(out, "\nMedians against the floor\n");
        std::fprintf(out, "%-44s %12s %12s %8s\n", "job", "program ms", "floor ms", "ratio");
        for (const Row& row : m_rows)
            std::fprintf(out, "%-44s %12.2f %12.2f %8.2f\n", (row.function + "/" + row.args).c_str(), row.ms, row.floorMs, row.ratio);
        // Growth from one season length (the first argument) to the next,
        // the other arguments alike.
        std::map<std::string, std::vector<const Row*>> families;
        for (const Row& row : m_rows) {
            const auto slash = row.args.find('/');
            if (slash != std::string::npos)
                families[row.function + "/" + row.args.substr(slash + 1)].push_back(&row);
        }
        bool header = false;
        for (const auto& [family, rows] : families) {
            for (size_t i = 1; i < rows.size(); ++i) {
                if (!header) {
                    std::fprintf(out, "\nGrowth from one season length to the next\n");
                    std::fprintf(out, "%-44s %12s %12s\n", "job (other arguments)", "program", "floor");
                    header = true;
                }
                const Row& a = *rows[i - 1];
                const Row& b = *rows[i];
                const std::string what = family + ": " + a.args.substr(0, a.args.find('/')) + " -> " + b.args.substr(0, b.args.find('/'));
                std::fprintf(out, "%-44s %11.2fx %11.2fx\n", what.c_str(), b.ms / a.ms, b.floorMs / a.floorMs);
            }
        }
        std::fflush(out);
    }

private:
    struct Row {
        std::string function, args;
        double ms, floorMs, ratio;
    };
    std::vector<Row> m_rows;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool console = true;
    bool color = isatty(STDOUT_FILENO) != 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_format=", 19) == 0 && std::strcmp(argv[i] + 19, "console") != 0)
            console = false;
        if (std::strncmp(argv[i], "--benchmark_color=", 18) == 0)
            color = std::strcmp(argv[i] + 18, "false") != 0 && std::strcmp(argv[i] + 18, "no") != 0;
    }
    benchmark::Initialize(&argc, argv);
    if (console) {
        FloorSummary summary(color ? benchmark::ConsoleReporter::OO_Defaults : benchmark::ConsoleReporter::OO_Tabular);
        benchmark::RunSpecifiedBenchmarks(&summary);
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    return 0;
}
