#include "driver/Principal.hpp"

#include <limits>

#include "drag/Cd_atrito.hpp"
#include "drag/Cd_base.hpp"
#include "drag/Cd_interferencia.hpp"
#include "drag/Cd_pressao.hpp"
#include "drag/Cd_tuboguia.hpp"
#include "driver/Leitura_dados.hpp"
#include "driver/Nomes_resultado.hpp"
#include "driver/Unidades.hpp"
#include "geometry/Geometria_derivada.hpp"
#include "geometry/Nariz_geometria.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/io/record_file.hpp"

namespace arrasto {
namespace {

// Texts of the result files, in Windows-1252.
constexpr std::string_view kCabecalho =
    " # N\xFAmero de Mach            V(km/h)           Coeficiente de arrasto";
constexpr std::string_view kRotuloMach = "COEFICIENTE DE ARRASTO PARA MACHI =";
constexpr std::string_view kRotuloAtrito = "Coeficiente de arrasto de atrito:";
constexpr std::string_view kRotuloBase = "Coeficiente de arrasto de base:";
constexpr std::string_view kRotuloTubo = "Coeficiente de arrasto do tubo-guia:";
constexpr std::string_view kRotuloPressao = "Coeficiente de arrasto de press\xE3o:";
constexpr std::string_view kRotuloInterferencia = "Coeficiente de arrasto de interfer\xEAncia:";
constexpr std::string_view kRotuloTotal = "COEFICIENTE DE ARRASTO TOTAL:";
constexpr std::string_view kRotuloMedio = "COEFICIENTE DE ARRASTO M\xC9" "DIO:";
constexpr std::string_view kRotuloM0 = "Menor n\xFAmero de Mach v\xE1lido (M0):";
constexpr std::string_view kRotuloAbaixo = "Pontos da varredura abaixo de M0:";

// Until a sweep point sets them, the per-point values are not a number: a
// run without points reports NaN for them.
constexpr double kSemValor = std::numeric_limits<double>::quiet_NaN();

void registro(rt::RecordFile& arquivo, std::string_view rotulo, double valor) {
  arquivo.begin_record();
  arquivo.text(rotulo);
  arquivo.real(valor);
  arquivo.end_record();
}

void registro_vazio(rt::RecordFile& arquivo) {
  arquivo.begin_record();
  arquivo.end_record();
}

// The report: the breakdown at the last point, the mean over the sweep, and
// the model's range: the lowest Mach number M0 inside the friction model
// and how many of the sweep's points lie below it.
void RELATORIO(rt::RecordFile& relatorio, const double& MMAX, const double& CDA,
               const double& CDB, const double& CDTB, const float& CDP, const double& CDI,
               const double& CDT, const double& CDMED, const double& M0, const int& ABAIXO) {
  registro(relatorio, kRotuloMach, MMAX);
  registro_vazio(relatorio);
  registro(relatorio, kRotuloAtrito, CDA);
  registro_vazio(relatorio);
  registro(relatorio, kRotuloBase, CDB);
  registro_vazio(relatorio);
  registro(relatorio, kRotuloTubo, CDTB);
  registro_vazio(relatorio);
  relatorio.begin_record();
  relatorio.text(kRotuloPressao);
  relatorio.single(CDP);
  relatorio.end_record();
  registro_vazio(relatorio);
  registro(relatorio, kRotuloInterferencia, CDI);
  registro_vazio(relatorio);
  registro_vazio(relatorio);
  registro(relatorio, kRotuloTotal, CDT);
  registro_vazio(relatorio);
  registro(relatorio, kRotuloMedio, CDMED);
  registro_vazio(relatorio);
  registro(relatorio, kRotuloM0, M0);
  registro_vazio(relatorio);
  relatorio.begin_record();
  relatorio.text(kRotuloAbaixo);
  relatorio.integer(ABAIXO);
  relatorio.end_record();
}

}  // namespace

std::uint64_t BYTESRESULTADO(int IT) {
  // Every record has a fixed width: a blank, the items, the line end.
  const std::uint64_t fim = rt::line_end().size();
  const std::uint64_t pontos = IT > 0 ? static_cast<std::uint64_t>(IT) : 0;
  const std::uint64_t curva =
      (1 + kCabecalho.size() + fim) + pontos * (1 + 3 * rt::kDoubleField + fim);
  const std::uint64_t trajetoria = pontos * (1 + 2 * rt::kDoubleField + fim);
  // The report, a few hundred bytes, is counted as 4 KiB.
  return curva + trajetoria + 4096;
}

void PRINCIPAL() {
  // Data file values.
  rt::FixedText NOME{};
  std::string NOMECORTE;
  int LINHANOME = 0, LINHAIT = 0, U = 0, IT = 0, NA = 0, AC = 0, MOTORLIGADO = 0, NT = 0;
  double TO1 = 0, PO1 = 0, RETC = 0, RETE = 0, MMAX = 0, TO = 0, PO = 0, PI = 0;
  double LNA = 0, DNA = 0, LC = 0, DC = 0, N = 0, E = 0, RC = 0, TC = 0, S = 0, SC = 0;
  double DT = 0, DETB = 0, ETB = 0, LTB = 0;
  // Geometry.
  double SWETNA = kSemValor, SWETC = 0, L = 0, SWET = 0, SREF = 0, SA = 0, SWETE = 0, LE = 0;
  double ST = 0, DITB = 0;
  // Per-point values; after the sweep they hold the last point's.
  double M = kSemValor, V = kSemValor;
  double CF = kSemValor, CFL = kSemValor, CFT = kSemValor, CDAC = kSemValor, C = kSemValor;
  double CFE = kSemValor, CFLE = kSemValor, CFTE = kSemValor, CDAE = kSemValor;
  double CDA = kSemValor, CBC = kSemValor, CDBC = kSemValor, CDB = kSemValor;
  double CDTB = kSemValor, CDPE = kSemValor, CDPN = kSemValor, CDI = kSemValor;
  float CDP = std::numeric_limits<float>::quiet_NaN();
  double CDT = kSemValor, SOMA = 0, CDMED = kSemValor;
  // The model's range: its lowest Mach number and the points below it.
  double M0 = kSemValor;
  int ABAIXO = 0;
  rt::FixedText ARQCURVA{}, ARQTRAJ{};
  NomesResultado nomes;

  // The three result files are one set: they replace the older three
  // together. Made now, it first finishes what a run killed half-way left
  // in the folder, so that the user finds whole results while editing.
  rt::OutputSet resultados;

  // The user edits and saves the data before it is read.
  if (const rt::EditorEnd fim = rt::run_editor(kArquivoDados); fim.interrupted())
    rt::stop_interrupted(fim);

  {
    rt::ListReader leitor(kArquivoDados);
    LERDADOS(leitor, NOME, LINHANOME, NOMECORTE, U, TO1, PO1, RETC, RETE, MMAX, IT, LINHAIT, TO, PO,
             PI, NA, LNA, DNA, LC, DC, N, AC, E, RC, TC, S, SC, MOTORLIGADO, DT, NT, DETB, ETB, LTB);
  }
  if (U == 2)
    PES(LNA, DNA, LC, DC, E, RC, TC, S, SC, DT, DETB, ETB, LTB);
  else if (U == 3)
    POLEGADAS(LNA, DNA, LC, DC, E, RC, TC, S, SC, DT, DETB, ETB, LTB);

  NARIZGEO(PI, NA, LNA, DNA, SWETNA);
  GEOMETRIA(PI, LNA, LC, DC, RC, TC, S, SC, DT, DETB, ETB, SWETNA, SWETC, L, SWET, SREF, SA,
            SWETE, LE, ST, DITB);

  // Every check is done before the first result file is touched.
  NOMESRESULTADO(NOME, NOMECORTE, ARQCURVA, ARQTRAJ, nomes);
  VERIFICARNOMES(nomes, kArquivoDados, LINHANOME);
  VERIFICARESPACO(IT, BYTESRESULTADO(IT), kArquivoDados, LINHAIT);

  // All three files are opened before the sweep, so that one that may not
  // be replaced (read-only, say) stops the run before any is written.
  rt::RecordFile curva(resultados, nomes.curva);
  rt::RecordFile trajetoria(resultados, nomes.trajetoria);
  rt::RecordFile relatorio(resultados, nomes.relatorio);
  curva.begin_record();
  curva.text(kCabecalho);
  curva.end_record();

  MACHMINIMO(TO, PO, RETC, RETE, L, LE, N, M0);
  SOMA = 0.0;
  // The count runs in 64 bits so that IT = 2147483647 ends.
  for (long long ponto = 1; ponto <= IT; ++ponto) {
    const double i = static_cast<double>(ponto);
    M = (MMAX / static_cast<double>(IT)) * i;
    V = M * 1224.0;
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
    // 1.0499999523162842 is the single-precision 1.05, widened.
    CDT = ((((CDA + CDB) + CDTB) + static_cast<double>(CDP)) + CDI) *
          static_cast<double>(1.05f);
    SOMA = CDT + SOMA;
    CDMED = SOMA / i;
    ABAIXO += !(M >= M0);  // a NaN Mach number is not inside the model either

    // V and CDT go to both curves: their digits are worked out once.
    const rt::DoubleField textoV(V), textoCDT(CDT);
    curva.begin_record();
    curva.real(M);
    curva.real(textoV);
    curva.real(textoCDT);
    curva.end_record();
    trajetoria.begin_record();
    trajetoria.real(textoV);
    trajetoria.real(textoCDT);
    trajetoria.end_record();
  }

  // The report holds the values as the sweep left them, so it is written
  // now; all three files are complete on disk before the first older file
  // is replaced, and a run that fails here has changed nothing. Then the
  // three replace the older three at once.
  RELATORIO(relatorio, MMAX, CDA, CDB, CDTB, CDP, CDI, CDT, CDMED, M0, ABAIXO);
  curva.finish();
  trajetoria.finish();
  relatorio.finish();
  resultados.commit();

  // The user sees the curves, then the report; the set is whole already,
  // so an editor ended by the interrupt key ends the run with nothing left
  // to do.
  rt::EditorEnd fim = rt::run_editor(nomes.curva);
  if (!fim.interrupted()) fim = rt::run_editor(nomes.trajetoria);
  if (!fim.interrupted()) fim = rt::run_editor(nomes.relatorio);
  if (fim.interrupted()) rt::stop_interrupted(fim);
}

}  // namespace arrasto
