#pragma once
// The one kind of failure a run reports: a complete, one-line message for
// standard error (file, line, value, what is wrong). main prints it and exits 1.

#include <stdexcept>
#include <string>

namespace rt {

class RunError : public std::runtime_error {
 public:
  explicit RunError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace rt
