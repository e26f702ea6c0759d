#include <gtest/gtest.h>

#include <string>

#include "tools/benchreport/BenchReport.h"

namespace {

// What Google Benchmark writes with --benchmark_format=json, trimmed: a reference pass, a pass
// that names it, a benchmark with its reference inside it, one that was skipped.
const char* const kRun = R"json({
  "context": {"date": "2026-12-09T09:00:00+00:00", "host_name": "box", "num_cpus": 2,
              "load_avg": [1.5, 2.25], "caches": [{"type": "Data", "level": 1}],
              "gl_renderer": "llvmpipe (LLVM 15.0.6, 256 bits)"},
  "benchmarks": [
    {"name": "BM_ReferenceQuadFrames/iterations:1", "run_type": "iteration", "iterations": 1,
     "real_time": 3000.0, "cpu_time": 100.0, "time_unit": "ms", "medianFps": 90.0, "p5Fps": 80.0},
    {"name": "BM_TitleFrames/iterations:1", "run_type": "iteration", "iterations": 1,
     "real_time": 6.0, "cpu_time": 1.0, "time_unit": "s", "medianFps": 45.0, "p5Fps": 40.0,
     "frames": 420, "label": "reference=BM_ReferenceQuadFrames target=p5Fps>=60 target=medianFps>=30 hold"},
    {"name": "BM_RayQueries", "run_type": "iteration", "iterations": 50, "real_time": 2000.0,
     "cpu_time": 1900.0, "time_unit": "us", "fight.us": 20.0, "reference.us": 400.0,
     "walk.us": 10.0, "walk.hits": 12, "label": "target=fight.us<=40"},
    {"name": "BM_Scale/50", "run_type": "iteration", "error_occurred": true, "error_message": "no graphics device",
     "iterations": 0, "real_time": 0, "cpu_time": 0, "time_unit": "ns"}
  ]
})json";

TEST(BenchReport, RowsPutEachFigureBesideItsReferenceAndCheckTargets) {
    BenchFile file;
    std::string error;
    ASSERT_TRUE(ReadBenchJson(kRun, file, error)) << error;
    ASSERT_EQ(file.results.size(), 4u);
    EXPECT_EQ(file.results[1].counters.size(), 3u);  // user counters only, in file order
    EXPECT_EQ(file.results[1].counters[2].first, "frames");

    const std::vector<BenchRow> rows = BuildRows(file);
    // Reference, title, rays (ungrouped), rays fight, rays walk, the skipped one.
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].benchmark, "BM_ReferenceQuadFrames");
    EXPECT_FALSE(rows[0].figures[1].hasReference);

    const BenchRow& title = rows[1];
    EXPECT_EQ(title.note, "hold");
    ASSERT_EQ(title.figures.size(), 4u);
    EXPECT_EQ(title.figures[0].name, "time (s)");
    EXPECT_DOUBLE_EQ(title.figures[0].reference, 3.0);  // 3000 ms in the title's seconds
    EXPECT_EQ(title.figures[1].name, "medianFps");
    EXPECT_DOUBLE_EQ(title.figures[1].reference, 90.0);
    EXPECT_FALSE(title.figures[3].hasReference);  // the reference has no frame count
    ASSERT_EQ(title.targets.size(), 2u);
    EXPECT_FALSE(title.targets[0].second);
    EXPECT_TRUE(title.targets[1].second);

    EXPECT_EQ(rows[2].group, "");
    EXPECT_EQ(rows[2].figures.size(), 1u);  // the time only: every counter has a group
    EXPECT_EQ(rows[3].group, "fight");
    EXPECT_DOUBLE_EQ(rows[3].figures[0].reference, 400.0);
    ASSERT_EQ(rows[3].targets.size(), 1u);
    EXPECT_TRUE(rows[3].targets[0].second);
    EXPECT_EQ(rows[4].group, "walk");
    EXPECT_TRUE(rows[4].figures[0].hasReference);
    EXPECT_FALSE(rows[4].figures[1].hasReference);
    EXPECT_EQ(rows[5].note, "skipped: no graphics device");

    const std::string table = FormatTable(rows);
    EXPECT_NE(table.find("BM_TitleFrames"), std::string::npos);
    EXPECT_NE(table.find(">= 60 MISSED"), std::string::npos);
    EXPECT_NE(table.find("0.500"), std::string::npos);  // 45 / 90
    const std::string markdown = FormatMarkdown(file, rows, "frames.svg", "## Notes\n\nBound by fill rate.");
    EXPECT_NE(markdown.find("- host_name: box\n"), std::string::npos);
    EXPECT_NE(markdown.find("- load_avg: 1.50 2.25\n"), std::string::npos);
    EXPECT_NE(markdown.find("|  | frames | 420 |  |  |  |\n"), std::string::npos);
    EXPECT_EQ(markdown.find("caches"), std::string::npos);
    EXPECT_NE(markdown.find("| `BM_RayQueries fight` | us | 20 | 400 | 0.0500 | <= 40 met |"), std::string::npos);
    EXPECT_NE(markdown.find("![Frame times](frames.svg)"), std::string::npos);
    EXPECT_EQ(markdown.substr(markdown.size() - 20), "Bound by fill rate.\n");
}

TEST(BenchReport, RefusesWhatIsNotBenchmarkOutput) {
    for (const char* text : {"", "{", "[]", R"({"context": {}})", R"({"benchmarks": [{"real_time": 1}]})"}) {
        BenchFile file;
        std::string error;
        EXPECT_FALSE(ReadBenchJson(text, file, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    BenchSeriesFile series;
    std::string error;
    EXPECT_FALSE(
        ReadSeriesJson(R"({"benchmark": "B", "series": [{"name": "a", "x": [1, 2], "y": [1]}]})", series, error));
    EXPECT_FALSE(ReadSeriesJson(R"({"series": []})", series, error));
}

TEST(BenchReport, ChartDrawsEachStretchOfASeriesAndClipsStalls) {
    BenchSeriesFile file;
    std::string error;
    ASSERT_TRUE(ReadSeriesJson(R"({"benchmark": "BM_PlayThroughFrames", "unit": "ms", "series": [
        {"name": "reference", "x": [4, 5], "y": [8, 9]}]})",
                               file, error))
        << error;
    // Frames 1-300 and 2000-2001 of one series: two stretches. The 500 ms stall is drawn at the
    // plot's top edge (y = 30), not above it.
    BenchSeries title{"title", {}, {}};
    for (int frame = 1; frame <= 300; ++frame) {
        title.x.push_back(frame);
        title.y.push_back(10.0 + frame % 3);
    }
    title.x.insert(title.x.end(), {2000, 2001});
    title.y.insert(title.y.end(), {500, 9});
    file.series.push_back(title);
    const std::string svg = FormatSvgChart({file}, 16.7, "60 fps");
    EXPECT_EQ(svg.rfind("<svg", 0), 0u);
    size_t lines = 0;
    for (size_t at = svg.find("<polyline"); at != std::string::npos; at = svg.find("<polyline", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 3u);
    EXPECT_NE(svg.find("title (median 11)"), std::string::npos);
    EXPECT_NE(svg.find("60 fps"), std::string::npos);
    EXPECT_NE(svg.find(",30.0 "), std::string::npos);
    EXPECT_EQ(svg.find(",-"), std::string::npos);
    EXPECT_EQ(svg.find(",2"), std::string::npos);  // nothing above y = 30
}

}  // namespace
