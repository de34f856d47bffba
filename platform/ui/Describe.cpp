#include "platform/ui/Describe.h"

#include <cmath>
#include <variant>

namespace SwiftUI {
namespace {

using Foundation::JSONWriter;

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

void writeNumber(JSONWriter& w, double value) {
  if (std::isinf(value)) {
    w.string(value > 0 ? "infinity" : "-infinity");
  } else if (std::isnan(value)) {
    w.string("nan");
  } else {
    w.number(value);
  }
}

void writeOptionalNumber(JSONWriter& w, const std::optional<double>& value) {
  if (value) {
    writeNumber(w, *value);
  } else {
    w.null();
  }
}

void writeColor(JSONWriter& w, const Color& color) {
  w.beginObject();
  w.key("name");
  w.string(colorName(color.name));
  if (color.opacityValue) {
    w.key("opacity");
    writeNumber(w, *color.opacityValue);
  }
  w.endObject();
}

void writeAnchor(JSONWriter& w, UnitPoint point) {
  std::string_view name = nameOf(point);
  if (!name.empty()) {
    w.string(name);
    return;
  }
  w.beginObject();
  w.key("x");
  writeNumber(w, point.x);
  w.key("y");
  writeNumber(w, point.y);
  w.endObject();
}

void writeEdges(JSONWriter& w, Edge::Set edges) {
  std::string_view name = nameOf(edges);
  if (!name.empty()) {
    w.string(name);
    return;
  }
  w.beginArray();
  for (auto edge : {Edge::Set::top, Edge::Set::leading, Edge::Set::bottom, Edge::Set::trailing}) {
    if ((static_cast<unsigned>(edges) & static_cast<unsigned>(edge)) != 0) w.string(nameOf(edge));
  }
  w.endArray();
}

void writeDate(JSONWriter& w, Foundation::Date date) {
  writeNumber(w, date.timeIntervalSinceReferenceDate);
}

void writeModifier(JSONWriter& w, const Modifier& modifier) {
  w.beginObject();
  std::visit(Overloaded{
                 [&](const FontModifier& m) {
                   w.key("font");
                   if (const auto* style = std::get_if<Font::TextStyle>(&m.font.value)) {
                     w.string(nameOf(*style));
                   } else {
                     w.beginObject();
                     w.key("system");
                     writeNumber(w, std::get<Font::System>(m.font.value).size);
                     w.endObject();
                   }
                 },
                 [&](const FontWeightModifier& m) {
                   w.key("fontWeight");
                   w.string(Drawing::fontWeightName(m.weight));
                 },
                 [&](const ForegroundColorModifier& m) {
                   w.key("foregroundColor");
                   writeColor(w, m.color);
                 },
                 [&](const LineLimitModifier& m) {
                   w.key("lineLimit");
                   if (m.lines) {
                     w.integer(*m.lines);
                   } else {
                     w.null();
                   }
                 },
                 [&](const TruncationModeModifier& m) {
                   w.key("truncationMode");
                   w.string(nameOf(m.mode));
                 },
                 [&](const TintModifier& m) {
                   w.key("tint");
                   writeColor(w, m.color);
                 },
                 [&](const PaddingModifier& m) {
                   w.key("padding");
                   w.beginObject();
                   w.key("edges");
                   writeEdges(w, m.edges);
                   w.key("length");
                   writeOptionalNumber(w, m.length);
                   w.endObject();
                 },
                 [&](const FrameModifier& m) {
                   w.key("frame");
                   w.beginObject();
                   auto bound = [&](const char* name, const std::optional<CGFloat>& value) {
                     if (!value) return;
                     w.key(name);
                     writeNumber(w, *value);
                   };
                   bound("width", m.width);
                   bound("height", m.height);
                   bound("minWidth", m.minWidth);
                   bound("idealWidth", m.idealWidth);
                   bound("maxWidth", m.maxWidth);
                   bound("minHeight", m.minHeight);
                   bound("idealHeight", m.idealHeight);
                   bound("maxHeight", m.maxHeight);
                   w.key("alignment");
                   w.string(nameOf(m.alignment));
                   w.endObject();
                 },
                 [&](const TrimModifier& m) {
                   w.key("trim");
                   w.beginObject();
                   w.key("from");
                   writeNumber(w, m.from);
                   w.key("to");
                   writeNumber(w, m.to);
                   w.endObject();
                 },
                 [&](const StrokeModifier& m) {
                   w.key("stroke");
                   w.beginObject();
                   w.key("color");
                   writeColor(w, m.color);
                   w.key("lineWidth");
                   writeNumber(w, m.style.lineWidth);
                   w.key("lineCap");
                   w.string(nameOf(m.style.lineCap));
                   w.key("lineJoin");
                   w.string(nameOf(m.style.lineJoin));
                   w.key("miterLimit");
                   writeNumber(w, m.style.miterLimit);
                   w.key("dash");
                   w.beginArray();
                   for (CGFloat length : m.style.dash) writeNumber(w, length);
                   w.endArray();
                   w.key("dashPhase");
                   writeNumber(w, m.style.dashPhase);
                   w.endObject();
                 },
                 [&](const RotationEffectModifier& m) {
                   w.key("rotationEffect");
                   w.beginObject();
                   w.key("degrees");
                   writeNumber(w, m.angle.inDegrees());
                   w.key("anchor");
                   writeAnchor(w, m.anchor);
                   w.endObject();
                 },
                 [&](const ScaleEffectModifier& m) {
                   w.key("scaleEffect");
                   w.beginObject();
                   w.key("x");
                   writeNumber(w, m.x);
                   w.key("y");
                   writeNumber(w, m.y);
                   w.key("anchor");
                   writeAnchor(w, m.anchor);
                   w.endObject();
                 },
                 [&](const OpacityModifier& m) {
                   w.key("opacity");
                   writeNumber(w, m.opacity);
                 },
                 [&](const MonospacedDigitModifier&) {
                   w.key("monospacedDigit");
                   w.boolean(true);
                 },
                 [&](const MultilineTextAlignmentModifier& m) {
                   w.key("multilineTextAlignment");
                   w.string(nameOf(m.alignment));
                 },
                 [&](const ButtonStyleModifier& m) {
                   w.key("buttonStyle");
                   w.string(nameOf(m.style));
                 },
                 [&](const ActivityBackgroundTintModifier& m) {
                   w.key("activityBackgroundTint");
                   writeColor(w, m.color);
                 },
                 [&](const ActivitySystemActionForegroundColorModifier& m) {
                   w.key("activitySystemActionForegroundColor");
                   writeColor(w, m.color);
                 },
             },
             modifier);
  w.endObject();
}

void writeText(JSONWriter& w, const TextNode& text, Foundation::Date now) {
  static constexpr std::string_view kinds[] = {"verbatim", "localized", "timer"};
  w.key("kind");
  w.string(kinds[static_cast<std::size_t>(text.kind())]);
  w.key("text");
  w.string(text.displayText(now));
  if (const auto* localized = std::get_if<TextNode::Localized>(&text.content)) {
    w.key("key");
    w.string(localized->key.key());
    w.key("args");
    w.beginArray();
    for (const auto& argument : localized->key.arguments()) {
      if (const auto* integer = std::get_if<std::int64_t>(&argument)) {
        w.integer(*integer);
      } else {
        w.string(std::get<std::string>(argument));
      }
    }
    w.endArray();
  } else if (const auto* timer = std::get_if<TextNode::Timer>(&text.content)) {
    w.key("timer");
    w.beginObject();
    w.key("from");
    writeDate(w, timer->interval.lowerBound);
    w.key("to");
    writeDate(w, timer->interval.upperBound);
    w.key("pauseTime");
    if (timer->pauseTime) {
      writeDate(w, *timer->pauseTime);
    } else {
      w.null();
    }
    w.key("countsDown");
    w.boolean(timer->countsDown);
    w.key("showsHours");
    w.boolean(timer->showsHours);
    w.endObject();
  }
}

void writeNode(JSONWriter& w, const View& view, Foundation::Date now) {
  w.beginObject();
  w.key("view");
  w.string(nameOf(view.kind()));
  std::visit(Overloaded{
                 [&](const VStackNode& n) {
                   w.key("alignment");
                   w.string(nameOf(n.alignment));
                   w.key("spacing");
                   writeOptionalNumber(w, n.spacing);
                 },
                 [&](const HStackNode& n) {
                   w.key("alignment");
                   w.string(nameOf(n.alignment));
                   w.key("spacing");
                   writeOptionalNumber(w, n.spacing);
                 },
                 [&](const ZStackNode& n) {
                   w.key("alignment");
                   w.string(nameOf(n.alignment));
                 },
                 [&](const SpacerNode& n) {
                   w.key("minLength");
                   writeOptionalNumber(w, n.minLength);
                 },
                 [&](const TextNode& n) { writeText(w, n, now); },
                 [&](const ImageNode& n) {
                   w.key("systemName");
                   w.string(n.systemName);
                 },
                 [&](const ProgressViewNode& n) {
                   w.key("value");
                   writeNumber(w, n.value);
                   w.key("total");
                   writeNumber(w, n.total);
                 },
                 [&](const CircleNode&) {},
                 [&](const EmptyViewNode&) {},
                 [&](const ButtonNode& n) {
                   w.key("intent");
                   w.string(n.intent.typeName());
                 },
             },
             view.content());
  if (!view.modifiers().empty()) {
    w.key("modifiers");
    w.beginArray();
    for (const Modifier& modifier : view.modifiers()) writeModifier(w, modifier);
    w.endArray();
  }
  if (view.kind() == ViewKind::button) {
    w.key("label");
    writeNode(w, view.children().empty() ? View() : view.children().front(), now);
  } else if (!view.children().empty()) {
    w.key("children");
    w.beginArray();
    for (const View& child : view.children()) writeNode(w, child, now);
    w.endArray();
  }
  w.endObject();
}

}  // namespace

void describe(Foundation::JSONWriter& writer, const View& view, Foundation::Date now) {
  writeNode(writer, view, now);
}

void describe(Foundation::JSONWriter& writer, const Color& color) {
  writeColor(writer, color);
}

std::string describe(const View& view, Foundation::Date now, bool prettyPrinted) {
  JSONWriter writer({.prettyPrinted = prettyPrinted, .escapeSlashes = false});
  writeNode(writer, view, now);
  return writer.take();
}

}  // namespace SwiftUI
