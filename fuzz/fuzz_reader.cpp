// libFuzzer target: any bytes at all as the data file. The reading and the
// result-name checks must take all 26 values or end with one error in the
// reader's form, and CR LF or CR line ends must change nothing; anything else, and
// any sanitizer report, is a crash.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "data_file_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const arrasto_fuzz::Outcome outcome =
      arrasto_fuzz::check_data_file_both_line_ends({reinterpret_cast<const char*>(data), size});
  if (!outcome.fault.empty()) {
    std::fprintf(stderr, "arrasto_fuzz_reader: %s\n", outcome.fault.c_str());
    if (!outcome.message.empty())
      std::fprintf(stderr, "the message was: %s\n", outcome.message.c_str());
    std::abort();
  }
  return 0;
}
