#include "ui/NameValidator.h"

namespace kestrum {

namespace {

bool IsControl(QChar AChar) {
  return AChar.unicode() < 0x20 || AChar.unicode() == 0x7F;
}

// True when the unit at AIndex is half of a surrogate pair whose other half is missing.
bool IsStraySurrogate(const QString& AText, qsizetype AIndex) {
  const QChar unit = AText[AIndex];
  if (unit.isHighSurrogate()) return AIndex + 1 >= AText.size() || !AText[AIndex + 1].isLowSurrogate();
  if (unit.isLowSurrogate()) return AIndex == 0 || !AText[AIndex - 1].isHighSurrogate();
  return false;
}

}  // namespace

QValidator::State TNameValidator::validate(QString& AInput, int& APos) const {
  QString kept;
  kept.reserve(AInput.size());
  int pos = APos;
  for (qsizetype i = 0; i < AInput.size(); ++i) {
    if (IsControl(AInput[i]) || IsStraySurrogate(AInput, i)) {
      if (i < APos) --pos;
      continue;
    }
    kept.append(AInput[i]);
  }
  AInput = kept;
  APos = pos;
  return Acceptable;
}

}  // namespace kestrum
