#pragma once

#include <QFont>
#include <QString>

namespace kestrum {

// The face and size every window starts in, and what cfg.ini falls back to.
inline constexpr char16_t kDefaultFontName[] = u"Tahoma";
inline constexpr int kDefaultFontSize = 8;

inline QFont DefaultFont() {
  return QFont(QString::fromUtf16(kDefaultFontName), kDefaultFontSize);
}

}  // namespace kestrum
