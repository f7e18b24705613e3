// One sweep point's drag build-up, and whole runs of a million points in a
// temporary folder.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "drag/Cd_atrito.hpp"
#include "drag/Cd_base.hpp"
#include "drag/Cd_interferencia.hpp"
#include "drag/Cd_pressao.hpp"
#include "drag/Cd_tuboguia.hpp"
#include "driver/Principal.hpp"
#include "geometry/Geometria_derivada.hpp"
#include "geometry/Nariz_geometria.hpp"

namespace {

using namespace arrasto;

// The sweep step of the run, on the bundled example rocket (ogive nose,
// rounded fins, launch lug), for points spread over a million-point sweep
// up to Mach 0.9.
void BM_sweep_point(benchmark::State& state) {
  const double TO = ((20.0 + 273.15) * 9.0) / 5.0, PO = 101.325 * 20.885434273;
  const double PI = 3.141592653589793, RETC = 500000, RETE = 500000, MMAX = 0.9;
  const int IT = 1000000, NA = 2, AC = 1, MOTORLIGADO = 0, NT = 1;
  const double LNA = 120, DNA = 40, LC = 600, DC = 40, N = 4, E = 2, RC = 80, TC = 40;
  const double S = 50, SC = 30, DT = 10, DETB = 8, ETB = 1, LTB = 30;
  double SWETNA = 0, SWETC, L, SWET, SREF, SA, SWETE, LE, ST, DITB;
  NARIZGEO(PI, NA, LNA, DNA, SWETNA);
  GEOMETRIA(PI, LNA, LC, DC, RC, TC, S, SC, DT, DETB, ETB, SWETNA, SWETC, L, SWET, SREF, SA,
            SWETE, LE, ST, DITB);
  double M, CF, CFL, CFT, C, CDAC, CFE, CFLE, CFTE, CDAE, CDA, CBC, CDBC, CDB, CDTB;
  double CDPE, CDPN, CDI, CDT, SOMA = 0.0, CDMED;
  float CDP;
  std::int64_t ponto = 0;
  for (auto _ : state) {
    ponto = ponto % IT + 1;
    const double i = static_cast<double>(ponto);
    M = (MMAX / static_cast<double>(IT)) * i;
    benchmark::DoNotOptimize(M * 1224.0);
    CDATRITOC(TO, PO, RETC, M, CF, SWET, CFL, CFT, C, L, SREF, CDAC, PI, LNA, DNA, NA, SWETNA,
              DC);
    CDATRITOE(TO, PO, RETE, M, CFE, SWETE, CFLE, CFTE, C, LE, SREF, CDAE, N);
    CDA = CDAC + CDAE;
    CDBASEC(SREF, PI, DC, CDBC, ST, M, MOTORLIGADO, CBC, CDA, CF);
    CDB = CDBC;
    CDTUBO(PI, DETB, DITB, LTB, SREF, CDTB, NT, M, SWETC);
    CDPRESSAOE(M, TC, S, CBC, N, E, SREF, CDPE, SA, AC);
    CDPRESSAON(M, NA, DNA, LNA, CDPN);
    CDP = static_cast<float>(CDPE + CDPN);
    CDINTERFERENCIA(CFE, E, LE, TC, DC, N, SREF, CDI);
    CDT = ((((CDA + CDB) + CDTB) + static_cast<double>(CDP)) + CDI) *
          static_cast<double>(1.05f);
    SOMA = CDT + SOMA;
    CDMED = SOMA / i;
    benchmark::DoNotOptimize(CDMED);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_sweep_point);

// A whole run, PRINCIPAL as main calls it, on the bundled example with IT
// set to the argument, in a fresh temporary folder whose PATH holds no
// editor. The result files (about 124 MB for a million points) are written,
// synced to disk and renamed as in any run; each iteration replaces the
// previous one's.
void BM_whole_run(benchmark::State& state) {
  namespace fs = std::filesystem;
  const long long points = state.range(0);
  std::ifstream example(ARRASTO_EXAMPLE_DATA);
  std::ostringstream data;
  std::string line;
  for (int n = 1; std::getline(example, line); ++n) data << (n == 8 ? std::to_string(points) : line) << '\n';

  std::string pattern = (fs::temp_directory_path() / "arrasto-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    state.SkipWithError("cannot create a temporary folder");
    return;
  }
  const fs::path folder = pattern;
  const fs::path before = fs::current_path();
  const char* old_path = std::getenv("PATH");
  const std::string saved_path = old_path ? old_path : "";
  fs::current_path(folder);
  ::setenv("PATH", folder.c_str(), 1);
  std::ofstream(folder / "dados.txt") << data.str();

  for (auto _ : state) PRINCIPAL();

  state.SetItemsProcessed(state.iterations() * points);
  ::setenv("PATH", saved_path.c_str(), 1);
  fs::current_path(before);
  fs::remove_all(folder);
}
// Wall time: the waits for the disk count too.
BENCHMARK(BM_whole_run)->Arg(1000000)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
