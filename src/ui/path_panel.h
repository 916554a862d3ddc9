// A sunken one-line panel that shows a path fitted to its own width: " " plus
// the path with leading directories replaced by "...\" until it fits in the
// panel less 10 pixels, measured in the panel's font. It keeps the raw path so
// the text is fitted again whenever the panel changes size or font.
#pragma once

#include <QLabel>
#include <string>

namespace duplane {

class PathPanel : public QLabel {
  Q_OBJECT

 public:
  explicit PathPanel(QWidget* parent = nullptr);

  // Shows `path` fitted; an empty path leaves the panel blank.
  void SetPath(const std::string& path);
  const std::string& path() const { return path_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Fit();

  std::string path_;
};

}  // namespace duplane
