#include "grading/render.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "grading/answer_key.hpp"
#include "grading/wording.hpp"

namespace counting_lab::grading {

namespace {

std::string bin_words(const Class_histogram& h, std::size_t bin) {
    const int low = h.first + static_cast<int>(bin) * h.width;
    return h.width == 1 ? std::to_string(low) : std::to_string(low) + "-" + std::to_string(low + h.width - 1);
}

// Ticks every 1, 2 or 5 times a power of ten, three or four of them up to
// `top_value`.
int tick_step(double top_value) {
    int step = 1;
    for (int power = 1; step * 3 < top_value; power *= 10) {
        for (const int nice : {1, 2, 5}) {
            if (step * 3 < top_value) {
                step = nice * power;
            }
        }
    }
    return step;
}

std::string svg_of(const Class_histogram& h, std::size_t number) {
    constexpr double width = 560;
    constexpr double height = 230;
    constexpr double left = 58;
    constexpr double right = 12;
    constexpr double top = 12;
    constexpr double bottom = 52;
    const double top_value = std::max(static_cast<double>(*std::max_element(h.counted.begin(), h.counted.end())),
                                      *std::max_element(h.honest.begin(), h.honest.end()));
    const int step = tick_step(top_value);
    const int scale = step * std::max(1, static_cast<int>(std::ceil(top_value / step)));
    const double bin_w = (width - left - right) / static_cast<double>(h.counted.size());
    const auto y = [&](double value) { return top + (height - top - bottom) * (1 - value / scale); };
    const std::string id = "class-histogram-" + std::to_string(number);
    std::string desc = "Counts of the class at " + h.setting + ", per bin, with how many an honest class has there: ";
    for (std::size_t b = 0; b < h.counted.size(); ++b) {
        desc += (b == 0 ? "" : "; ") + bin_words(h, b) + ": " + std::to_string(h.counted[b]) +
                " (honest: " + fixed(h.honest[b], 1) + ")";
    }
    std::string svg = "<svg viewBox=\"0 0 560 230\" width=\"560\" height=\"230\" role=\"img\" aria-labelledby=\"" + id +
                      "-title " + id +
                      "-desc\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\" "
                      "font-size=\"19\">\n<title id=\"" +
                      id + "-title\">The class's counts at " + escaped(h.setting) +
                      " against honest counting</title>\n<desc id=\"" + id + "-desc\">" + escaped(desc) + ".</desc>\n";
    const double base = y(0);
    svg += "<line x1=\"" + fixed(left, 1) + "\" y1=\"" + fixed(base, 1) + "\" x2=\"" + fixed(width - right, 1) +
           "\" y2=\"" + fixed(base, 1) + "\" stroke=\"#1b1b1b\"/>\n";
    for (int tick = 0; tick <= scale; tick += step) {
        svg += "<text x=\"" + fixed(left - 6, 1) + "\" y=\"" + fixed(y(tick) + 4, 1) + "\" text-anchor=\"end\">" +
               std::to_string(tick) + "</text>\n";
    }
    const std::size_t label_every = (h.counted.size() + 6) / 7;
    for (std::size_t b = 0; b < h.counted.size(); ++b) {
        const double x = left + bin_w * static_cast<double>(b);
        if (h.counted[b] > 0) {
            svg += "<rect x=\"" + fixed(x + 1, 1) + "\" y=\"" + fixed(y(h.counted[b]), 1) + "\" width=\"" +
                   fixed(bin_w - 2, 1) + "\" height=\"" + fixed(base - y(h.counted[b]), 1) +
                   "\" fill=\"#56b4e9\" stroke=\"#0072b2\"/>\n";
        }
        svg += "<circle cx=\"" + fixed(x + bin_w / 2, 1) + "\" cy=\"" + fixed(y(h.honest[b]), 1) +
               "\" r=\"3.5\" fill=\"#d55e00\"/>\n";
        if (b % label_every == 0) {
            svg += "<text x=\"" + fixed(x + bin_w / 2, 1) + "\" y=\"" + fixed(base + 22, 1) +
                   "\" text-anchor=\"middle\">" + std::to_string(h.first + static_cast<int>(b) * h.width) + "</text>\n";
        }
    }
    svg += "<text x=\"" + fixed((left + width - right) / 2, 1) + "\" y=\"" + fixed(height - 8, 1) +
           "\" text-anchor=\"middle\">N" + (h.width > 1 ? " (bins of " + std::to_string(h.width) + ")" : "") +
           "</text>\n</svg>";
    return svg;
}

std::string reproduced_words(const Checked_row& row) {
    if (row.minute) {
        return row.fits_minute
                   ? "to the minute: some second of it gives N (by chance " + p_words(row.minute_chance) + ")"
                   : "no: no second of its minute gives N";
    }
    if (!row.reproduced) {
        return row.time_typed.empty() ? "" : "time not read";
    }
    return *row.reproduced == row.N ? "yes"
                                    : "no: the program gave " + std::to_string(*row.reproduced) + " at that second";
}

// An HTML table of rows of cells under `columns`, each cell escaped.
template <class Columns>
std::string html_table(std::string_view attributes, std::string_view caption, const Columns& columns,
                       const std::vector<std::vector<std::string>>& rows) {
    std::string html =
        "<table " + std::string(attributes) + ">\n<caption>" + escaped(caption) + "</caption>\n<thead><tr>";
    for (const auto& column : columns) {
        html += "<th scope=\"col\">" + escaped(column) + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    for (const auto& cells : rows) {
        html += "<tr>";
        for (const std::string& cell : cells) {
            html += "<td>" + escaped(cell) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</tbody>\n</table>";
}

}  // namespace

std::vector<std::string> class_cells(const Checked_row& row) {
    if (row.refused()) {
        std::vector<std::string> cells{std::to_string(row.line), row.problem};
        cells.resize(class_columns.size());
        return cells;
    }
    const bool can_happen = row.verdict != Verdict::cannot_happen;
    return {std::to_string(row.line),
            row.student,
            row.setting_typed,
            row.t_typed,
            row.N_typed,
            mean_pm_sd(row.spread),
            can_happen ? p_words(row.p) : "0",
            verdict_words(row.verdict),
            row.arithmetic,
            reproduced_words(row)};
}

std::string class_table_html(const Class_check& check) {
    if (!check.problem.empty()) {
        return "";  // the summary says what is wrong
    }
    std::string html = "<table class=\"class-check\">\n<caption>Class check</caption>\n<thead><tr>";
    for (const std::string_view column : class_columns) {
        html += "<th scope=\"col\">" + escaped(column) + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    for (const Checked_row& row : check.rows) {
        const std::vector<std::string> cells = class_cells(row);
        if (row.refused()) {
            html += "<tr class=\"refused\"><td>" + cells[0] + "</td><td colspan=\"" +
                    std::to_string(class_columns.size() - 1) + "\">" + escaped(cells[1]) + "</td></tr>\n";
            continue;
        }
        html += row.look.empty() ? "<tr>" : "<tr class=\"look\">";
        for (const std::string& cell : cells) {
            html += "<td>" + escaped(cell) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</tbody>\n</table>";
}

std::string class_figures_html(const Class_check& check) {
    std::string html;
    for (std::size_t i = 0; i < check.histograms.size(); ++i) {
        const Class_histogram& h = check.histograms[i];
        const int n = std::accumulate(h.counted.begin(), h.counted.end(), 0);
        html += "<figure class=\"class-figure\">\n" + svg_of(h, i + 1) + "\n<figcaption>The class's " +
                plural(n, "count") + " at " + escaped(h.setting) +
                ": blue bars, the class; orange-red dots, what an honest class hands in on average.</figcaption>\n"
                "</figure>\n";
    }
    return html;
}

std::string class_table_markdown(const Class_check& check) {
    const auto cell = [](std::string_view text) {
        std::string out;
        for (const char c : text) {
            if (std::string_view("\\`*_[]<>|#").find(c) != std::string_view::npos) {
                out += '\\';
            }
            out += c;
        }
        return out.empty() ? std::string(" ") : out;
    };
    std::string md;
    const auto line = [&](const auto& cells) {
        md += '|';
        for (const std::string_view text : cells) {
            md.append(" ").append(cell(text)).append(" |");
        }
        md += '\n';
    };
    line(class_columns);
    line(std::vector<std::string_view>(class_columns.size(), "---"));
    for (const Checked_row& row : check.rows) {
        line(class_cells(row));
    }
    return md;
}

std::string csv_cell(std::string cell) {
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos) {
        cell.insert(0, 1, '\'');
    }
    if (cell.find_first_of(",\"\t\r\n") == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string class_csv(const Class_check& check) {
    std::string csv = "\xEF\xBB\xBF";  // so that a spreadsheet reads it as UTF-8
    std::vector<std::string> header = check.header;
    header.insert(header.end(), {"mean", "sd", "p", "verdict", "arithmetic", "reproduced", "look"});
    const auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) {
                csv += ',';
            }
            csv += csv_cell(cells[i]);
        }
        csv += "\r\n";
    };
    line(header);
    for (const Checked_row& row : check.rows) {
        std::vector<std::string> cells = row.cells;
        if (row.refused()) {
            cells.insert(cells.end(), {"", "", "", row.problem, "", "", "refused"});
        } else {
            const std::vector<std::string> shown = class_cells(row);
            std::string look;
            for (const std::string& reason : row.look) {
                look += (look.empty() ? "" : "; ") + reason;
            }
            cells.insert(cells.end(), {fixed(row.spread.mean, 1), fixed(row.spread.standard_deviation, 1), shown[6],
                                       shown[7], shown[8], shown[9], look});
        }
        line(cells);
    }
    return csv;
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string worksheet_2_key_html(std::string_view typed_t) {
    const Key_time time = key_time(typed_t);
    if (!time.t_s) {
        return "<p>" + escaped(time.problem) + "</p>";
    }
    const double t = *time.t_s;
    return html_table("class=\"key-table\"", "Answer key of Worksheet 2 for t = " + plain(t) + " s",
                      worksheet_2_key_columns(t), worksheet_2_key(t));
}

}  // namespace counting_lab::grading
