#pragma once
// Reading a first curve file: a header line, then one line per sweep point
// holding three numbers (Mach number, speed in km/h, drag coefficient) in
// the list-directed form arrasto writes them. The file is read as a stream,
// a line at a time, so that memory stays flat however long it is.

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace grafico {

struct CurvePoint {
  double mach;
  double speed_kmh;
  double drag;
};

// A line that cannot be read; line() counts from 1. what() is in the
// user's language and does not name the file.
class CurveError : public std::runtime_error {
 public:
  CurveError(std::size_t line, const std::string& what)
      : std::runtime_error(what), line_(line) {}
  std::size_t line() const { return line_; }

 private:
  std::size_t line_;
};

// Fills a buffer with up to size bytes of the file; 0 at its end.
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// Longer lines are refused: arrasto writes lines of under 100 bytes, and a
// file that is not a curve file (a binary, a device) must not fill memory.
inline constexpr std::size_t kMaxLineBytes = 4096;

// The points of a curve file in file order. Lines end in LF or CR LF; the
// numbers may stand anywhere on their line, separated by blanks. Blank
// lines are passed over.
class CurveReader {
 public:
  explicit CurveReader(ByteSource source);

  // The next point; nothing at the end of the file. Throws CurveError.
  std::optional<CurvePoint> next();

 private:
  bool next_line(std::string_view& line);

  ByteSource source_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0, end_ = 0;  // the bytes not yet taken
  std::size_t line_number_ = 0;
  bool at_end_ = false;
};

}  // namespace grafico
