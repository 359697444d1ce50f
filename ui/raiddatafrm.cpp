#include "ui/raiddatafrm.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

namespace kestrum {

namespace {

constexpr int64_t MSecsPerDay = 86400000;
constexpr int MaxLockOutMinutes = 66 * 60;
// Far beyond any real lock-out; keeps the millisecond arithmetic inside 64 bits for junk moments.
constexpr double MaxTimeLeftDays = 1e7;

// The decimal number in Text, or nothing when it is empty, holds anything but digits or does not
// fit 32 bits.
std::optional<uint32_t> ParseDecimal(const QString& Text) {
  if (Text.isEmpty()) return std::nullopt;
  uint64_t value = 0;
  for (QChar c : Text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c.unicode() - u'0');
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

uint32_t StrToNumber(const QString& Text) {
  if (auto value = ParseDecimal(Text)) return *value;
  throw EConvertError(u"'" + Text.toStdU16String() + u"' is not a valid integer value");
}

// The real time left until AActivateTime, seen from AStandardTime, in whole milliseconds; 0 when
// the moment has passed or is no moment at all.
int64_t TimeLeftMSecs(TDateTime AActivateTime, TDateTime AStandardTime) {
  if (AActivateTime == 0) return 0;
  const double left = RealSpan(AStandardTime, AActivateTime);
  if (!(left > 0)) return 0;
  return std::llround(std::min(left, MaxTimeLeftDays) * MSecsPerDay);
}

// True when AText came out of APrevious by removing one run of characters: such a change adds
// nothing and is always allowed, even where the program had set a text the user could not type.
bool IsDeletionOf(const QString& AText, const QString& APrevious) {
  if (AText.size() >= APrevious.size()) return false;
  qsizetype prefix = 0;
  while (prefix < AText.size() && AText[prefix] == APrevious[prefix]) ++prefix;
  const qsizetype rest = AText.size() - prefix;
  return AText.right(rest) == APrevious.right(rest);
}

class TDigitValidator final : public QValidator {
 public:
  explicit TDigitValidator(TDigitEdit* AEdit) : QValidator(AEdit), FEdit(AEdit) {}

  State validate(QString& AInput, int&) const override {
    return FEdit->AcceptsUserText(AInput) ? Acceptable : Invalid;
  }

 private:
  TDigitEdit* FEdit;
};

// Labels size themselves to their text, as wide as the text and one line high.
void AutoSize(QLabel* ALabel) {
  const QFontMetrics metrics = ALabel->fontMetrics();
  ALabel->resize(metrics.horizontalAdvance(ALabel->text()), metrics.height());
}

QLabel* MakeLabel(QWidget* AParent, const char* AName, const QString& AText, int ALeft) {
  auto* label = new QLabel(AText, AParent);
  label->setObjectName(QString::fromLatin1(AName));
  label->move(ALeft, 6);
  AutoSize(label);
  return label;
}

TDigitEdit* MakeEdit(QWidget* AParent, const char* AName, const QString& AAllowed, int AMaxLength,
                     QRect AGeometry) {
  auto* edit = new TDigitEdit(AParent, AAllowed, AMaxLength);
  edit->setObjectName(QString::fromLatin1(AName));
  edit->setGeometry(AGeometry);
  edit->SetText(QStringLiteral("0"));
  return edit;
}

}  // namespace

TDigitEdit::TDigitEdit(QWidget* AParent, const QString& AAllowed, int AMaxLength)
    : QLineEdit(AParent), FAllowed(AAllowed), FMaxLength(AMaxLength) {
  setValidator(new TDigitValidator(this));
  setAcceptDrops(false);
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { FPreviousText = text; });
}

void TDigitEdit::SetText(const QString& AText) {
  FSettingText = true;
  setText(AText);
  FSettingText = false;
}

bool TDigitEdit::AcceptsUserText(const QString& AText) const {
  if (FSettingText || IsDeletionOf(AText, FPreviousText)) return true;
  if (AText.size() > FMaxLength) return false;
  for (QChar c : AText)
    if (!FAllowed.contains(c)) return false;
  return true;
}

int TDigitEdit::WidthShowing(const QString& AText) const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  // Inside its frame a line edit keeps 2 pixels beside the text and one for the cursor.
  const QSize text(fontMetrics().horizontalAdvance(AText) + 2 * 2 + 1, fontMetrics().height());
  return style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this).width();
}

bool TDigitEdit::RoomForOneMore() const {
  return text().size() - selectedText().size() < FMaxLength;
}

void TDigitEdit::keyPressEvent(QKeyEvent* AEvent) {
  // Cut and paste by shortcut would change the text without a typed character.
  if (AEvent->matches(QKeySequence::Paste) || AEvent->matches(QKeySequence::Cut)) return;
  const QString text = AEvent->text();
  // Keys that type nothing (arrows, Home, End, Delete, Tab) keep their usual meaning.
  if (text.isEmpty() || AEvent->key() == Qt::Key_Delete) return QLineEdit::keyPressEvent(AEvent);
  const bool backspace = AEvent->key() == Qt::Key_Backspace || text == QStringLiteral("\b");
  const bool allowedChar = text.size() == 1 && FAllowed.contains(text[0]) && RoomForOneMore();
  if (backspace || allowedChar) QLineEdit::keyPressEvent(AEvent);
  // Anything else typed, control characters included, is swallowed so that it inserts nothing.
}

TRaidDataFrame::TRaidDataFrame(QWidget* AOwner, const TRDFDatas& ARDFDatas)
    : QFrame(AOwner), FRDFDatas(ARDFDatas) {
  resize(262, 27);
  const QString digits = QStringLiteral("0123456789");
  RaidNameLb = MakeLabel(this, "RaidNameLb", QStringLiteral("Raid0"), 0);
  RaidNameLb->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  DayEd = MakeEdit(this, "DayEd", QStringLiteral("012"), 1, {33, 3, 18, 21});
  DayLb = MakeLabel(this, "DayLb", tr("日"), 53);
  HourEd = MakeEdit(this, "HourEd", digits, 2, {71, 3, 24, 21});
  HourLb = MakeLabel(this, "HourLb", tr("時間"), 97);
  MinEd = MakeEdit(this, "MinEd", digits, 2, {127, 3, 24, 21});
  MinLb = MakeLabel(this, "MinLb", tr("分"), 157);
  CountLb = MakeLabel(this, "CountLb", tr("回目"), 234);
  CountEd = MakeEdit(this, "CountEd", digits, 4, {191, 3, 37, 21});
  // Five digits show whole in any font: a count from the data file may be longer than can be typed.
  CountEd->resize(std::max(CountEd->width(), CountEd->WidthShowing(QStringLiteral("99999"))),
                  CountEd->height());
  setTabOrder(DayEd, HourEd);
  setTabOrder(HourEd, MinEd);
  setTabOrder(MinEd, CountEd);

  for (TDigitEdit* edit : {DayEd, HourEd, MinEd})
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { DayEdChange(edit); });
  connect(CountEd, &QLineEdit::textChanged, this, [this] { CountEdChange(CountEd); });

  FStandardTime = Now();
  const int64_t left = TimeLeftMSecs(FRDFDatas.ActivateTime, FStandardTime);
  FSaveSec = static_cast<double>(left % 60000) / MSecsPerDay;
  ArrangeControls();
  ShowRDFDatas();
}

void TRaidDataFrame::ArrangeControls() {
  const int maxName = FRDFDatas.MaxRaidNameWidth;
  const QWidget* controls[] = {DayEd, DayLb, HourEd, HourLb, MinEd, MinLb, CountEd, CountLb};
  int contentWidth = maxName + 47;
  for (const QWidget* control : controls) contentWidth += control->width();
  const int x = contentWidth >= MinRowWidth ? 0 : (MinRowWidth - contentWidth) / 2;
  resize(std::max(contentWidth, MinRowWidth), height());

  RaidNameLb->setText(QString::fromStdU16String(FRDFDatas.RaidName));
  RaidNameLb->setGeometry(x + 8, RaidNameLb->y(), maxName, RaidNameLb->height());
  struct Step {
    QWidget* control;
    int gap;
  };
  const Step steps[] = {{DayEd, 5}, {DayLb, 2}, {HourEd, 5},   {HourLb, 2},
                        {MinEd, 5}, {MinLb, 2}, {CountEd, 14}, {CountLb, 2}};
  const QWidget* previous = RaidNameLb;
  for (const Step& step : steps) {
    step.control->move(previous->x() + previous->width() + step.gap, step.control->y());
    previous = step.control;
  }
}

void TRaidDataFrame::ShowRDFDatas() {
  const int64_t left = TimeLeftMSecs(FRDFDatas.ActivateTime, FStandardTime);
  const int64_t timeOfDay = left % MSecsPerDay;
  DayEd->SetText(QString::number(left / MSecsPerDay));
  HourEd->SetText(QString::number(timeOfDay / 3600000));
  MinEd->SetText(QString::number(timeOfDay / 60000 % 60));
  CountEd->SetText(QString::number(FRDFDatas.Count));
}

bool TRaidDataFrame::CheckTimeCorrectness() const {
  const auto days = ParseDecimal(DayEd->text());
  const auto hours = ParseDecimal(HourEd->text());
  const auto minutes = ParseDecimal(MinEd->text());
  if (!days || !hours || !minutes) return false;
  if (*days > 2 || *hours > 23 || *minutes > 59) return false;
  return *days * 1440 + *hours * 60 + *minutes <= MaxLockOutMinutes;
}

bool TRaidDataFrame::CheckCorrectness() const {
  return CheckTimeCorrectness() && ParseDecimal(CountEd->text()).has_value();
}

TDateTime TRaidDataFrame::GetActiveDateTime() const {
  const uint32_t days = StrToNumber(DayEd->text());
  const uint32_t hours = StrToNumber(HourEd->text());
  const uint32_t minutes = StrToNumber(MinEd->text());
  if (hours > 23 || minutes > 59)
    throw EConvertError(u"'" + HourEd->text().toStdU16String() + u":" + MinEd->text().toStdU16String() +
                        u"' is not a valid time");
  if (days == 0 && hours == 0 && minutes == 0) return 0;
  // The time left is real time; the moment is kept as the local clock will show it.
  return AfterRealSpan(FStandardTime, days + (hours * 60.0 + minutes) / 1440 + FSaveSec);
}

uint32_t TRaidDataFrame::GetCount() const {
  return StrToNumber(CountEd->text());
}

void TRaidDataFrame::Clear() {
  for (TDigitEdit* edit : {DayEd, HourEd, MinEd, CountEd}) edit->SetText(QStringLiteral("0"));
}

void TRaidDataFrame::Reset() {
  ShowRDFDatas();
}

void TRaidDataFrame::DayEdChange(QObject* Sender) {
  if (FOnTimerChanged) FOnTimerChanged(Sender);
}

void TRaidDataFrame::CountEdChange(QObject* Sender) {
  if (FOnCountChanged) FOnCountChanged(Sender);
}

}  // namespace kestrum
