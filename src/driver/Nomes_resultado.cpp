#include "driver/Nomes_resultado.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "runtime/platform/file_names.hpp"
#include "runtime/platform/messages.hpp"
#include "runtime/io/list_reader.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace arrasto {
namespace {

constexpr std::string_view kPrefixoCurva = "Curva1_";
constexpr std::string_view kPrefixoTrajetoria = "Curva_trajet\xF3ria_";

// A size for the user: bytes below a kilobyte, else kB, MB, GB or TB (powers
// of 1000, as disks are sold) with one decimal, a comma in Portuguese.
std::string tamanho(std::uint64_t bytes) {
  if (bytes < 1000) return std::to_string(bytes) + " bytes";
  constexpr const char* kUnidades[] = {"kB", "MB", "GB", "TB", "PB"};
  double valor = static_cast<double>(bytes) / 1000.0;
  std::size_t unidade = 0;
  while (valor >= 999.95 && unidade + 1 < std::size(kUnidades)) {
    valor /= 1000.0;
    ++unidade;
  }
  char texto[32];
  std::snprintf(texto, sizeof texto, "%.1f %s", valor, kUnidades[unidade]);
  std::string resultado = texto;
  if (rt::user_language() == "pt") std::replace(resultado.begin(), resultado.end(), '.', ',');
  return resultado;
}

}  // namespace

void NOMESRESULTADO(const rt::FixedText& NOME, const std::string& NOMECORTE,
                    rt::FixedText& ARQCURVA, rt::FixedText& ARQTRAJ, NomesResultado& nomes) {
  ARQCURVA = rt::join(kPrefixoCurva, NOME);
  ARQTRAJ = rt::join(kPrefixoTrajetoria, NOME);
  // The cut at 50 lies at the end of the trimmed name only when no blank
  // stands before it.
  const std::string_view nome = rt::trimmed(NOME);
  const rt::NameEncoding encoding =
      rt::name_encoding(nome, nome.size() == rt::kTextLength ? NOMECORTE : std::string());
  nomes.curva = rt::disk_name(rt::trimmed(ARQCURVA), kPrefixoCurva.size(), encoding);
  nomes.trajetoria = rt::disk_name(rt::trimmed(ARQTRAJ), kPrefixoTrajetoria.size(), encoding);
  nomes.relatorio = rt::disk_name(rt::trimmed(NOME), 0, encoding);
}

void VERIFICARNOMES(const NomesResultado& nomes, const std::string& data_file, int line) {
  const std::string where = data_file + ":" + std::to_string(line) + ": NOME: ";
  struct Resultado {
    std::string what;
    const std::string& name;
  };
  const std::array<Resultado, 3> files{{{rt::tr("the first curve file"), nomes.curva},
                                        {rt::tr("the second curve file"), nomes.trajetoria},
                                        {rt::tr("the report file"), nomes.relatorio}}};
  if (nomes.relatorio.empty())
    throw rt::RunError(where + rt::tr("the run name is blank, and it names the report file"));
  for (const Resultado& file : files) {
    // The program's hidden files begin so; a result file of such a name
    // could be taken for one of them.
    const std::string fault =
        file.name.starts_with(".arrasto")
            ? rt::tr("begins with \".arrasto\", kept for the program's hidden files")
            : rt::name_fault(file.name);
    if (!fault.empty())
      throw rt::RunError(where + rt::tr("the run name cannot name a file: {} {} {}",
                                        {file.what, rt::quoted(file.name), fault}));
  }

  // Compared by spelling and by what the file system says, so that a link,
  // or a name that differs only in case where case does not count, is
  // caught as well.
  const auto one_file = [](const std::string& a, const std::string& b) {
    if (rt::same_spelling(a, b)) return true;
    const std::optional<rt::FileId> ia = rt::file_identity(a);
    return ia && ia == rt::file_identity(b);
  };
  for (const Resultado& file : files)
    if (rt::is_folder(file.name))
      throw rt::RunError(where + rt::tr("{} {} is a folder here, and no file can replace it",
                                        {file.what, rt::quoted(file.name)}));
  for (const Resultado& file : files)
    if (one_file(file.name, data_file))
      throw rt::RunError(where + rt::tr("{} {} would overwrite the data file",
                                        {file.what, rt::quoted(file.name)}));
  for (std::size_t i = 0; i < files.size(); ++i)
    for (std::size_t j = i + 1; j < files.size(); ++j)
      if (one_file(files[i].name, files[j].name))
        throw rt::RunError(where + rt::tr("{} {} and {} {} would be one file",
                                          {files[i].what, rt::quoted(files[i].name),
                                           files[j].what, rt::quoted(files[j].name)}));
}

void VERIFICARESPACO(int IT, std::uint64_t bytes, const std::string& data_file, int line) {
  const std::optional<std::uint64_t> livre = rt::free_space("");
  if (!livre || bytes <= *livre) return;
  throw rt::RunError(data_file + ":" + std::to_string(line) + ": IT: " +
                     rt::tr("{} points need {} for the result files, and the folder has {} free",
                            {std::to_string(IT), tamanho(bytes), tamanho(*livre)}));
}

}  // namespace arrasto
