#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace lambreya::bench {

// Prints one line per figure, "name value unit": the median of the repetitions of each
// benchmark (named after its figure and timed in milliseconds), then every counter.
// Ratios between figures of the same run are added at the end.
class FigureReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    // A figure printed after the others: numerator / denominator, by figure names.
    void addRatio(std::string name, std::string numerator, std::string denominator);

private:
    void print(const std::string& name, double value, const std::string& unit);

    struct Ratio {
        std::string name, numerator, denominator;
    };
    std::map<std::string, double> m_figures;
    std::vector<Ratio> m_ratios;
};

} // namespace lambreya::bench
