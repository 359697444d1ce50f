#pragma once

#include <QValidator>

namespace kestrum {

// Keeps the text of a one-line name edit storable. A length limit counts UTF-16 code units and
// cuts a character outside the basic plane in half when only one unit is left: the stray half is
// dropped, so the character is refused whole. Control characters (line breaks, tabs) that a paste
// brings in are dropped too: the data file cannot hold a line break, and a name's leading or
// trailing tab would be lost when the file is read again.
class TNameValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& AInput, int& APos) const override;
};

}  // namespace kestrum
