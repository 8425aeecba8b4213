#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ampelon {

class Chart;
class Dialogs;
class FileDialog;
class GraphFileAccess;
class SampleStore;
class SettingsStore;

// File > Save Graph and File > Load Graph: the readings as a text file, one per line.
class GraphLogCommands {
 public:
  struct Context {
    SampleStore& store;
    Chart& chart;
    SettingsStore& settings;
    FileDialog& fileDialog;
    GraphFileAccess& files;
    Dialogs& dialogs;
    std::string title;  // heads the message boxes
    char folderSeparator = '/';
    std::function<void()> beforeReplacingReadings{};  // once a file has been read, if set
    // Once the store holds the file's readings, before any message about them, if set.
    std::function<void()> afterReplacingReadings{};
  };

  // All references must outlive the commands.
  explicit GraphLogCommands(const Context& context);

  // Reads the folder the dialog opens in from the setting "Last Path"; `defaultFolder` when the
  // setting is missing. Call once at start-up.
  void ReadLastPath(const std::string& defaultFolder);
  // The folder the dialog opens in next.
  const std::string& LastPath() const { return m_lastPath; }

  // Writes every reading to the chosen file, and their times to the times file beside it
  // (TimesFileFor). An existing file is replaced only when the user says Yes, its times file
  // with it; a failure is reported and leaves it whole. The file's name when the readings were
  // written, even when their times could not be (that is reported).
  std::optional<std::string> SaveGraph();
  // Replaces the readings with the chosen file's, with the times in the times file beside it
  // where there is one, and restarts the charge clock (SampleStore::AppendSample). A file that
  // cannot be read or is no graph log is reported and changes nothing; times that cannot be
  // read are reported, and the readings load without them. True when the readings were
  // replaced.
  bool LoadGraph();
  // Loads `name` as LoadGraph() loads the chosen file.
  bool LoadGraphFile(const std::string& name);
  // Loads a file named without the dialog (on the command line): its folder becomes the last
  // folder only when it loads, since a mistyped name must not move the dialog elsewhere.
  bool OpenGraphFile(const std::string& name);
  // Shows the file dialog in the last folder; remembers the chosen file's folder (also as the
  // setting "Last Path"). Nothing when the user cancelled.
  std::optional<std::string> ChooseGraphFile();

 private:
  // Makes the folder of `name` the last folder, also as the setting "Last Path".
  void RememberFolderOf(const std::string& name);
  // Writes the store's times beside the log just saved; a failure is reported.
  void SaveTimes(const std::string& logName);
  // The times beside the log `logName` for its first `readings` readings; nothing when it has
  // none, or when they cannot be read, which `note` then says.
  std::optional<std::vector<double>> LoadTimes(const std::string& logName, std::size_t readings,
                                               std::string& note);

  Context m_context;
  std::string m_lastPath;
};

}  // namespace ampelon
