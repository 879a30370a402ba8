// A label for the field names and the summary values: its lines stand one below the other,
// 13 pixels apart, so that two such labels side by side pair their lines. Every line is shown
// as given: "&" is no mnemonic, nothing wraps, and a control character inside a line shows as
// its symbol. The label sizes itself to its text and paints an opaque background. Screen readers
// read each line after its caption, the text that stands beside it in the window.
#pragma once

#include <QStringList>
#include <QWidget>

namespace lister::window {

class LineLabel : public QWidget {
  Q_OBJECT

 public:
  explicit LineLabel(QWidget* parent = nullptr);

  void SetLines(const QStringList& lines);
  const QStringList& Lines() const { return lines_; }
  // The texts beside the lines, line for line; read before them, never shown.
  void SetCaptions(const QStringList& captions) { captions_ = captions; }
  // Line `line` as screen readers read it: its caption, then its text.
  QString SpokenLine(qsizetype line) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QStringList lines_;
  QStringList captions_;
};

}  // namespace lister::window
