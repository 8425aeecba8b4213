#pragma once

#include <filesystem>
#include <string>

namespace ampelon {

// What putting charges in the charge library has to tell the user, each said once.
struct RegistrarNews {
  std::string problem;   // why charges are not being kept in the library; "" when they are
  std::string setAside;  // where a damaged library was put aside for a new one; "" when none was
};

// Puts the charges of graph logs in the user's charge library without the caller waiting.
class ChargeRegistrar {
 public:
  virtual ~ChargeRegistrar() = default;
  // The charges of the graph log at `graphLog` (with the times beside it) join the library
  // later; returns at once.
  virtual void Register(const std::filesystem::path& graphLog) = 0;
  // What happened since the last call that the user must hear.
  virtual RegistrarNews TakeNews() = 0;
};

}  // namespace ampelon
