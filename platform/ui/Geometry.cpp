#include "platform/ui/Geometry.h"

#include "platform/ui/Font.h"

namespace SwiftUI {

std::string_view nameOf(HorizontalAlignment value) {
  switch (value) {
    case HorizontalAlignment::leading: return "leading";
    case HorizontalAlignment::center: return "center";
    case HorizontalAlignment::trailing: return "trailing";
  }
  return "center";
}

std::string_view nameOf(VerticalAlignment value) {
  switch (value) {
    case VerticalAlignment::top: return "top";
    case VerticalAlignment::center: return "center";
    case VerticalAlignment::bottom: return "bottom";
    case VerticalAlignment::firstTextBaseline: return "firstTextBaseline";
    case VerticalAlignment::lastTextBaseline: return "lastTextBaseline";
  }
  return "center";
}

std::string nameOf(Alignment value) {
  // The platform names a two-axis alignment after its non-centred parts:
  // "center", "leading", "top", "topLeading", "leadingFirstTextBaseline".
  std::string_view h = nameOf(value.horizontal);
  std::string_view v = nameOf(value.vertical);
  bool hCentered = value.horizontal == HorizontalAlignment::center;
  bool vCentered = value.vertical == VerticalAlignment::center;
  if (hCentered && vCentered) return "center";
  if (vCentered) return std::string(h);
  bool baseline = value.vertical == VerticalAlignment::firstTextBaseline ||
                  value.vertical == VerticalAlignment::lastTextBaseline;
  if (hCentered && !baseline) return std::string(v);
  std::string_view first = baseline ? h : v;
  std::string_view second = baseline ? v : h;
  std::string name(first);
  name.push_back(static_cast<char>(second[0] - 'a' + 'A'));
  name.append(second.substr(1));
  return name;
}

std::string_view nameOf(CGLineCap value) {
  return Drawing::lineCapName(value);
}

std::string_view nameOf(CGLineJoin value) {
  return Drawing::lineJoinName(value);
}

std::string_view nameOf(TextAlignment value) {
  switch (value) {
    case TextAlignment::leading: return "leading";
    case TextAlignment::center: return "center";
    case TextAlignment::trailing: return "trailing";
  }
  return "leading";
}

std::string_view nameOf(TruncationMode value) {
  switch (value) {
    case TruncationMode::head: return "head";
    case TruncationMode::middle: return "middle";
    case TruncationMode::tail: return "tail";
  }
  return "tail";
}

std::string_view nameOf(ButtonStyle value) {
  switch (value) {
    case ButtonStyle::automatic: return "automatic";
    case ButtonStyle::plain: return "plain";
    case ButtonStyle::borderless: return "borderless";
    case ButtonStyle::bordered: return "bordered";
    case ButtonStyle::borderedProminent: return "borderedProminent";
  }
  return "automatic";
}

std::string_view nameOf(UnitPoint value) {
  struct Named {
    UnitPoint point;
    std::string_view name;
  };
  static constexpr Named named[] = {
      {UnitPoint::center, "center"},
      {UnitPoint::leading, "leading"},
      {UnitPoint::trailing, "trailing"},
      {UnitPoint::top, "top"},
      {UnitPoint::bottom, "bottom"},
      {UnitPoint::topLeading, "topLeading"},
      {UnitPoint::topTrailing, "topTrailing"},
      {UnitPoint::bottomLeading, "bottomLeading"},
      {UnitPoint::bottomTrailing, "bottomTrailing"},
  };
  for (const auto& entry : named) {
    if (entry.point == value) return entry.name;
  }
  return {};
}

std::string_view nameOf(Edge::Set value) {
  switch (value) {
    case Edge::Set::all: return "all";
    case Edge::Set::horizontal: return "horizontal";
    case Edge::Set::vertical: return "vertical";
    case Edge::Set::top: return "top";
    case Edge::Set::leading: return "leading";
    case Edge::Set::bottom: return "bottom";
    case Edge::Set::trailing: return "trailing";
  }
  return {};
}

std::string_view nameOf(Font::TextStyle style) {
  switch (style) {
    case Font::TextStyle::largeTitle: return "largeTitle";
    case Font::TextStyle::title: return "title";
    case Font::TextStyle::title2: return "title2";
    case Font::TextStyle::title3: return "title3";
    case Font::TextStyle::headline: return "headline";
    case Font::TextStyle::subheadline: return "subheadline";
    case Font::TextStyle::body: return "body";
    case Font::TextStyle::callout: return "callout";
    case Font::TextStyle::footnote: return "footnote";
    case Font::TextStyle::caption: return "caption";
    case Font::TextStyle::caption2: return "caption2";
  }
  return "body";
}

}  // namespace SwiftUI
