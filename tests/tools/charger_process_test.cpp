// Runs the built charger on a real pseudo-terminal with a private settings file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "measurement/serial_line_decoder.h"
#include "settings/ini_document.h"

extern char** environ;

namespace ampelon {
namespace {

using Clock = std::chrono::steady_clock;

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Reads from `fd` until `done` says so or `seconds` pass.
template <typename Done>
std::string ReadFor(int fd, double seconds, Done done) {
  std::string text;
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < end && !done(text)) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, 20) <= 0) continue;
    char bytes[4096];
    const ssize_t got = ::read(fd, bytes, sizeof bytes);
    if (got <= 0) break;
    text.append(bytes, static_cast<std::size_t>(got));
  }
  return text;
}

class ChargerProcessTest : public ::testing::Test {
 protected:
  ChargerProcessTest() {
    char folder[] = "/tmp/ampelon-charger-XXXXXX";
    m_folder = ::mkdtemp(folder);
  }
  ~ChargerProcessTest() override {
    if (m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) == 0) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
    if (m_output >= 0) ::close(m_output);
    std::filesystem::remove_all(m_folder);
  }

  // Starts the charger with its stdout on a pipe.
  void Start(std::vector<std::string> arguments) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    arguments.insert(arguments.begin(), AMPELON_CHARGER);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    ASSERT_EQ(::posix_spawn(&m_pid, AMPELON_CHARGER, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    m_output = pipeEnds[0];
  }

  // The exit status after SIGTERM, or -1 when the charger does not end within five seconds.
  int Terminate() {
    ::kill(m_pid, SIGTERM);
    const auto end = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
      if (Clock::now() > end) return -1;
      ::usleep(10000);
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string m_folder;
  pid_t m_pid = -1;
  int m_output = -1;
};

TEST_F(ChargerProcessTest, SendsCanonicalReadingsAndCleansUpOnSigterm) {
  const std::string settingsPath = m_folder + "/settings.ini";
  const std::string linkPath = m_folder + "/charger";
  const std::string settings =
      "[General]\r\nPort=7\r\nRange=.3\r\n\r\n[Ports]\r\nCOM1=/dev/ttyUSB0\r\n"
      "COM7=/dev/serial/by-id/usb-adapter\r\n\r\n[Window]\r\nLeft=100\r\n";
  std::ofstream(settingsPath, std::ios::binary) << settings;

  Start({"--settings-file", settingsPath, "--port", "7", "--speed", "1000", "--link", linkPath});
  const std::string startLine =
      ReadFor(m_output, 5.0, [](const std::string& text) { return text.ends_with('\n'); });
  ASSERT_TRUE(startLine.ends_with('\n')) << startLine;

  const std::optional<std::string> slavePath =
      IniDocument(ReadText(settingsPath)).Value("Ports", "COM7");
  ASSERT_TRUE(slavePath && slavePath->starts_with("/dev/pts/")) << ReadText(settingsPath);
  EXPECT_NE(startLine.find(*slavePath), std::string::npos) << startLine;
  EXPECT_EQ(std::filesystem::read_symlink(linkPath), *slavePath);

  const int slave = ::open(slavePath->c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(slave, 0);
  const auto readStart = Clock::now();
  const std::string received = ReadFor(slave, 1.0, [](const std::string&) { return false; });
  const double seconds = std::chrono::duration<double>(Clock::now() - readStart).count();
  ::close(slave);
  EXPECT_EQ(Terminate(), 0);

  // 1920 bytes a second, and a line of slack for where the measurement starts.
  EXPECT_LE(static_cast<double>(received.size()), 1920.0 * seconds + 6.0);
  std::istringstream lines(received);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    const auto reading = ParseReading(line);
    ASSERT_TRUE(reading) << "line " << count << ": " << ::testing::PrintToString(line);
    // The start of the charge: 1.2 V to 1.45 V.
    EXPECT_GE(*reading, 1960);
    EXPECT_LE(*reading, 2380);
  }
  EXPECT_GT(count, 100);
  EXPECT_TRUE(received.ends_with('\n'));

  EXPECT_EQ(ReadText(settingsPath), settings);
  EXPECT_FALSE(std::filesystem::is_symlink(linkPath));
}

// A device on a cable does not wait for a listener: what is sent while no program has the port
// open is lost, and the next program to open it starts on a whole, current line.
TEST_F(ChargerProcessTest, ReplayDropsLinesWhileNoProgramHasThePortOpen) {
  const std::string logPath = m_folder + "/ascending.txt";
  std::ofstream log(logPath, std::ios::binary);
  for (int i = 1; i <= 30000; ++i) log << i << "\r\n";
  log.close();
  const std::string linkPath = m_folder + "/charger";
  Start({"--no-settings", "--link", linkPath, "--replay", logPath, "--interval", "1", "--speed",
         "1000"});
  ASSERT_TRUE(ReadFor(m_output, 5.0, [](const std::string& text) {
                return text.ends_with('\n');
              }).ends_with('\n'));

  const auto session = [&] {
    const int slave = ::open(linkPath.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(slave, 0);
    std::string text = ReadFor(slave, 0.3, [](const std::string&) { return false; });
    ::close(slave);
    std::vector<int> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      const auto reading = ParseReading(line);
      EXPECT_TRUE(reading) << ::testing::PrintToString(line);
      values.push_back(reading.value_or(-1));
    }
    // In one session nothing is lost or repeated.
    for (std::size_t i = 1; i < values.size(); ++i) EXPECT_EQ(values[i], values[i - 1] + 1);
    EXPECT_TRUE(text.ends_with('\n'));
    return values;
  };
  const std::vector<int> first = session();
  ::usleep(300000);
  const std::vector<int> second = session();
  EXPECT_EQ(Terminate(), 0);

  ASSERT_GT(first.size(), 30u);
  ASSERT_GT(second.size(), 30u);
  // About 100 lines fell into the 0.3 s nobody listened.
  EXPECT_GT(second.front(), first.back() + 50);
  EXPECT_FALSE(std::filesystem::exists(linkPath));
}

}  // namespace
}  // namespace ampelon
