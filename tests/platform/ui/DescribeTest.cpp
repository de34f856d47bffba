// The describe format, which scripts and tools read: node shape, each
// kind's fields, and each modifier as a one-key object.
#include "platform/ui/Describe.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/ui/Views.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;

struct PingIntent {
  static constexpr std::string_view typeName = "PingIntent";
  static const Foundation::LocalizedStringResource& title() {
    static const Foundation::LocalizedStringResource value("Ping");
    return value;
  }
  AppIntents::IntentResult perform() const { return AppIntents::IntentResult::result(); }
  friend bool operator==(const PingIntent&, const PingIntent&) = default;
};

// Fields that are not set are null; a node without modifiers or children
// leaves the lists out; a button's label is its own node.
TEST(Describe, EachKindWritesItsFields) {
  const std::pair<View, const char*> rows[] = {
      {ProgressView(0.42, 1.0), R"({"view":"ProgressView","value":0.42,"total":1})"},
      {Spacer(), R"({"view":"Spacer","minLength":null})"},
      {VStack(HorizontalAlignment::leading, 2, {Circle()}),
       R"({"view":"VStack","alignment":"leading","spacing":2,"children":[{"view":"Circle"}]})"},
      {HStack(VerticalAlignment::center, std::nullopt, {}),
       R"({"view":"HStack","alignment":"center","spacing":null})"},
      {Text(LocalizedStringKey::interpolated({"", std::int64_t{42}, "%"})),
       R"({"view":"Text","kind":"localized","text":"42%","key":"%lld%%","args":[42]})"},
      {Text(TimerInterval{Date(-100), Date(3625)}, std::nullopt, true, true),
       R"({"view":"Text","kind":"timer","text":"1:00:25","timer":{"from":-100,"to":3625,)"
       R"("pauseTime":null,"countsDown":true,"showsHours":true}})"},
      {Button(PingIntent(), Circle()).buttonStyle(PlainButtonStyle()),
       R"({"view":"Button","intent":"PingIntent",)"
       R"("modifiers":[{"buttonStyle":"plain"}],"label":{"view":"Circle"}})"},
  };
  for (const auto& [view, json] : rows) EXPECT_EQ(describe(view, Date(0)), json);
}

// Modifiers with more than a name to write: fonts by style or size, colours
// with their opacity only when one is set, frames with only the bounds set
// (an infinite one by name), strokes with every field, angles in degrees.
TEST(Describe, ModifiersWriteTheirValues) {
  const std::pair<View, const char*> rows[] = {
      {Circle().font(Font::caption2), R"({"font":"caption2"})"},
      {Circle().font(Font::system(12.6)), R"({"font":{"system":12.6}})"},
      {Circle().tint(Color::blue.opacity(0.3)), R"({"tint":{"name":"blue","opacity":0.3}})"},
      {Circle().padding(Edge::Set::horizontal, 8),
       R"({"padding":{"edges":"horizontal","length":8}})"},
      {Circle().frame({.width = 28, .height = 28}),
       R"({"frame":{"width":28,"height":28,"alignment":"center"}})"},
      {Circle().frame({.maxWidth = infinity}),
       R"({"frame":{"maxWidth":"infinity","alignment":"center"}})"},
      {Circle().stroke(Color::blue, StrokeStyle{.lineWidth = 3, .lineCap = CGLineCap::round}),
       R"({"stroke":{"color":{"name":"blue"},"lineWidth":3,"lineCap":"round",)"
       R"("lineJoin":"miter","miterLimit":10,"dash":[],"dashPhase":0}})"},
      {Circle().rotationEffect(Angle::radians(-std::numbers::pi / 2)),
       R"({"rotationEffect":{"degrees":-90,"anchor":"center"}})"},
  };
  for (const auto& [view, modifier] : rows) {
    EXPECT_EQ(describe(view, Date(0)),
              std::string(R"({"view":"Circle","modifiers":[)") + modifier + "]}");
  }
}

}  // namespace
