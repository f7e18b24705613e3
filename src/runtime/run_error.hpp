#pragma once
// The one kind of failure a run reports: a complete, one-line message for
// standard error (file, line, value, what is wrong). main prints it and exits 1.

#include <stdexcept>
#include <string>
#include <utility>

namespace rt {

class RunError : public std::runtime_error {
 public:
  explicit RunError(const std::string& message) : std::runtime_error(message) {}
};

// A file to be read is not there at all; name() is the name asked for, so
// that a program can say where to put the file.
class MissingFile : public RunError {
 public:
  MissingFile(const std::string& message, std::string name)
      : RunError(message), name_(std::move(name)) {}
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

}  // namespace rt
