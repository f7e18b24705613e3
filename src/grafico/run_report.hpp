#pragma once
// The report arrasto writes beside its curve files, read for what a picture
// of the curve needs: M0, the lowest Mach number at which the model's
// friction terms hold. The report is named by the run name, which the curve
// file's name carries after "Curva1_"; it is taken only when it belongs to
// the same run as the curve: the same highest Mach number, and as many of
// the curve's points below M0 as the report counts.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace grafico {

struct RunReport {
  double mmax;          // the sweep's highest Mach number, the first record
  double lowest_mach;   // M0; infinite when no Mach number is inside the model
  std::uint64_t below;  // the sweep's points below M0
};

// The values of a report's text; nothing when the text is not a report
// that states M0 (a report of an older version, a file edited by hand,
// any other file).
std::optional<RunReport> parse_run_report(std::string_view text);

// The reports that may be the run's of a curve file, held against the
// curve's points as they stream past. The report's name is the run name;
// when the curve file's name may hold only the first 43 characters of a
// longer run name, reports whose names go on from it are candidates too.
class RunReportMatch {
 public:
  explicit RunReportMatch(const std::filesystem::path& curve_file);

  bool any_candidate() const { return !candidates_.empty(); }
  // The curve's next point, in file order.
  void add(double mach);
  // M0 of the report that matches the points added: the one named by the
  // whole run name, else the only one among the longer names; nothing when
  // none matches or the choice is not clear.
  std::optional<double> lowest_mach() const;

 private:
  struct Candidate {
    RunReport report;
    bool whole_name;
    // Points below M0 counted with M0 a hair lower and a hair higher: the
    // curve file and the report hold 15 significant digits of each value.
    std::uint64_t surely_below = 0, maybe_below = 0;
  };
  bool matches(const Candidate& candidate) const;

  std::vector<Candidate> candidates_;
  std::uint64_t points_ = 0;
  double last_mach_ = 0;
};

// M0 of the run whose first curve file this is, read from its report;
// nothing when the report is missing, is another run's, or cannot be read.
// Reads the curve file through when a report is found.
std::optional<double> model_lowest_mach(const std::filesystem::path& curve_file);

}  // namespace grafico
