#include "files/not_regular_file.h"

namespace ampelon {

std::string NotRegularFileReason(std::filesystem::file_type type) {
  using std::filesystem::file_type;
  const char* what = "something else";
  switch (type) {
    case file_type::directory:
      what = "a folder";
      break;
    case file_type::fifo:
      what = "a named pipe (FIFO)";
      break;
    case file_type::socket:
      what = "a socket";
      break;
    case file_type::character:
    case file_type::block:
      what = "a device";
      break;
    default:
      break;
  }
  return std::string("It is ") + what + ", not a regular file";
}

}  // namespace ampelon
