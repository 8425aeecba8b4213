#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "charger/charge_curve.h"

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

}  // namespace
}  // namespace ampelon
