// Speed and memory of a summary of many archives, against one process per
// archive. Run by hand: <build>/bin/varid_summary_bench [--benchmark_filter=...]
// The archives are written once into a temporary folder (10 000 of them, a
// Count with its record each, both modes), and removed at the end.
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <wx/filefn.h>
#include <wx/init.h>

#include "archive/ArchiveDocument.h"
#include "cli/ArchiveSummary.h"
#include "testsupport/KnownPanel.h"
#include "testsupport/TempDir.h"

namespace {

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// A folder of n archives, each padded by a comment of nPadding bytes.
class Folder {
public:
    Folder(int n, size_t nPadding) : m_dir("varid-summary-bench") {
        const std::string strPadding = nPadding ? "<!--" + std::string(nPadding, 'p') + "-->" : "";
        std::string texts[2];
        for (int nMode : {0, 1}) {
            panel::Contents c = PanelAfterCount(MakeDetectorData(nMode, kAllRows, {1, 6, 9, 10}));
            c.details.Set(CalibrationDetails::kInstrument, "MKS-21");
            c.details.Set(CalibrationDetails::kCalibrationDate, "2026-01-15");
            c.details.Set(CalibrationDetails::kOperator, "Ivanov");
            texts[nMode] = archive::FormatArchive(c, nMode);
            texts[nMode].insert(texts[nMode].find("<Archive>"), strPadding);
        }
        for (int i = 0; i < n; ++i) {
            std::string text = texts[i % 2];
            const std::string strSerial = "<SerialNumber>" + std::to_string(i % 100);
            text.replace(text.find("<SerialNumber>"), 14, strSerial);
            std::ofstream(TempDir::ToPath(Path(i)), std::ios::binary) << text;
        }
        m_nFiles = n;
    }
    wxString Name() const { return m_dir.Name(); }
    wxString Path(int i) const {
        return m_dir.Name() + wxFILE_SEP_PATH + wxString::Format("run%05d.xml", i);
    }
    int Files() const { return m_nFiles; }

private:
    TempDir m_dir;
    int m_nFiles = 0;
};

Folder& Archives() {
    static Folder folder(10000, 0);
    return folder;
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void RunSummary(benchmark::State& state, const Folder& folder, bool bRecount) {
    for (auto _ : state) {
        std::vector<wxString> vecFiles;
        wxString strMissing;
        ArchiveSummary::FindFiles({folder.Name()}, vecFiles, strMissing);
        ArchiveSummary summary(bRecount);
        summary.Run(vecFiles);
        if (summary.GetRows().size() != static_cast<size_t>(folder.Files()))
            state.SkipWithError("an archive was not read");
        benchmark::DoNotOptimize(summary.FormatCsv().size());
    }
    state.counters["archives"] = folder.Files();
    state.counters["per_archive_us"] = benchmark::Counter(
        folder.Files(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
}

// 10 000 archives in one process.
void BM_Summary(benchmark::State& state) { RunSummary(state, Archives(), false); }
BENCHMARK(BM_Summary)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

// The same, each archive counted again.
void BM_SummaryRecount(benchmark::State& state) { RunSummary(state, Archives(), true); }
BENCHMARK(BM_SummaryRecount)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// One process per archive, as a script would run the single export: the
// first 200 archives, each by its own varid-export.
void BM_ProcessPerArchive(benchmark::State& state) {
    const Folder& folder = Archives();
    const int n = 200;
    for (auto _ : state) {
        for (int i = 0; i < n; ++i) {
            const std::string strCommand =
                std::string(VARID_EXPORT) + " \"" + folder.Path(i).utf8_string() + "\" >/dev/null";
            if (std::system(strCommand.c_str()) != 0) state.SkipWithError("the export failed");
        }
    }
    state.counters["per_archive_us"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
}
// Its processes' time is the wall clock's, not this process's.
BENCHMARK(BM_ProcessPerArchive)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// Memory: the peak a summary adds over 500 archives of about 10 KiB and over
// 500 padded to 1 MiB each. Each file is read and let go, so the
// padded run's peak is larger by about one file, not by the gigabyte read.
void BM_SummaryMemory(benchmark::State& state) {
    const size_t nPadding = static_cast<size_t>(state.range(0)) * 1024;
    const auto pFolder = std::make_unique<Folder>(500, nPadding);
    const long nBefore = PeakKiB();
    for (auto _ : state) {
        std::vector<wxString> vecFiles;
        wxString strMissing;
        ArchiveSummary::FindFiles({pFolder->Name()}, vecFiles, strMissing);
        ArchiveSummary summary(false);
        summary.Run(vecFiles);
        benchmark::DoNotOptimize(summary.GetRows().data());
    }
    state.counters["peak_growth_KiB"] = static_cast<double>(PeakKiB() - nBefore);
    state.counters["read_MiB"] = 500.0 * (nPadding + 10 * 1024) / (1024 * 1024);
}
BENCHMARK(BM_SummaryMemory)->ArgName("padding_KiB")->Arg(0)->Arg(1024)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    wxInitializer initializer;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
