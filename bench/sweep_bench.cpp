// A million-point run of the bundled example taken apart: the drag build-up
// alone, the writing of the numbers alone (into memory), the writing of the
// run's bytes to disk alone, and the whole run. Each figure is for the whole
// sweep of 1,000,000 points, so milliseconds read as nanoseconds per point,
// and the whole run can be set against the sum of the first three.

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "drag/Cd_atrito.hpp"
#include "drag/Cd_base.hpp"
#include "drag/Cd_interferencia.hpp"
#include "drag/Cd_pressao.hpp"
#include "drag/Cd_tuboguia.hpp"
#include "driver/Leitura_dados.hpp"
#include "driver/Unidades.hpp"
#include "geometry/Geometria_derivada.hpp"
#include "geometry/Nariz_geometria.hpp"
#include "runtime/io/list_number.hpp"
#include "runtime/io/record_file.hpp"
#include "runtime/platform/platform.hpp"

namespace {

using namespace arrasto;
namespace fs = std::filesystem;

constexpr int kPontos = 1000000;

// The example's data file with IT set to the given number of points.
std::string example_data(long long points) {
  std::ifstream example(ARRASTO_EXAMPLE_DATA);
  std::ostringstream data;
  std::string line;
  for (int n = 1; std::getline(example, line); ++n)
    data << (n == 8 ? std::to_string(points) : line) << '\n';
  return data.str();
}

// The run's inputs and geometry, read from the example as a run reads them,
// so that the compiler knows none of them in advance.
struct Foguete {
  rt::FixedText NOME{};
  int LINHANOME = 0, LINHAIT = 0, U = 0, IT = 0, NA = 0, AC = 0, MOTORLIGADO = 0, NT = 0;
  double TO1 = 0, PO1 = 0, RETC = 0, RETE = 0, MMAX = 0, TO = 0, PO = 0, PI = 0;
  double LNA = 0, DNA = 0, LC = 0, DC = 0, N = 0, E = 0, RC = 0, TC = 0, S = 0, SC = 0;
  double DT = 0, DETB = 0, ETB = 0, LTB = 0;
  double SWETNA = 0, SWETC = 0, L = 0, SWET = 0, SREF = 0, SA = 0, SWETE = 0, LE = 0;
  double ST = 0, DITB = 0;

  Foguete() {
    rt::ListReader leitor("dados.txt", example_data(kPontos));
    std::string NOMECORTE;  // a plain copyable struct: the sweep's copy stays cheap and unaliased
    LERDADOS(leitor, NOME, LINHANOME, NOMECORTE, U, TO1, PO1, RETC, RETE, MMAX, IT, LINHAIT, TO, PO, PI, NA,
             LNA, DNA, LC, DC, N, AC, E, RC, TC, S, SC, MOTORLIGADO, DT, NT, DETB, ETB, LTB);
    if (U == 2)
      PES(LNA, DNA, LC, DC, E, RC, TC, S, SC, DT, DETB, ETB, LTB);
    else if (U == 3)
      POLEGADAS(LNA, DNA, LC, DC, E, RC, TC, S, SC, DT, DETB, ETB, LTB);
    NARIZGEO(PI, NA, LNA, DNA, SWETNA);
    GEOMETRIA(PI, LNA, LC, DC, RC, TC, S, SC, DT, DETB, ETB, SWETNA, SWETC, L, SWET, SREF, SA,
              SWETE, LE, ST, DITB);
  }
};

// The sweep of PRINCIPAL (src/driver/Principal.cpp) without the writing:
// the same calls on the same variables in the same order; keep the two
// alike. Where the run writes each point's M, V and CDT, they are added
// into eco (no barrier that would keep the compiler from treating the loop
// as in the run), and CDT is kept in cdt when one is given.
// One copy of the loop, holding the only call of each routine, as in the
// run, so that the compiler inlines them all as it does there; the rocket
// is copied in so that nothing the loop stores can alias it.
[[gnu::noinline, gnu::noclone]] double varrer(const Foguete& foguete, double& eco, double* cdt) {
  const Foguete f = foguete;
  double M, V, CF, CFL, CFT, C, CDAC, CFE, CFLE, CFTE, CDAE, CDA, CBC, CDBC, CDB, CDTB;
  double CDPE, CDPN, CDI, CDT, SOMA, CDMED = 0, M0;
  float CDP;
  int ABAIXO = 0;
  MACHMINIMO(f.TO, f.PO, f.RETC, f.RETE, f.L, f.LE, f.N, M0);
  SOMA = 0.0;
  for (long long ponto = 1; ponto <= f.IT; ++ponto) {
    const double i = static_cast<double>(ponto);
    M = (f.MMAX / static_cast<double>(f.IT)) * i;
    V = M * 1224.0;
    CDATRITOC(f.TO, f.PO, f.RETC, M, CF, f.SWET, CFL, CFT, C, f.L, f.SREF, CDAC, f.PI, f.LNA,
              f.DNA, f.NA, f.SWETNA, f.DC);
    CDATRITOE(f.TO, f.PO, f.RETE, M, CFE, f.SWETE, CFLE, CFTE, C, f.LE, f.SREF, CDAE, f.N);
    CDA = CDAC + CDAE;
    CDBASEC(f.SREF, f.PI, f.DC, CDBC, f.ST, M, f.MOTORLIGADO, CBC, CDA, CF);
    CDB = CDBC;
    CDTUBO(f.PI, f.DETB, f.DITB, f.LTB, f.SREF, CDTB, f.NT, M, f.SWETC);
    CDPRESSAOE(M, f.TC, f.S, CBC, f.N, f.E, f.SREF, CDPE, f.SA, f.AC);
    CDPRESSAON(M, f.NA, f.DNA, f.LNA, CDPN);
    CDP = static_cast<float>(CDPE + CDPN);
    CDINTERFERENCIA(CFE, f.E, f.LE, f.TC, f.DC, f.N, f.SREF, CDI);
    CDT = ((((CDA + CDB) + CDTB) + static_cast<double>(CDP)) + CDI) *
          static_cast<double>(1.05f);
    SOMA = CDT + SOMA;
    CDMED = SOMA / i;
    ABAIXO += !(M >= M0);
    eco = ((eco + M) + V) + CDT;
    if (cdt) cdt[ponto - 1] = CDT;
  }
  eco += ABAIXO;
  return CDMED;
}

void BM_1_drag_buildup(benchmark::State& state) {
  const Foguete f;
  for (auto _ : state) {
    double eco = 0.0;
    benchmark::DoNotOptimize(varrer(f, eco, nullptr));
    benchmark::DoNotOptimize(eco);
  }
  state.SetItemsProcessed(state.iterations() * kPontos);
}
BENCHMARK(BM_1_drag_buildup)->Unit(benchmark::kMillisecond)->UseRealTime();

// The records of both curve files laid out as the run lays them out in a
// RecordFile's 1 MiB buffer: three numbers a point worked out, the speed's
// and the drag coefficient's fields copied into the second file's record.
// The buffer starts over where a RecordFile would hand it to the disk. The
// points are the sweep's own, worked out beforehand.
void BM_2_number_writing(benchmark::State& state) {
  const Foguete f;
  std::vector<double> cdt(kPontos);
  double eco = 0.0;
  varrer(f, eco, cdt.data());
  const std::string_view fim = rt::line_end();
  std::vector<char> buffer(std::size_t{1} << 20);
  constexpr std::size_t kRegistro = 1 + 3 * rt::kDoubleField + 2;
  for (auto _ : state) {
    char* at = buffer.data();
    char* const limit = at + buffer.size();
    for (int ponto = 1; ponto <= kPontos; ++ponto) {
      const double M = (f.MMAX / static_cast<double>(f.IT)) * ponto;
      const double V = M * 1224.0;
      const double CDT = cdt[ponto - 1];
      if (static_cast<std::size_t>(limit - at) < 2 * kRegistro) {
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
        at = buffer.data();
      }
      const rt::DoubleField textoV(V), textoCDT(CDT);
      *at++ = ' ';
      rt::format_double(M, at);
      at = std::copy(textoV.text, textoV.text + rt::kDoubleField, at + rt::kDoubleField);
      at = std::copy(textoCDT.text, textoCDT.text + rt::kDoubleField, at);
      at = std::copy(fim.begin(), fim.end(), at);
      *at++ = ' ';
      at = std::copy(textoV.text, textoV.text + rt::kDoubleField, at);
      at = std::copy(textoCDT.text, textoCDT.text + rt::kDoubleField, at);
      at = std::copy(fim.begin(), fim.end(), at);
    }
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPontos);
}
BENCHMARK(BM_2_number_writing)->Unit(benchmark::kMillisecond)->UseRealTime();

// A temporary folder that is the working directory, with a PATH that holds
// no editor, for as long as it lives.
class PastaTemporaria {
 public:
  PastaTemporaria() {
    std::string pattern = (fs::temp_directory_path() / "arrasto-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
    before_ = fs::current_path();
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
    fs::current_path(folder_);
    ::setenv("PATH", folder_.c_str(), 1);
  }
  ~PastaTemporaria() {
    ::setenv("PATH", saved_path_.c_str(), 1);
    fs::current_path(before_);
    fs::remove_all(folder_);
  }

 private:
  fs::path folder_, before_;
  std::string saved_path_;
};

// The bytes of a million-point run's three files, written and committed
// (synced and renamed over the previous iteration's) the way the run does
// it: record by record into RecordFiles, whose full buffers go to the disk
// on their writer threads, the two curve files in step, then the report.
void BM_3_disk_writing(benchmark::State& state) {
  PastaTemporaria pasta;
  const std::string curva_registro(1 + 3 * rt::kDoubleField, '7');
  const std::string trajetoria_registro(1 + 2 * rt::kDoubleField, '7');
  for (auto _ : state) {
    rt::RecordFile curva("Curva1_foguete"), trajetoria("Curva_trajet\xC3\xB3ria_foguete");
    rt::RecordFile relatorio("foguete");
    for (int ponto = 1; ponto <= kPontos; ++ponto) {
      curva.text(curva_registro);
      curva.end_record();
      trajetoria.text(trajetoria_registro);
      trajetoria.end_record();
    }
    relatorio.text(std::string(480, '7'));
    relatorio.end_record();
    curva.finish();
    trajetoria.finish();
    relatorio.finish();
    curva.commit();
    trajetoria.commit();
    relatorio.commit();
  }
  state.SetItemsProcessed(state.iterations() * kPontos);
}
BENCHMARK(BM_3_disk_writing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The whole run: the arrasto program itself, started on the example with
// IT = 1,000,000 and waited for, as a user runs it (a process of its own,
// reading, sweeping, writing, syncing and renaming over the previous
// iteration's files).
void BM_4_whole_run(benchmark::State& state) {
  PastaTemporaria pasta;
  std::ofstream("dados.txt") << example_data(kPontos);
  for (auto _ : state) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::execl(ARRASTO_EXE, "arrasto", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("arrasto failed");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kPontos);
}
BENCHMARK(BM_4_whole_run)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
