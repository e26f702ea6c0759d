// quarnel_benchreport: turns Google Benchmark JSON files into the performance report.
//   quarnel_benchreport [--markdown FILE] [--svg FILE] [--notes FILE] [--series FILE]... RESULT.json...
// Prints the table; with --markdown writes the report, with --svg the chart of the series files
// (linked from the report).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/benchreport/BenchReport.h"

namespace {

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return static_cast<bool>(file);
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

// The processor's model name, which the benchmark library does not record.
std::string CpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0 && line.find(':') != std::string::npos) {
            return line.substr(line.find(':') + 2);
        }
    }
    return "";
}

int Usage() {
    std::cerr << "usage: quarnel_benchreport [--markdown FILE] [--svg FILE] [--notes FILE] [--series FILE]... "
                 "RESULT.json...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string markdownPath;
    std::string svgPath;
    std::string notesPath;
    std::vector<std::string> seriesPaths;
    std::vector<std::string> resultPaths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* option = arg == "--markdown" ? &markdownPath
                              : arg == "--svg"    ? &svgPath
                              : arg == "--notes"  ? &notesPath
                                                  : nullptr;
        if (arg == "--series" && i + 1 < argc) {
            seriesPaths.push_back(argv[++i]);
        } else if (option != nullptr && i + 1 < argc) {
            *option = argv[++i];
        } else if (arg.rfind("--", 0) == 0) {
            return Usage();
        } else {
            resultPaths.push_back(arg);
        }
    }
    if (resultPaths.empty()) {
        return Usage();
    }

    BenchFile results;
    for (const std::string& path : resultPaths) {
        std::string text;
        std::string error;
        if (!ReadFile(path, text) || !ReadBenchJson(text, results, error)) {
            std::cerr << path << ": " << (error.empty() ? "cannot read" : error) << "\n";
            return 1;
        }
    }
    if (const std::string cpu = CpuModel(); !cpu.empty()) {
        results.context.emplace_back("cpu_model", cpu);
    }
    const std::vector<BenchRow> rows = BuildRows(results);
    std::cout << FormatTable(rows);

    std::string chartLink;
    if (!svgPath.empty()) {
        std::vector<BenchSeriesFile> series;
        for (const std::string& path : seriesPaths) {
            std::string text;
            std::string error;
            BenchSeriesFile file;
            if (!ReadFile(path, text) || !ReadSeriesJson(text, file, error)) {
                std::cerr << path << ": " << (error.empty() ? "cannot read" : error) << "\n";
                return 1;
            }
            series.push_back(std::move(file));
        }
        if (!WriteFile(svgPath, FormatSvgChart(series, 1000.0 / 60.0, "60 fps"))) {
            std::cerr << "cannot write " << svgPath << "\n";
            return 1;
        }
        const std::filesystem::path base = std::filesystem::absolute(markdownPath).parent_path();
        chartLink = std::filesystem::absolute(svgPath).lexically_relative(base).string();
    }
    if (!markdownPath.empty()) {
        std::string notes;
        if (!notesPath.empty() && !ReadFile(notesPath, notes)) {
            std::cerr << "cannot read " << notesPath << "\n";
            return 1;
        }
        if (!WriteFile(markdownPath, FormatMarkdown(results, rows, chartLink, notes))) {
            std::cerr << "cannot write " << markdownPath << "\n";
            return 1;
        }
    }
    return 0;
}
