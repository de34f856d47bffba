// The describe format, which scripts and tools read: node shape, each
// kind's fields, and each modifier as a one-key object.
#include "platform/ui/Describe.h"

#include <gtest/gtest.h>

#include "platform/ui/Views.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;

std::string json(const View& view, Date now = Date(0)) {
  return describe(view, now);
}

// The modifier part of a described Circle carrying one modifier.
std::string modifierOf(const View& circle) {
  std::string text = json(circle);
  const std::string prefix = R"({"view":"Circle","modifiers":[)";
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);
  EXPECT_EQ(text.substr(text.size() - 2), "]}");
  return text.substr(prefix.size(), text.size() - prefix.size() - 2);
}

TEST(DescribeNodes, LeafKindsWriteTheirFieldsAndOmitEmptyLists) {
  EXPECT_EQ(json(Circle()), R"({"view":"Circle"})");
  EXPECT_EQ(json(EmptyView()), R"({"view":"EmptyView"})");
  EXPECT_EQ(json(Image("arrow.down")), R"({"view":"Image","systemName":"arrow.down"})");
  EXPECT_EQ(json(ProgressView(0.42, 1.0)), R"({"view":"ProgressView","value":0.42,"total":1})");
  EXPECT_EQ(json(Spacer()), R"({"view":"Spacer","minLength":null})");
  EXPECT_EQ(json(Spacer(4)), R"({"view":"Spacer","minLength":4})");
}

TEST(DescribeNodes, StacksWriteAlignmentSpacingAndChildren) {
  EXPECT_EQ(
      json(VStack(HorizontalAlignment::leading, 2, {Circle()})),
      R"({"view":"VStack","alignment":"leading","spacing":2,"children":[{"view":"Circle"}]})");
  EXPECT_EQ(json(HStack(VerticalAlignment::center, std::nullopt, {})),
            R"({"view":"HStack","alignment":"center","spacing":null})");
  EXPECT_EQ(json(ZStack(Alignment::topLeading, {})),
            R"({"view":"ZStack","alignment":"topLeading"})");
}

TEST(DescribeNodes, TextsWriteKindAndShownText) {
  EXPECT_EQ(json(Text::verbatim("1.5 MB/s")),
            R"({"view":"Text","kind":"verbatim","text":"1.5 MB/s"})");
  EXPECT_EQ(json(Text(LocalizedStringKey::interpolated({"", std::int64_t{42}, "%"}))),
            R"({"view":"Text","kind":"localized","text":"42%","key":"%lld%%","args":[42]})");
  EXPECT_EQ(json(Text(LocalizedStringKey::interpolated(
                {"", std::string("1 MB"), " / ", std::string("2 MB"), ""}))),
            R"({"view":"Text","kind":"localized","text":"1 MB / 2 MB","key":"%@ / %@",)"
            R"("args":["1 MB","2 MB"]})");
}

TEST(DescribeNodes, TimerShowsItsReadingAtTheGivenNow) {
  Text timer(TimerInterval{Date(100), Date(3825)}, std::nullopt, true, true);
  EXPECT_EQ(json(timer, Date(100)),
            R"({"view":"Text","kind":"timer","text":"1:02:05","timer":{"from":100,"to":3825,)"
            R"("pauseTime":null,"countsDown":true,"showsHours":true}})");
  EXPECT_NE(json(timer, Date(200)).find(R"("text":"1:00:25")"), std::string::npos);
}

struct PingIntent {
  static constexpr std::string_view typeName = "PingIntent";
  static const Foundation::LocalizedStringResource& title() {
    static const Foundation::LocalizedStringResource value("Ping");
    return value;
  }
  AppIntents::IntentResult perform() const { return AppIntents::IntentResult::result(); }
  friend bool operator==(const PingIntent&, const PingIntent&) = default;
};

TEST(DescribeNodes, ButtonWritesIntentNameAndLabelNode) {
  View button = Button(PingIntent(), Circle()).buttonStyle(PlainButtonStyle());
  EXPECT_EQ(json(button), R"({"view":"Button","intent":"PingIntent",)"
                          R"("modifiers":[{"buttonStyle":"plain"}],"label":{"view":"Circle"}})");
}

TEST(DescribeModifiers, TextModifiersUseThePlatformNames) {
  EXPECT_EQ(modifierOf(Circle().font(Font::caption2)), R"({"font":"caption2"})");
  EXPECT_EQ(modifierOf(Circle().font(Font::system(12.6))), R"({"font":{"system":12.6}})");
  EXPECT_EQ(modifierOf(Circle().fontWeight(Font::Weight::bold)), R"({"fontWeight":"bold"})");
  EXPECT_EQ(modifierOf(Circle().lineLimit(1)), R"({"lineLimit":1})");
  EXPECT_EQ(modifierOf(Circle().truncationMode(TruncationMode::tail)),
            R"({"truncationMode":"tail"})");
  EXPECT_EQ(modifierOf(Circle().monospacedDigit()), R"({"monospacedDigit":true})");
  EXPECT_EQ(modifierOf(Circle().multilineTextAlignment(TextAlignment::center)),
            R"({"multilineTextAlignment":"center"})");
}

TEST(DescribeModifiers, ColoursWriteNameAndOpacityOnlyWhenSet) {
  EXPECT_EQ(modifierOf(Circle().foregroundColor(Color::blue)),
            R"({"foregroundColor":{"name":"blue"}})");
  EXPECT_EQ(modifierOf(Circle().tint(Color::blue.opacity(0.3))),
            R"({"tint":{"name":"blue","opacity":0.3}})");
}

TEST(DescribeModifiers, LayoutModifiers) {
  EXPECT_EQ(modifierOf(Circle().padding(16)), R"({"padding":{"edges":"all","length":16}})");
  EXPECT_EQ(modifierOf(Circle().padding(Edge::Set::horizontal, 8)),
            R"({"padding":{"edges":"horizontal","length":8}})");
  EXPECT_EQ(modifierOf(Circle().frame({.width = 28, .height = 28})),
            R"({"frame":{"width":28,"height":28,"alignment":"center"}})");
  EXPECT_EQ(modifierOf(Circle().frame({.maxWidth = infinity})),
            R"({"frame":{"maxWidth":"infinity","alignment":"center"}})");
  EXPECT_EQ(modifierOf(Circle().opacity(0)), R"({"opacity":0})");
}

TEST(DescribeModifiers, ShapeAndEffectModifiers) {
  EXPECT_EQ(modifierOf(Circle().trim(0, 0.42)), R"({"trim":{"from":0,"to":0.42}})");
  EXPECT_EQ(modifierOf(Circle().stroke(Color::blue,
                                       StrokeStyle{.lineWidth = 3, .lineCap = CGLineCap::round})),
            R"({"stroke":{"color":{"name":"blue"},"lineWidth":3,"lineCap":"round",)"
            R"("lineJoin":"miter","miterLimit":10,"dash":[],"dashPhase":0}})");
  EXPECT_EQ(modifierOf(Circle().rotationEffect(Angle::degrees(-90))),
            R"({"rotationEffect":{"degrees":-90,"anchor":"center"}})");
  EXPECT_EQ(modifierOf(Circle().rotationEffect(Angle::radians(-std::numbers::pi / 2))),
            R"({"rotationEffect":{"degrees":-90,"anchor":"center"}})");
  EXPECT_EQ(modifierOf(Circle().scaleEffect(1, 1.5)),
            R"({"scaleEffect":{"x":1,"y":1.5,"anchor":"center"}})");
}

TEST(DescribeWriter, WritesOneValueIntoALargerDocument) {
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
