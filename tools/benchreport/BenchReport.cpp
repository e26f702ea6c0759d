#include "tools/benchreport/BenchReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

// Numeric fields of a benchmark entry that are not user counters.
const std::set<std::string> kBuiltInFields = {"family_index",
                                              "per_family_instance_index",
                                              "repetitions",
                                              "repetition_index",
                                              "threads",
                                              "iterations",
                                              "real_time",
                                              "cpu_time",
                                              "cpu_coefficient",
                                              "real_coefficient",
                                              "rms"};
const std::string kReferenceGroup = "reference";

double SecondsPerUnit(const std::string& unit) {
    if (unit == "s") {
        return 1.0;
    }
    if (unit == "ms") {
        return 1e-3;
    }
    if (unit == "us") {
        return 1e-6;
    }
    return 1e-9;
}

// "BM_Name/iterations:1" and the like: the name a reader knows the benchmark by.
std::string ShortName(const std::string& name) {
    const size_t cut = name.find("/iterations:");
    return cut == std::string::npos ? name : name.substr(0, cut);
}

std::string ContextValue(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_number_float()) {
        return FormatFigure(value.get<double>());
    }
    if (value.is_array()) {
        std::string joined;
        for (const Json& item : value) {
            if (item.is_structured()) {
                return "";
            }
            joined += (joined.empty() ? "" : " ") + ContextValue(item);
        }
        return joined;
    }
    return value.is_structured() ? "" : value.dump();
}

const BenchResult* FindResult(const BenchFile& file, const std::string& name) {
    for (const BenchResult& result : file.results) {
        if (ShortName(result.name) == name || result.name == name) {
            return &result;
        }
    }
    return nullptr;
}

const double* FindCounter(const BenchResult& result, const std::string& name) {
    for (const auto& [key, value] : result.counters) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

// "group.name" -> group, name; ungrouped counters have an empty group.
std::pair<std::string, std::string> SplitCounter(const std::string& counter) {
    const size_t dot = counter.find('.');
    if (dot == std::string::npos) {
        return {"", counter};
    }
    return {counter.substr(0, dot), counter.substr(dot + 1)};
}

bool ParseTarget(const std::string& text, BenchTarget& target) {
    for (const char* op : {">=", "<="}) {
        const size_t at = text.find(op);
        if (at == std::string::npos || at == 0) {
            continue;
        }
        try {
            size_t used = 0;
            target.bound = std::stod(text.substr(at + 2), &used);
            if (used != text.size() - at - 2) {
                return false;
            }
        } catch (const std::exception&) {
            return false;
        }
        target.counter = text.substr(0, at);
        target.atLeast = op[0] == '>';
        return true;
    }
    return false;
}

std::string TargetText(const BenchTarget& target, bool met) {
    return std::string(target.atLeast ? ">= " : "<= ") + FormatFigure(target.bound) + (met ? " met" : " MISSED");
}

struct FigureLine {
    std::string benchmark;
    std::string figure;
    std::string value;
    std::string reference;
    std::string ratio;
    std::string target;
};

// The report as lines of text cells, one per figure; the benchmark's name only on its first line.
std::vector<FigureLine> FigureLines(const std::vector<BenchRow>& rows) {
    std::vector<FigureLine> lines;
    for (const BenchRow& row : rows) {
        const std::string title = row.group.empty() ? row.benchmark : row.benchmark + " " + row.group;
        bool first = true;
        const auto add = [&](FigureLine line) {
            line.benchmark = first ? title : "";
            first = false;
            lines.push_back(std::move(line));
        };
        for (const BenchFigure& figure : row.figures) {
            FigureLine line{"", figure.name, FormatFigure(figure.value), "", "", ""};
            if (figure.hasReference) {
                line.reference = FormatFigure(figure.reference);
                line.ratio = figure.reference != 0.0 ? FormatFigure(figure.value / figure.reference) : "";
            }
            for (const auto& [target, met] : row.targets) {
                if (SplitCounter(target.counter).second == figure.name) {
                    line.target = TargetText(target, met);
                }
            }
            add(line);
        }
        for (const auto& [target, met] : row.targets) {
            const std::string name = SplitCounter(target.counter).second;
            const bool shown = std::any_of(row.figures.begin(), row.figures.end(),
                                           [&](const BenchFigure& figure) { return figure.name == name; });
            if (!shown) {
                add({"", name, "none", "", "", TargetText(target, met)});
            }
        }
        if (!row.note.empty()) {
            add({"", row.note, "", "", "", ""});
        }
    }
    return lines;
}

}  // namespace

bool ReadBenchJson(const std::string& text, BenchFile& file, std::string& error) {
    Json document;
    try {
        document = Json::parse(text);
    } catch (const std::exception& parseError) {
        error = parseError.what();
        return false;
    }
    if (!document.is_object() || !document.contains("benchmarks") || !document["benchmarks"].is_array()) {
        error = "no \"benchmarks\" list";
        return false;
    }
    if (document.contains("context") && document["context"].is_object()) {
        for (const auto& [key, value] : document["context"].items()) {
            const std::string shown = ContextValue(value);
            const bool known = std::any_of(file.context.begin(), file.context.end(),
                                           [&key](const auto& entry) { return entry.first == key; });
            if (!shown.empty() && !known) {
                file.context.emplace_back(key, shown);
            }
        }
    }
    for (const Json& entry : document["benchmarks"]) {
        if (!entry.is_object() || !entry.contains("name") || !entry["name"].is_string()) {
            error = "a benchmark without a name";
            return false;
        }
        BenchResult result;
        result.name = entry["name"].get<std::string>();
        result.runType = entry.value("run_type", "iteration");
        result.realTime = entry.value("real_time", 0.0);
        result.cpuTime = entry.value("cpu_time", 0.0);
        result.timeUnit = entry.value("time_unit", "ns");
        result.iterations = entry.value("iterations", int64_t{0});
        result.label = entry.value("label", "");
        if (entry.value("error_occurred", false)) {
            result.error = entry.value("error_message", "skipped");
        }
        for (const auto& [key, value] : entry.items()) {
            if (value.is_number() && kBuiltInFields.count(key) == 0) {
                result.counters.emplace_back(key, value.get<double>());
            }
        }
        file.results.push_back(std::move(result));
    }
    return true;
}

std::vector<BenchRow> BuildRows(const BenchFile& file) {
    std::vector<BenchRow> rows;
    for (const BenchResult& result : file.results) {
        BenchRow main{ShortName(result.name), "", {}, {}, ""};
        if (!result.error.empty()) {
            main.note = "skipped: " + result.error;
            rows.push_back(std::move(main));
            continue;
        }
        const BenchResult* other = nullptr;
        std::vector<BenchTarget> targets;
        std::istringstream words(result.label);
        std::string word;
        std::string note;
        while (words >> word) {
            BenchTarget target;
            if (word.rfind("reference=", 0) == 0) {
                other = FindResult(file, word.substr(10));
            } else if (word.rfind("target=", 0) == 0 && ParseTarget(word.substr(7), target)) {
                targets.push_back(target);
            } else {
                note += (note.empty() ? "" : " ") + word;
            }
        }
        main.note = note;

        BenchFigure time{"time (" + result.timeUnit + ")", result.realTime, false, 0.0};
        if (other != nullptr && other->error.empty()) {
            time.hasReference = true;
            time.reference = other->realTime * SecondsPerUnit(other->timeUnit) / SecondsPerUnit(result.timeUnit);
        }
        main.figures.push_back(time);
        std::vector<BenchRow> groups;
        for (const auto& [counter, value] : result.counters) {
            const auto [group, name] = SplitCounter(counter);
            if (group == kReferenceGroup) {
                continue;
            }
            BenchRow* row = &main;
            if (!group.empty()) {
                auto found = std::find_if(groups.begin(), groups.end(),
                                          [&group](const BenchRow& candidate) { return candidate.group == group; });
                if (found == groups.end()) {
                    groups.push_back({main.benchmark, group, {}, {}, ""});
                    found = groups.end() - 1;
                }
                row = &*found;
            }
            BenchFigure figure{name, value, false, 0.0};
            const double* reference = FindCounter(result, kReferenceGroup + "." + name);
            if (reference == nullptr && other != nullptr) {
                reference = FindCounter(*other, name);
                reference = reference != nullptr ? reference : FindCounter(*other, counter);
            }
            if (reference != nullptr) {
                figure.hasReference = true;
                figure.reference = *reference;
            }
            row->figures.push_back(figure);
        }
        for (const BenchTarget& target : targets) {
            const double* value = FindCounter(result, target.counter);
            const bool met = value != nullptr && (target.atLeast ? *value >= target.bound : *value <= target.bound);
            const std::string group = SplitCounter(target.counter).first;
            BenchRow* row = &main;
            for (BenchRow& candidate : groups) {
                row = candidate.group == group ? &candidate : row;
            }
            row->targets.emplace_back(target, met);
        }
        rows.push_back(std::move(main));
        rows.insert(rows.end(), groups.begin(), groups.end());
    }
    return rows;
}

std::string FormatFigure(double value) {
    char text[32];
    const double size = std::fabs(value);
    if (value == 0.0) {
        return "0";
    }
    if (size < 1e7 && value == std::floor(value)) {
        std::snprintf(text, sizeof(text), "%.0f", value);
    } else if (size >= 1e7 || size < 1e-3) {
        std::snprintf(text, sizeof(text), "%.3g", value);
    } else if (size >= 100.0) {
        std::snprintf(text, sizeof(text), "%.0f", value);
    } else if (size >= 10.0) {
        std::snprintf(text, sizeof(text), "%.1f", value);
    } else if (size >= 1.0) {
        std::snprintf(text, sizeof(text), "%.2f", value);
    } else {
        std::snprintf(text, sizeof(text), "%#.3g", value);
    }
    return text;
}

std::string FormatTable(const std::vector<BenchRow>& rows) {
    const std::vector<FigureLine> lines = FigureLines(rows);
    const std::vector<std::string> headings = {"benchmark", "figure", "value", "reference", "ratio", "target"};
    std::vector<size_t> widths;
    for (const std::string& heading : headings) {
        widths.push_back(heading.size());
    }
    const auto cells = [](const FigureLine& line) {
        return std::vector<std::string>{line.benchmark, line.figure, line.value,
                                        line.reference, line.ratio,  line.target};
    };
    for (const FigureLine& line : lines) {
        const std::vector<std::string> row = cells(line);
        for (size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    std::string out;
    const auto write = [&](const std::vector<std::string>& row) {
        std::string text;
        for (size_t i = 0; i < row.size(); ++i) {
            // Names to the left, numbers to the right.
            const std::string pad(widths[i] - row[i].size(), ' ');
            text += (i < 2 || i == 5) ? row[i] + pad : pad + row[i];
            text += i + 1 < row.size() ? "  " : "";
        }
        out += text.substr(0, text.find_last_not_of(' ') + 1) + "\n";
    };
    write(headings);
    for (const FigureLine& line : lines) {
        write(cells(line));
    }
    return out;
}

std::string FormatMarkdown(const BenchFile& file, const std::vector<BenchRow>& rows, const std::string& chartFile,
                           const std::string& notes) {
    std::string out = "# Performance\n\n";
    out +=
        "Written by `bash scripts/quarnel.sh bench` from one run of every benchmark in `bench/`; "
        "each reference was measured in the same run as the figures beside it.\n\n## Machine and run\n\n";
    for (const auto& [key, value] : file.context) {
        out += "- " + key + ": " + value + "\n";
    }
    out += "\n## Results\n\n| Benchmark | Figure | Value | Reference | Ratio | Target |\n|---|---|--:|--:|--:|---|\n";
    for (const FigureLine& line : FigureLines(rows)) {
        const std::string name = line.benchmark.empty() ? "" : "`" + line.benchmark + "`";
        out += "| " + name + " | " + line.figure + " | " + line.value + " | " + line.reference + " | " + line.ratio +
               " | " + line.target + " |\n";
    }
    if (!chartFile.empty()) {
        out += "\n## Frame times\n\n![Frame times](" + chartFile + ")\n";
    }
    if (!notes.empty()) {
        out += "\n" + notes;
        out += notes.back() == '\n' ? "" : "\n";
    }
    return out;
}

bool ReadSeriesJson(const std::string& text, BenchSeriesFile& file, std::string& error) {
    try {
        const Json document = Json::parse(text);
        file.benchmark = document.at("benchmark").get<std::string>();
        file.unit = document.value("unit", "");
        for (const Json& entry : document.at("series")) {
            BenchSeries series;
            series.name = entry.at("name").get<std::string>();
            series.x = entry.at("x").get<std::vector<double>>();
            series.y = entry.at("y").get<std::vector<double>>();
            if (series.x.size() != series.y.size()) {
                error = "series " + series.name + ": x and y differ in length";
                return false;
            }
            file.series.push_back(std::move(series));
        }
    } catch (const std::exception& readError) {
        error = readError.what();
        return false;
    }
    return true;
}

namespace {

constexpr double kChartWidth = 960.0;
constexpr double kPanelHeight = 300.0;
constexpr double kLeft = 60.0;
constexpr double kRight = 150.0;
constexpr double kTop = 30.0;
constexpr double kBottom = 40.0;
const char* const kPalette[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#8c564b", "#17becf"};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f", value);
    return text;
}

// A round step that gives about `count` ticks over `span`.
double TickStep(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double multiple : {1.0, 2.0, 5.0}) {
        if (raw <= multiple * power) {
            return multiple * power;
        }
    }
    return 10.0 * power;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

}  // namespace

std::string FormatSvgChart(const std::vector<BenchSeriesFile>& files, double guide, const std::string& guideLabel) {
    const double height = kPanelHeight * static_cast<double>(std::max<size_t>(files.size(), 1));
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(kChartWidth) + "\" height=\"" +
                      Number(height) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (size_t panel = 0; panel < files.size(); ++panel) {
        const BenchSeriesFile& file = files[panel];
        const double top = static_cast<double>(panel) * kPanelHeight + kTop;
        const double plotHeight = kPanelHeight - kTop - kBottom;
        const double plotWidth = kChartWidth - kLeft - kRight;
        double minX = 0.0;
        double maxX = 1.0;
        std::vector<double> all;
        bool firstPoint = true;
        for (const BenchSeries& series : file.series) {
            for (size_t i = 0; i < series.x.size(); ++i) {
                minX = firstPoint ? series.x[i] : std::min(minX, series.x[i]);
                maxX = firstPoint ? series.x[i] : std::max(maxX, series.x[i]);
                firstPoint = false;
                all.push_back(series.y[i]);
            }
        }
        maxX = maxX > minX ? maxX : minX + 1.0;
        // A few stalls (content loading) would flatten everything else: the scale stops at the
        // 99.5th percentile and taller samples are drawn at the top edge.
        std::sort(all.begin(), all.end());
        double maxY = all.empty() ? 1.0 : all[std::min(all.size() - 1, all.size() * 995 / 1000)];
        maxY = std::max({maxY * 1.1, guide * 1.25, 1e-9});
        const auto px = [&](double x) { return kLeft + (x - minX) / (maxX - minX) * plotWidth; };
        const auto py = [&](double y) { return top + plotHeight - std::min(y, maxY) / maxY * plotHeight; };

        out += "<text x=\"" + Number(kLeft) + "\" y=\"" + Number(top - 10) + "\" font-weight=\"bold\">" +
               file.benchmark + " (" + file.unit + " per sample)</text>\n";
        out += "<rect x=\"" + Number(kLeft) + "\" y=\"" + Number(top) + "\" width=\"" + Number(plotWidth) +
               "\" height=\"" + Number(plotHeight) + "\" fill=\"none\" stroke=\"#888\"/>\n";
        const double stepY = TickStep(maxY, 5);
        for (double y = 0.0; y <= maxY; y += stepY) {
            out += "<line x1=\"" + Number(kLeft - 4) + "\" x2=\"" + Number(kLeft) + "\" y1=\"" + Number(py(y)) +
                   "\" y2=\"" + Number(py(y)) + "\" stroke=\"#888\"/><text x=\"" + Number(kLeft - 6) + "\" y=\"" +
                   Number(py(y) + 4) + "\" text-anchor=\"end\">" + FormatFigure(y) + "</text>\n";
        }
        const double stepX = TickStep(maxX - minX, 8);
        for (double x = std::ceil(minX / stepX) * stepX; x <= maxX; x += stepX) {
            out += "<line x1=\"" + Number(px(x)) + "\" x2=\"" + Number(px(x)) + "\" y1=\"" + Number(top + plotHeight) +
                   "\" y2=\"" + Number(top + plotHeight + 4) + "\" stroke=\"#888\"/><text x=\"" + Number(px(x)) +
                   "\" y=\"" + Number(top + plotHeight + 16) + "\" text-anchor=\"middle\">" + FormatFigure(x) +
                   "</text>\n";
        }
        if (guide > 0.0) {
            out += "<line x1=\"" + Number(kLeft) + "\" x2=\"" + Number(kLeft + plotWidth) + "\" y1=\"" +
                   Number(py(guide)) + "\" y2=\"" + Number(py(guide)) +
                   "\" stroke=\"#000\" stroke-dasharray=\"6 4\"/><text x=\"" + Number(kLeft + plotWidth + 6) +
                   "\" y=\"" + Number(py(guide) + 4) + "\">" + guideLabel + "</text>\n";
        }
        for (size_t s = 0; s < file.series.size(); ++s) {
            const BenchSeries& series = file.series[s];
            const char* color = kPalette[s % std::size(kPalette)];
            // Samples far apart in x belong to different stretches: each stretch is its own line.
            std::string points;
            const auto flush = [&] {
                if (!points.empty()) {
                    out += "<polyline fill=\"none\" stroke=\"" + std::string(color) +
                           "\" stroke-width=\"1\" points=\"" + points + "\"/>\n";
                    points.clear();
                }
            };
            for (size_t i = 0; i < series.x.size(); ++i) {
                if (i > 0 && series.x[i] - series.x[i - 1] > stepX / 4.0) {
                    flush();
                }
                points += Number(px(series.x[i])) + "," + Number(py(series.y[i])) + " ";
            }
            flush();
            const double legendY = top + 14.0 + static_cast<double>(s) * 16.0;
            out += "<rect x=\"" + Number(kLeft + plotWidth + 6) + "\" y=\"" + Number(legendY + 12 - 9) +
                   "\" width=\"10\" height=\"10\" fill=\"" + color + "\"/><text x=\"" + Number(kLeft + plotWidth + 20) +
                   "\" y=\"" + Number(legendY + 12) + "\">" + series.name + " (median " +
                   FormatFigure(Median(series.y)) + ")</text>\n";
        }
    }
    out += "</svg>\n";
    return out;
}
