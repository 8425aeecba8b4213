#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "viewer/viewer_command_line.h"

namespace ampelon {
namespace {

using Action = ViewerCommandLine::Action;

TEST(ViewerCommandLine, WhatEachCommandLineAsks) {
  const struct {
    std::vector<std::string> arguments;
    Action action;
    std::string file;
    std::string output;
    int width = 1280;
    int height = 720;
    bool json = false;
    std::optional<std::string> battery = std::nullopt;
  } cases[] = {
      {{}, Action::kView, "", ""},
      {{"--follow"}, Action::kView, "", ""},
      {{"c.log"}, Action::kView, "c.log", ""},
      {{"--", "--follow"}, Action::kView, "--follow", ""},
      {{"--export-csv", "out.csv", "c.log"}, Action::kExportCsv, "c.log", "out.csv"},
      {{"c.log", "--export-png", "o.png", "--size", "1920x1080"},
       Action::kExportPng,
       "c.log",
       "o.png",
       1920,
       1080},
      {{"--export-png", "o.png", "c.log"}, Action::kExportPng, "c.log", "o.png"},
      {{"--export-report", "r.pdf", "c.log"}, Action::kExportReport, "c.log", "r.pdf"},
      {{"c.log", "--version"}, Action::kVersion, "", ""},
      {{"--summary", "c.log"}, Action::kSummary, "c.log", ""},
      {{"--json", "c.log", "--summary"}, Action::kSummary, "c.log", "", 1280, 720, true},
      {{"--history"}, Action::kHistory, "", ""},
      {{"--history", "--json", "AA 3"}, Action::kHistory, "", "", 1280, 720, true, "AA 3"},
      {{"", "--history"}, Action::kHistory, "", "", 1280, 720, false, ""},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseViewerCommandLine(c.arguments);
    ASSERT_TRUE(parsed) << parsed.error();
    EXPECT_EQ(parsed->action, c.action);
    if (c.action == Action::kVersion) continue;
    EXPECT_EQ(parsed->file, c.file);
    EXPECT_EQ(parsed->output, c.output);
    EXPECT_EQ(parsed->width, c.width);
    EXPECT_EQ(parsed->height, c.height);
    EXPECT_EQ(parsed->json, c.json);
    EXPECT_EQ(parsed->battery, c.battery);
  }
}

TEST(ViewerCommandLine, MistakesAreNamed) {
  const struct {
    std::vector<std::string> arguments;
    std::string reason;
  } cases[] = {
      {{"--export-csv"}, "--export-csv needs a value"},
      {{"--export-csv", "o.csv"}, "the export needs a graph log"},
      {{"--export-png", "o.png", "--size", "0x10", "c.log"},
       "--size wants WIDTHxHEIGHT in pixels, each 1 to 16384, not 0x10"},
      {{"--export-png", "o.png", "--size", "800x", "c.log"},
       "--size wants WIDTHxHEIGHT in pixels, each 1 to 16384, not 800x"},
      {{"--size", "800x600", "c.log"}, "--size goes with --export-png"},
      {{"--export-report", "r.pdf", "--size", "800x600", "c.log"}, "--size goes with --export-png"},
      {{"--export-report", "r.pdf", "--export-csv", "o.csv", "c.log"},
       "only one export can be made at a time"},
      {{"--export-csv", "a.csv", "--export-png", "b.png", "c.log"},
       "only one export can be made at a time"},
      {{"--follow", "c.log"}, "--follow shows the running charge, not a file"},
      {{"a.log", "b.log"}, "only one file can be opened, not also b.log"},
      {{"--history", "AA 1", "AA 2"}, "only one battery can be named, not also \"AA 2\""},
      {{"-x"}, "unknown option -x"},
      {{"--summary", ""}, "the file name is empty"},
      {{"--summary"}, "--summary needs a graph log"},
      {{"--json", "c.log"}, "--json goes with --summary or --history"},
      {{"--history", "--export-csv", "o.csv", "c.log"}, "--history goes without an export"},
      {{"--summary", "--export-csv", "o.csv", "c.log"}, "--summary goes without an export"},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseViewerCommandLine(c.arguments);
    ASSERT_FALSE(parsed) << c.reason;
    EXPECT_EQ(parsed.error(), c.reason);
  }
}

}  // namespace
}  // namespace ampelon
