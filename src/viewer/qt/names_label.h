#pragma once

#include <vector>

#include <QLabel>
#include <QString>

namespace ampelon {

// A status bar label of file names and words about them, which takes the room the read-out
// leaves and fits it by cutting the names in the middle, never the words.
class NamesLabel final : public QLabel {
 public:
  struct Part {
    QString text;
    bool name = false;  // a file name, which may be cut
  };

  explicit NamesLabel(QWidget* parent = nullptr);

  void SetParts(std::vector<Part> parts);
  // The whole text, without any name cut.
  QString FullText() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Fit();

  std::vector<Part> m_parts;
};

}  // namespace ampelon
