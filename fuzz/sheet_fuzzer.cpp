// Arbitrary bytes as a class's sheet, through the class check and every way
// it is written out. Whatever a sheet holds, the check must end, answer in
// words where it refuses, put no text of the sheet into the page as markup,
// and write no CSV cell that a spreadsheet would run as a formula.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "grading/class_check.hpp"
#include "grading/render.hpp"

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        (void)std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Every tag of the markup is one of the renderer's own.
void only_tags(std::string_view html, const std::set<std::string_view>& allowed) {
    for (std::size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        const std::size_t end = html.find_first_of(" >", at + 1);
        require(end != std::string_view::npos, "a tag that does not end");
        require(allowed.contains(html.substr(at + 1, end - at - 1)), "a tag that the renderer does not write");
    }
}

// Every cell of the CSV, unquoted, starts with no character that makes a
// spreadsheet run it.
void no_formulas(std::string_view csv) {
    std::string cell;
    bool quoted = false;
    bool fresh = true;
    const auto end_cell = [&] {
        require(cell.empty() || std::string_view("=+-@\t\r").find(cell[0]) == std::string_view::npos,
                "a CSV cell that a spreadsheet runs");
        cell.clear();
        fresh = true;
    };
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"' && fresh) {
            quoted = true;
            fresh = false;
        } else if (c == ',' || c == '\n') {
            end_cell();
        } else if (!(c == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n')) {
            cell += c;
            fresh = false;
        }
    }
    require(!quoted, "a quote left open in the CSV");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace counting_lab::grading;
    const std::string sheet(reinterpret_cast<const char*>(data), size);
    const Class_check check = check_class(sheet);
    const std::string words = class_summary_words(check);
    require(!words.empty(), "no answer in words");
    if (!check.problem.empty()) {
        require(check.rows.empty() && class_table_html(check).empty(), "rows of a sheet that was refused");
        return 0;
    }
    for (const Checked_row& row : check.rows) {
        require(row.refused() || (row.p >= 0 && row.p <= 1), "a p that is no probability");
    }
    only_tags(class_table_html(check), {"table", "/table", "caption", "/caption", "thead", "/thead", "tbody", "/tbody",
                                        "tr", "/tr", "th", "/th", "td", "/td"});
    only_tags(class_figures_html(check), {"figure", "/figure", "svg", "/svg", "title", "/title", "desc", "/desc",
                                          "line", "text", "/text", "rect", "circle", "figcaption", "/figcaption"});
    const std::string csv = class_csv(check);
    require(csv.starts_with("\xEF\xBB\xBF"), "a CSV without its byte-order mark");
    no_formulas(std::string_view(csv).substr(3));
    return 0;
}
