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

TEST(Describe, EachKindWritesItsFieldsAndOmitsEmptyLists) {
  const std::pair<View, const char*> rows[] = {
      {Circle(), R"({"view":"Circle"})"},
      {EmptyView(), R"({"view":"EmptyView"})"},
      {Image("arrow.down"), R"({"view":"Image","systemName":"arrow.down"})"},
      {ProgressView(0.42, 1.0), R"({"view":"ProgressView","value":0.42,"total":1})"},
      {Spacer(), R"({"view":"Spacer","minLength":null})"},
      {Spacer(4), R"({"view":"Spacer","minLength":4})"},
      {VStack(HorizontalAlignment::leading, 2, {Circle()}),
       R"({"view":"VStack","alignment":"leading","spacing":2,"children":[{"view":"Circle"}]})"},
      {HStack(VerticalAlignment::center, std::nullopt, {}),
       R"({"view":"HStack","alignment":"center","spacing":null})"},
      {ZStack(Alignment::topLeading, {}), R"({"view":"ZStack","alignment":"topLeading"})"},
      {Text::verbatim("1.5 MB/s"), R"({"view":"Text","kind":"verbatim","text":"1.5 MB/s"})"},
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

TEST(Describe, ModifiersUseThePlatformNames) {
  const std::pair<View, const char*> rows[] = {
      {Circle().font(Font::caption2), R"({"font":"caption2"})"},
      {Circle().font(Font::system(12.6)), R"({"font":{"system":12.6}})"},
      {Circle().fontWeight(Font::Weight::bold), R"({"fontWeight":"bold"})"},
      {Circle().lineLimit(1), R"({"lineLimit":1})"},
      {Circle().truncationMode(TruncationMode::tail), R"({"truncationMode":"tail"})"},
      {Circle().monospacedDigit(), R"({"monospacedDigit":true})"},
      {Circle().multilineTextAlignment(TextAlignment::center),
       R"({"multilineTextAlignment":"center"})"},
      // Colours write their opacity only when one is set.
      {Circle().foregroundColor(Color::blue), R"({"foregroundColor":{"name":"blue"}})"},
      {Circle().tint(Color::blue.opacity(0.3)), R"({"tint":{"name":"blue","opacity":0.3}})"},
      {Circle().padding(16), R"({"padding":{"edges":"all","length":16}})"},
      {Circle().padding(Edge::Set::horizontal, 8),
       R"({"padding":{"edges":"horizontal","length":8}})"},
      {Circle().frame({.width = 28, .height = 28}),
       R"({"frame":{"width":28,"height":28,"alignment":"center"}})"},
      {Circle().frame({.maxWidth = infinity}),
       R"({"frame":{"maxWidth":"infinity","alignment":"center"}})"},
      {Circle().opacity(0), R"({"opacity":0})"},
      {Circle().trim(0, 0.42), R"({"trim":{"from":0,"to":0.42}})"},
      {Circle().stroke(Color::blue, StrokeStyle{.lineWidth = 3, .lineCap = CGLineCap::round}),
       R"({"stroke":{"color":{"name":"blue"},"lineWidth":3,"lineCap":"round",)"
       R"("lineJoin":"miter","miterLimit":10,"dash":[],"dashPhase":0}})"},
      {Circle().rotationEffect(Angle::radians(-std::numbers::pi / 2)),
       R"({"rotationEffect":{"degrees":-90,"anchor":"center"}})"},
      {Circle().scaleEffect(1, 1.5), R"({"scaleEffect":{"x":1,"y":1.5,"anchor":"center"}})"},
  };
  for (const auto& [view, modifier] : rows) {
    EXPECT_EQ(describe(view, Date(0)),
              std::string(R"({"view":"Circle","modifiers":[)") + modifier + "]}");
  }
}

TEST(Describe, WritesOneValueIntoALargerDocument) {
  Foundation::JSONWriter writer;
  writer.beginObject();
  writer.key("minimal");
  describe(writer, Circle(), Date(0));
  writer.key("other");
  describe(writer, EmptyView(), Date(0));
  writer.endObject();
  EXPECT_EQ(writer.text(), R"({"minimal":{"view":"Circle"},"other":{"view":"EmptyView"}})");
}

}  // namespace
