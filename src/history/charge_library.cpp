#include "history/charge_library.h"

#include <SQLiteCpp/Database.h>

namespace ampelon {

ChargeLibrary::ChargeLibrary(std::unique_ptr<SQLite::Database> database,
                             std::string setAsideMessage)
    : m_database(std::move(database)), m_setAsideMessage(std::move(setAsideMessage)) {}
ChargeLibrary::ChargeLibrary(ChargeLibrary&&) noexcept = default;
ChargeLibrary& ChargeLibrary::operator=(ChargeLibrary&&) noexcept = default;
ChargeLibrary::~ChargeLibrary() = default;

Result<ChargeLibrary> ChargeLibrary::Open(const std::filesystem::path&) {
  return Failure{"The charge library is not built yet."};
}

Result<std::vector<ChargeRecord>> ChargeLibrary::Register(const std::string&, std::uint64_t,
                                                          std::int64_t,
                                                          const std::vector<ChargeFigures>&) {
  return Failure{"The charge library is not built yet."};
}
Result<std::optional<ChargeRecord>> ChargeLibrary::Find(std::uint64_t, std::size_t) {
  return std::optional<ChargeRecord>();
}
Result<void> ChargeLibrary::SetDetails(std::int64_t, const BatteryDetails&) { return {}; }
Result<std::int64_t> ChargeLibrary::AddNote(std::int64_t, const PinnedNote&) {
  return std::int64_t{0};
}
Result<void> ChargeLibrary::UpdateNote(std::int64_t, const std::string&) { return {}; }
Result<void> ChargeLibrary::RemoveNote(std::int64_t) { return {}; }
Result<std::vector<std::string>> ChargeLibrary::BatteryNames() {
  return std::vector<std::string>();
}
Result<std::vector<BatterySummary>> ChargeLibrary::Batteries() {
  return std::vector<BatterySummary>();
}
Result<std::vector<ChargeRecord>> ChargeLibrary::ChargesOf(const std::string&) {
  return std::vector<ChargeRecord>();
}

}  // namespace ampelon
