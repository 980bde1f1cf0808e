#pragma once

#include <QChar>
#include <QObject>
#include <QPointer>

class QWidget;

namespace kvt::gui {

// Alt+letter for one dialog, as a dialog manager handles mnemonics: the letter after '&' in a
// button, check box, group box, labelled edit or menu title. One owner of the letter: a button
// is pressed, a check box toggled, an edit (the buddy of a label, the first control of a group)
// gets the focus, a menu opens. Several owners: each press moves on to the next of them, in
// the order the dialog lists them (menus first), giving it the focus (or opening the menu)
// without pressing it, so none is lost to the ambiguity.
class MnemonicKeys final : public QObject {
  Q_OBJECT
 public:
  explicit MnemonicKeys(QWidget* dialog);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool belongsHere(QObject* object) const;
  QList<QObject*> targets(QChar letter) const;
  void activate(QObject* target, bool ambiguous);

  QPointer<QWidget> dialog_;
  QChar lastLetter_;
  int lastIndex_ = -1;
};

// The mnemonic letter of a text ("Process &SCF" -> 'S'), upper case; a null QChar without one.
QChar MnemonicOf(const QString& text);

}  // namespace kvt::gui
