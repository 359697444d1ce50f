#pragma once

#include <cstddef>
#include <string>

namespace kestrum::test {

// Data files shaped to make loading costly, each grown to about a given size.
enum class THostileShape { DistinctKeys, Sections, CharaSections, RaidNames, OneLine };

inline constexpr THostileShape kHostileShapes[] = {THostileShape::DistinctKeys, THostileShape::Sections,
                                                   THostileShape::CharaSections, THostileShape::RaidNames,
                                                   THostileShape::OneLine};

inline const char* HostileShapeName(THostileShape AShape) {
  switch (AShape) {
    case THostileShape::DistinctKeys:
      return "distinct keys";
    case THostileShape::Sections:
      return "sections";
    case THostileShape::CharaSections:
      return "character sections";
    case THostileShape::RaidNames:
      return "raid names";
    case THostileShape::OneLine:
      return "one line";
  }
  return "";
}

// The text of AShape, at most ABytes long and short of it by less than one of its repeated lines.
inline std::string HostileRoster(THostileShape AShape, size_t ABytes) {
  std::string text;
  text.reserve(ABytes);
  const auto grow = [&](auto&& line) {
    for (size_t i = 0;; ++i) {
      const std::string next = line(std::to_string(i));
      if (text.size() + next.size() > ABytes) return;
      text += next;
    }
  };
  switch (AShape) {
    case THostileShape::DistinctKeys:
      text = "[RAID]\r\nCOUNT=1\r\n0=a\r\n[CHARA]\r\nCOUNT=1\r\n[CHARA0]\r\nNAME=c\r\n";
      grow([](const std::string& i) { return "k" + i + "=" + i + "\r\n"; });
      break;
    case THostileShape::Sections:
      grow([](const std::string& i) { return "[s" + i + "]\r\n"; });
      break;
    case THostileShape::CharaSections:
      text = "[RAID]\r\nCOUNT=1\r\n0=a\r\n[CHARA]\r\nCOUNT=2000000000\r\n";
      grow([](const std::string& i) { return "[CHARA" + i + "]\r\nNAME=c\r\n"; });
      break;
    case THostileShape::RaidNames:
      text = "[CHARA]\r\nCOUNT=1\r\n[CHARA0]\r\nNAME=c\r\n[RAID]\r\nCOUNT=2000000000\r\n";
      grow([](const std::string& i) { return i + "=r" + i + "\r\n"; });
      break;
    case THostileShape::OneLine:
      text = "[CHARA0]\r\nNAME=";
      text.append(ABytes > text.size() ? ABytes - text.size() : 0, 'x');
      break;
  }
  return text;
}

}  // namespace kestrum::test
