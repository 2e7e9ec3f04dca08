// What the class check costs: docs/class-sheet-example.csv (30 students, 810
// rows) and a sheet of 10,000 rows made from it, checked and written out as
// the guide's page shows it (summary, table, histograms and CSV).
// Run: build/bench/bench/class_check_bench
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "grading/class_check.hpp"
#include "grading/render.hpp"

namespace {

std::string example_sheet() {
    std::ifstream file(COUNTING_LAB_CLASS_SHEET, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The example's rows again and again, each time with other students' names,
// up to `rows` rows.
std::string sheet_of(int rows) {
    const std::string example = example_sheet();
    const std::string header = example.substr(0, example.find('\n') + 1);
    const std::string body = example.substr(header.size());
    std::string sheet = header;
    int added = 0;
    for (int copy = 0; added < rows; ++copy) {
        std::istringstream lines(body);
        for (std::string line; added < rows && std::getline(lines, line);) {
            sheet += "Copy " + std::to_string(copy) + " " + line + "\n";
            ++added;
        }
    }
    return sheet;
}

void ClassCheck(benchmark::State& state) {
    const std::string sheet = sheet_of(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const counting_lab::grading::Class_check check = counting_lab::grading::check_class(sheet);
        benchmark::DoNotOptimize(counting_lab::grading::class_summary_words(check));
        benchmark::DoNotOptimize(counting_lab::grading::class_table_html(check));
        benchmark::DoNotOptimize(counting_lab::grading::class_figures_html(check));
        benchmark::DoNotOptimize(counting_lab::grading::class_csv(check));
    }
}
BENCHMARK(ClassCheck)->Arg(810)->Arg(10'000)->Unit(benchmark::kMillisecond);

}  // namespace
