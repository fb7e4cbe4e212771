// Saving the sixteen settings into a main INI file of about 30 KB: sixteen complete,
// atomic, flushed rewrites, as the settings application does. Run once in the system's
// temporary folder (a real disk: the flushes dominate) and once in /dev/shm when there is
// one (the copying and line work alone).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/ini_writer.h"

namespace {

const char* const kSections[] = {"Iva0", "Iva0", "Iva0", "Iva0", "Iva0", "Ret0", "Ret0", "Iva0",
                                 "Iva1", "Iva1", "Iva1", "Iva1", "Iva1", "Ret1", "Ret1", "Iva1"};
const char* const kKeys[] = {
    "Nom", "Locals", "Vivendes", "Honoraris", "Suplerts", "Honoraris", "Locals", "Serie",
    "Nom", "Locals", "Vivendes", "Honoraris", "Suplerts", "Honoraris", "Locals", "Serie"};
const char* const kValues[] = {"IVA     ", "21   ", "10   ",    "21   ", "21   ", "15   ",
                               "19   ",    "A ",    "IGIC    ", "7    ", "3    ", "7    ",
                               "7    ",    "15   ", "19   ",    "C "};

// About 30 KB: many other programs' sections around the four of the settings.
std::string MainIni() {
  std::string text = "[Usuari]\r\nIdioma=CAT\r\nDecCaracter=,\r\nMilCaracter=.\r\n\r\n";
  int section = 0;
  while (text.size() < 15000) {
    text += "[Programa" + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 8; ++key) {
      text += "Clau" + std::to_string(key) + "=valor de prova " + std::to_string(section) + "\r\n";
    }
    text += "\r\n";
    ++section;
  }
  text +=
      "[Iva0]\r\nNom=IVA\r\nLocals=21\r\n\r\n[Ret0]\r\nHonoraris=15\r\n\r\n"
      "[Iva1]\r\nNom=IGIC\r\n\r\n[Ret1]\r\nLocals=19\r\n\r\n";
  while (text.size() < 30000) {
    text += "; comentari de prova per omplir el fitxer fins als trenta kilobytes\r\n";
  }
  return text;
}

void SaveSixteenKeys(benchmark::State& state, const std::string& base) {
  std::string folder = base + "/zt-writer-bench-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) {
    state.SkipWithError("cannot make a scratch folder");
    return;
  }
  const std::string path = folder + "/Vorn.ini";
  const std::string original = MainIni();
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(path, std::ios::binary) << original;
    state.ResumeTiming();
    for (int i = 0; i < 16; ++i) {
      std::string error;
      if (!zt::WriteIniValue(path, kSections[i], kKeys[i], kValues[i], &error)) {
        state.SkipWithError(error.c_str());
        break;
      }
    }
  }
  state.counters["file_bytes"] = static_cast<double>(original.size());
  std::filesystem::remove_all(folder);
}

void BM_SaveSixteenKeysOnDisk(benchmark::State& state) {
  SaveSixteenKeys(state, std::filesystem::temp_directory_path().string());
}
BENCHMARK(BM_SaveSixteenKeysOnDisk)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SaveSixteenKeysInMemoryFileSystem(benchmark::State& state) {
  if (!std::filesystem::is_directory("/dev/shm")) {
    state.SkipWithError("no /dev/shm");
    return;
  }
  SaveSixteenKeys(state, "/dev/shm");
}
BENCHMARK(BM_SaveSixteenKeysInMemoryFileSystem)->Unit(benchmark::kMillisecond)->Iterations(50);

// The line work alone: one rewrite of the 30 KB text in memory.
void BM_RewriteOneKey(benchmark::State& state) {
  const std::string original = MainIni();
  for (auto _ : state) {
    benchmark::DoNotOptimize(zt::RewriteIniText(original, "Iva1", "Serie", "C "));
  }
}
BENCHMARK(BM_RewriteOneKey)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
