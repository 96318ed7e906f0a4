#include "bench/bench_reporter.h"

#include <cstdio>

namespace lambreya::bench {
namespace {

// A counter's unit, from its name.
const char* unitOf(const std::string& counter) {
    if (counter.find("bytes") != std::string::npos)
        return "bytes";
    if (counter.ends_with("_ms"))
        return "ms";
    if (counter.ends_with("_s"))
        return "s";
    if (counter.ends_with("_mb"))
        return "MB";
    return "x";
}

} // namespace

bool FigureReporter::ReportContext(const Context& context) {
    std::fprintf(stderr, "# %d cpus at %.0f MHz\n", context.cpu_info.num_cpus,
                 context.cpu_info.cycles_per_second / 1e6);
    return true;
}

void FigureReporter::print(const std::string& name, double value, const std::string& unit) {
    m_figures[name] = value;
    std::printf("%s %.3f %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

void FigureReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) {
            std::fprintf(stderr, "%s failed: %s\n", run.benchmark_name().c_str(),
                         run.error_message.c_str());
            continue;
        }
        const bool single = run.repetitions <= 1 && run.run_type == Run::RT_Iteration;
        if (!single && !(run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"))
            continue;
        const std::string name = run.run_name.function_name;
        if (name.ends_with("_ms"))
            print(name, run.GetAdjustedRealTime(), "ms");
        for (const auto& [counter, value] : run.counters)
            print(counter, value.value, unitOf(counter));
    }
}

void FigureReporter::addRatio(std::string name, std::string numerator, std::string denominator) {
    m_ratios.push_back({std::move(name), std::move(numerator), std::move(denominator)});
}

void FigureReporter::Finalize() {
    for (const Ratio& r : m_ratios) {
        const auto n = m_figures.find(r.numerator);
        const auto d = m_figures.find(r.denominator);
        if (n != m_figures.end() && d != m_figures.end() && d->second > 0)
            print(r.name, n->second / d->second, "x");
    }
}

} // namespace lambreya::bench
