#pragma once

// Reads Google Benchmark JSON output and turns it into the performance report: a plain-text table,
// docs/performance.md and an SVG chart of per-frame series. Nothing here knows a benchmark by name.
//
// What a benchmark may declare, so that its figures stand beside their references:
// - counters "group.name" split one benchmark into several rows (one per group);
// - counters "reference.name" are the reference of "name" and of every "group.name" of the same
//   benchmark (measured in the same run);
// - a label of space-separated tokens: "reference=BM_Other" takes the counters of the same names
//   and the time of BM_Other as references; "target=counter>=60" (or "<=") states a goal that the
//   report checks. Other label text is shown as a note.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct BenchResult {
    std::string name;
    std::string runType;  // "iteration" or "aggregate"
    double realTime = 0.0;
    double cpuTime = 0.0;
    std::string timeUnit = "ns";
    int64_t iterations = 0;
    std::vector<std::pair<std::string, double>> counters;  // user counters, in the file's order
    std::string label;
    std::string error;  // why the benchmark was skipped, empty when it ran
};

struct BenchFile {
    std::vector<std::pair<std::string, std::string>> context;  // machine and run facts, as given
    std::vector<BenchResult> results;
};

// Appends the benchmarks of one JSON document to `file` (the context of the first document wins
// for keys given twice). False with the reason in `error` when the text is not benchmark output.
bool ReadBenchJson(const std::string& text, BenchFile& file, std::string& error);

// One figure and what it is measured against.
struct BenchFigure {
    std::string name;
    double value = 0.0;
    bool hasReference = false;
    double reference = 0.0;
};

struct BenchTarget {
    std::string counter;  // full counter name, group included
    bool atLeast = true;  // ">=" or "<="
    double bound = 0.0;
};

// One line of the report: a benchmark, or one counter group of it.
struct BenchRow {
    std::string benchmark;
    std::string group;  // empty for ungrouped counters and the benchmark's time
    std::vector<BenchFigure> figures;
    std::vector<std::pair<BenchTarget, bool>> targets;  // goal, met
    std::string note;                                   // label text that is not a declaration, or the skip reason
};

std::vector<BenchRow> BuildRows(const BenchFile& file);

// Numbers as the report prints them: three significant digits, no exponent for everyday sizes.
std::string FormatFigure(double value);

std::string FormatTable(const std::vector<BenchRow>& rows);
// `notes` (Markdown) is appended as it stands; `chartFile` is linked when not empty.
std::string FormatMarkdown(const BenchFile& file, const std::vector<BenchRow>& rows, const std::string& chartFile,
                           const std::string& notes);

// Per-frame (or per-sample) values a benchmark wrote beside its JSON:
// {"benchmark": "...", "unit": "ms", "series": [{"name": "...", "x": [...], "y": [...]}, ...]}.
struct BenchSeries {
    std::string name;
    std::vector<double> x;
    std::vector<double> y;
};

struct BenchSeriesFile {
    std::string benchmark;
    std::string unit;
    std::vector<BenchSeries> series;
};

bool ReadSeriesJson(const std::string& text, BenchSeriesFile& file, std::string& error);

// A chart of every series of every file: one panel per file, values against samples, with a line
// at `guide` (e.g. 16.7 ms, one frame at 60 fps) when it is above zero.
std::string FormatSvgChart(const std::vector<BenchSeriesFile>& files, double guide, const std::string& guideLabel);
