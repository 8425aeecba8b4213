#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "charger/charge_curve.h"
#include "history/charge_library.h"
#include "viewer/charge_analysis.h"

namespace ampelon {
namespace {

// The simulated charger's curve, a reading every two seconds with a count or two of noise, as
// a graph log with its times beside it when `withTimes`.
void WriteCurve(const QString& log, bool withTimes) {
  std::ofstream logFile(log.toStdString(), std::ios::binary);
  std::ofstream timesFile;
  if (withTimes) timesFile.open(log.chopped(4).toStdString() + ".times", std::ios::binary);
  std::mt19937 random(5);
  for (double t = 0; t <= ChargeCurve::kEndSeconds; t += 2) {
    logFile << ChargeCurve::Counts(ChargeCurve::Volts(t)) + static_cast<int>(random() % 3) - 1
            << "\r\n";
    if (withTimes) timesFile << t << "\r\n";
  }
}

struct Finished {
  int exitCode;
  std::string out;
  std::string err;
};

Finished Summary(const QTemporaryDir& folder, const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.path());
  environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.path());
  // A decimal comma where the user reads numbers; scripts still get points.
  environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(AMPELON_VIEWER), arguments);
  process.waitForFinished(30000);
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

// As a script runs it: the peak and the fall after it found within minutes of where the curve
// has them, in the JSON's keys and no others, null where the times are not known.
TEST(SummaryCommand, JudgesTheSimulatedChargersCurve) {
  QTemporaryDir folder;
  const QString timed = folder.filePath(QStringLiteral("charge.log"));
  const QString untimed = folder.filePath(QStringLiteral("untimed.log"));
  WriteCurve(timed, true);
  WriteCurve(untimed, false);
  const std::vector<std::string> keys = {"first_sample", "last_sample",      "start_volts",
                                         "peak_volts",   "peak_sample",      "peak_seconds",
                                         "end",          "end_sample",       "end_seconds",
                                         "drop_mv",      "duration_seconds", "slope_mv_per_min",
                                         "noise_mv"};
  const double peak = ChargeCurve::kPeakSeconds;
  for (const QString& log : {timed, untimed}) {
    SCOPED_TRACE(log.toStdString());
    const Finished run =
        Summary(folder, {QStringLiteral("--summary"), QStringLiteral("--json"), log});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json summary = nlohmann::json::parse(run.out);
    EXPECT_EQ(summary.size(), 3u);
    EXPECT_EQ(summary["readings"], 4951);
    EXPECT_EQ(summary["times_known"], log == timed);
    ASSERT_EQ(summary["charges"].size(), 1u);
    const nlohmann::json& charge = summary["charges"][0];
    ASSERT_EQ(charge.size(), keys.size());
    for (const std::string& key : keys) EXPECT_TRUE(charge.contains(key)) << key;
    EXPECT_EQ(charge["end"], "peak-passed");
    EXPECT_NEAR(charge["peak_volts"].get<double>(), ChargeCurve::kPeakVolts, 0.002);
    // Samples count from 1, two seconds apart.
    EXPECT_NEAR(charge["peak_sample"].get<double>(), peak / 2 + 1, 150);
    EXPECT_GE(charge["end_sample"].get<double>(), peak / 2 + 1);
    EXPECT_LE(charge["end_sample"].get<double>(), (peak + 600) / 2 + 1);
    if (log == timed) {
      EXPECT_NEAR(charge["end_seconds"].get<double>(), peak + 300, 300);
      EXPECT_EQ(charge["duration_seconds"], ChargeCurve::kEndSeconds);
    } else {
      for (const char* key :
           {"peak_seconds", "end_seconds", "duration_seconds", "slope_mv_per_min"}) {
        EXPECT_TRUE(charge[key].is_null()) << key;
      }
    }
  }
  const Finished text = Summary(folder, {QStringLiteral("--summary"), timed});
  EXPECT_NE(text.out.find("End: peak-passed at 2:3"), std::string::npos) << text.out;
  // The window's threshold judges for scripts too: the curve falls 8 mV, short of 10.
  QDir(folder.path()).mkdir(QStringLiteral("Trevanix Ampelon"));
  std::ofstream(folder.filePath(QStringLiteral("Trevanix Ampelon/viewer.ini")).toStdString())
      << "Peak%20Drop%20mV=10\n";
  const Finished stricter = Summary(folder, {QStringLiteral("--summary"), timed});
  EXPECT_NE(stricter.out.find("End: rising"), std::string::npos) << stricter.out;
  std::ofstream(folder.filePath(QStringLiteral("one.log")).toStdString()) << "2000\r\n";
  const Finished one = Summary(folder, {QStringLiteral("--summary"), folder.filePath("one.log")});
  EXPECT_NE(one.out.find("1 reading, too few to judge"), std::string::npos) << one.out;
  const Finished missing =
      Summary(folder, {QStringLiteral("--summary"), folder.filePath("none.log")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("Could not open"), std::string::npos) << missing.err;
}

// A battery charged three times, each peaking sooner, as the charge library keeps it: --history
// lists it with its judgement, and with its name gives its charges with their figures, the
// charge put in at the current given. No library yet: no battery, and none made.
TEST(HistoryCommand, ListsTheBatteriesAndTheChargesOfOne) {
  QTemporaryDir folder;
  const auto history = [&](QStringList arguments) {
    arguments.prepend(QStringLiteral("--history"));
    return Summary(folder, arguments);
  };
  const Finished empty = history({QStringLiteral("--json")});
  ASSERT_EQ(empty.exitCode, 0) << empty.err;
  EXPECT_EQ(nlohmann::json::parse(empty.out)["batteries"].size(), 0u);
  EXPECT_FALSE(QDir(folder.filePath(QStringLiteral("Trevanix Ampelon"))).exists());

  const QString log = folder.filePath(QStringLiteral("charge.log"));
  WriteCurve(log, true);
  const Result<AnalysedChargeFile> curve =
      LoadAnalysedChargeFile(log.toStdString(), charge_rules::kPeakDropMillivolts);
  ASSERT_TRUE(curve) << curve.error();
  const ChargeAnalyser& analyser = curve->analysis.Analyser();
  {
    QDir(folder.path()).mkdir(QStringLiteral("Trevanix Ampelon"));
    Result<ChargeLibrary> library = ChargeLibrary::Open(
        folder.filePath(QStringLiteral("Trevanix Ampelon/charges.sqlite")).toStdString());
    ASSERT_TRUE(library) << library.error();
    for (int i = 0; i < 3; ++i) {
      ChargeFigures figures = analyser.Figures(0);
      *figures.peakSeconds *= 1 - 0.15 * i;
      const auto records = library->Register("/charges/" + std::to_string(i) + ".log", 1000 + i,
                                             1767225600 + 86400 * i, {figures});
      ASSERT_TRUE(records) << records.error();
      const BatteryDetails details{"AA 1", Chemistry::kNiMH, 2000, 1000, {"in a\ndrawer\0!", 13}};
      ASSERT_TRUE(library->SetDetails(records->front().id, details));
    }
  }
  const Finished all = history({QStringLiteral("--json")});
  ASSERT_EQ(all.exitCode, 0) << all.err;
  const nlohmann::json batteries = nlohmann::json::parse(all.out)["batteries"];
  ASSERT_EQ(batteries.size(), 1u);
  EXPECT_EQ(batteries[0]["name"], "AA 1");
  EXPECT_EQ(batteries[0]["chemistry"], "NiMH");
  EXPECT_EQ(batteries[0]["charges"], 3);
  EXPECT_EQ(batteries[0]["last_charged"], "2026-01-03T00:00:00Z");
  EXPECT_NE(batteries[0]["judgement"].get<std::string>().find("shorter"), std::string::npos)
      << batteries[0]["judgement"];

  const Finished one = history({QStringLiteral("--json"), QStringLiteral("aa  1")});
  ASSERT_EQ(one.exitCode, 0) << one.err;
  EXPECT_EQ(nlohmann::json::parse(one.out)["battery"], "AA 1");
  const nlohmann::json charges = nlohmann::json::parse(one.out)["charges"];
  ASSERT_EQ(charges.size(), 3u);
  EXPECT_EQ(charges[0]["path"], "/charges/0.log");
  EXPECT_EQ(charges[0]["time_to_peak_seconds"], *analyser.Figures(0).peakSeconds);
  EXPECT_NEAR(charges[2]["charge_in_mah"].get<double>(), ChargeCurve::kPeakSeconds * 0.7 / 3.6, 60);
  const Finished text = history({QStringLiteral("AA 1")});
  EXPECT_NE(text.out.find("Time to peak"), std::string::npos) << text.out;
  EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 6) << text.out;  // 3 rows
  // The charge given no battery is listed as one of no name, and found under "".
  {
    Result<ChargeLibrary> library = ChargeLibrary::Open(
        folder.filePath(QStringLiteral("Trevanix Ampelon/charges.sqlite")).toStdString());
    ASSERT_TRUE(library->Register("/charges/unnamed.log", 2000, 1767484800, {analyser.Figures(0)}));
  }
  const nlohmann::json listed = nlohmann::json::parse(history({QStringLiteral("--json")}).out);
  EXPECT_EQ(listed["batteries"].back()["name"], "");
  const Finished unnamed = history({QStringLiteral("--json"), QString()});
  ASSERT_EQ(unnamed.exitCode, 0) << unnamed.err;
  EXPECT_EQ(nlohmann::json::parse(unnamed.out)["charges"][0]["path"], "/charges/unnamed.log");
  const Finished unknown = history({QStringLiteral("AA 9")});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("no battery is named AA 9"), std::string::npos) << unknown.err;
}

}  // namespace
}  // namespace ampelon
