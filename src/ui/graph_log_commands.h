#pragma once

#include <functional>
#include <optional>
#include <string>

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

  // Writes every reading to the chosen file. An existing file is replaced only when the user
  // says Yes; a failure is reported and leaves it whole. True when the file was written.
  bool SaveGraph();
  // Replaces the readings with the chosen file's and restarts the charge clock. A file that
  // cannot be read or is no graph log is reported and changes nothing. True when the readings
  // were replaced.
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

  Context m_context;
  std::string m_lastPath;
};

}  // namespace ampelon
