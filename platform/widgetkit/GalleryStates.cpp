#include "platform/widgetkit/GalleryStates.h"

namespace WidgetKit {

const std::vector<GalleryState>& galleryStates() {
  static const std::vector<GalleryState> states{
      {"queued",
       "Queued at 0: secondary colour, clock, no arc, no byte texts.",
       R"json({
  "currentDownload": 0,
  "totalDownloads": 3,
  "overallProgress": 0,
  "currentFileName": "Lantern.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill"
  ],
  "totalBytesDownloaded": 0,
  "totalBytesExpected": 1288490188,
  "bytesPerSecond": 0,
  "lastUpdateTime": 818003725.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "queued"
})json"},
      {"downloading",
       "Downloading 2 of 5 at 42 %: blue, speed, a 5:30 count-down, bytes; the badge is the pause button.",
       R"json({
  "currentDownload": 2,
  "totalDownloads": 5,
  "overallProgress": 0.42,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill",
    "Loopcrafts",
    "Clipsy"
  ],
  "totalBytesDownloaded": 1503238553,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 6291456,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818004055.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"paused",
       "Paused 3 of 7 at 50 %: orange, \"Paused\" in the status and footer, bytes kept, no timer although an estimate is set.",
       R"json({
  "currentDownload": 3,
  "totalDownloads": 7,
  "overallProgress": 0.5,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill",
    "Loopcrafts",
    "Clipsy"
  ],
  "totalBytesDownloaded": 2147483648,
  "totalBytesExpected": 4294967296,
  "bytesPerSecond": 6291456,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818004055.5,
  "isCompleted": false,
  "isPaused": true,
  "phase": "paused"
})json"},
      {"importing",
       "Importing at 97 %: purple, box symbol, no byte texts.",
       R"json({
  "currentDownload": 5,
  "totalDownloads": 5,
  "overallProgress": 0.97,
  "currentFileName": "Clipsy.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill",
    "Loopcrafts",
    "Clipsy"
  ],
  "totalBytesDownloaded": 3579139413,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 0,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818003740.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "importing"
})json"},
      {"completed",
       "Completed: green, checkmark, full ring on the badge, done mark in the compact island.",
       R"json({
  "currentDownload": 5,
  "totalDownloads": 5,
  "overallProgress": 1.0,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill",
    "Loopcrafts",
    "Clipsy"
  ],
  "totalBytesDownloaded": 3579139413,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 0,
  "lastUpdateTime": 818003725.5,
  "isCompleted": true,
  "isPaused": false,
  "phase": "completed"
})json"},
      {"flags-only-paused",
       "No phase, isPaused true: shown exactly as paused.",
       R"json({
  "currentDownload": 1,
  "totalDownloads": 2,
  "overallProgress": 0.25,
  "currentFileName": "Sketchory.ipa",
  "appNames": [
    "Sketchory",
    "Meridian Photo 2"
  ],
  "totalBytesDownloaded": 268435456,
  "totalBytesExpected": 1073741824,
  "bytesPerSecond": 0,
  "lastUpdateTime": 818003725.5,
  "isCompleted": false,
  "isPaused": true
})json"},
      {"long-name",
       "One long app name: kept whole by the names rule, cut at the tail with … on one line.",
       R"json({
  "currentDownload": 1,
  "totalDownloads": 1,
  "overallProgress": 0.63,
  "currentFileName": "Designer.ipa",
  "appNames": [
    "Meridian Designer 2 – Professional Vector Graphics Suite for Illustrators"
  ],
  "totalBytesDownloaded": 1181116006,
  "totalBytesExpected": 1879048192,
  "bytesPerSecond": 12582912,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818003781.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"five-names",
       "Five names cut to the ones that fit, then … (35 characters on the lock screen, 30 in the island).",
       R"json({
  "currentDownload": 4,
  "totalDownloads": 5,
  "overallProgress": 0.71,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Reel Cutter X",
    "Tone Loom",
    "Pixelwright Go",
    "Shrinkwrap",
    "Kinema"
  ],
  "totalBytesDownloaded": 1503238553,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 6291456,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818004055.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"over-100",
       "Progress 1.5: 150 %, the bar and ring full, not beyond.",
       R"json({
  "currentDownload": 5,
  "totalDownloads": 5,
  "overallProgress": 1.5,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill",
    "Loopcrafts",
    "Clipsy"
  ],
  "totalBytesDownloaded": 5368709120,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 6291456,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818004055.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"negative-progress",
       "Progress -0.25: -25 %, the bar empty and no arc.",
       R"json({
  "currentDownload": 1,
  "totalDownloads": 5,
  "overallProgress": -0.25,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill",
    "Loopcrafts",
    "Clipsy"
  ],
  "totalBytesDownloaded": 0,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 6291456,
  "lastUpdateTime": 818003725.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"zero-bytes",
       "Nothing known yet: 0 KB/s, no timer, Zero KB / Zero KB.",
       R"json({
  "currentDownload": 1,
  "totalDownloads": 1,
  "overallProgress": 0,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Tallies"
  ],
  "totalBytesDownloaded": 0,
  "totalBytesExpected": 0,
  "bytesPerSecond": 0,
  "lastUpdateTime": 818003725.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"stale-estimate",
       "The estimate lies two minutes in the past: the time-remaining group is hidden.",
       R"json({
  "currentDownload": 5,
  "totalDownloads": 5,
  "overallProgress": 0.88,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill",
    "Loopcrafts",
    "Clipsy"
  ],
  "totalBytesDownloaded": 1503238553,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 6291456,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818003605.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"long-wait",
       "An hour and more left: the count-down shows 1:02:03.",
       R"json({
  "currentDownload": 1,
  "totalDownloads": 5,
  "overallProgress": 0.05,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "Lantern",
    "Tallies",
    "Quill",
    "Loopcrafts",
    "Clipsy"
  ],
  "totalBytesDownloaded": 178956970,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 48128,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818007448.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"emoji",
       "Emoji names: a camera and a family joined by zero-width joiners (one character each).",
       R"json({
  "currentDownload": 2,
  "totalDownloads": 3,
  "overallProgress": 0.37,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "📸 Snapshot",
    "👨‍👩‍👧 Kin Circle",
    "🎧 Podcasts"
  ],
  "totalBytesDownloaded": 1503238553,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 6291456,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818004055.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
      {"indic",
       "Devanagari names: conjuncts stay whole (क्षि is one character).",
       R"json({
  "currentDownload": 1,
  "totalDownloads": 3,
  "overallProgress": 0.18,
  "currentFileName": "Tallies.ipa",
  "appNames": [
    "नमस्ते भारत",
    "क्षितिज समाचार",
    "हिन्दी शब्दकोश"
  ],
  "totalBytesDownloaded": 1503238553,
  "totalBytesExpected": 3579139413,
  "bytesPerSecond": 6291456,
  "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818004055.5,
  "isCompleted": false,
  "isPaused": false,
  "phase": "downloading"
})json"},
  };
  return states;
}

}  // namespace WidgetKit
