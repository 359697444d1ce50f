#pragma once

#include <QPointer>
#include <QWidget>

namespace kestrum {

// A window whose Tag names the modal dialog it has open, so that a hand-over from a later copy of
// the program brings that dialog to the front instead of the window itself.
class TTagOwner {
 public:
  virtual ~TTagOwner() = default;
  QWidget* Tag() const { return FTag; }
  void SetTag(QWidget* dialog) { FTag = dialog; }

  // Sets the Tag of owner when it is a TTagOwner; does nothing for any other widget.
  static void SetTagOf(QWidget* owner, QWidget* dialog) {
    if (auto* tagOwner = dynamic_cast<TTagOwner*>(owner)) tagOwner->SetTag(dialog);
  }

 private:
  QPointer<QWidget> FTag;
};

}  // namespace kestrum
