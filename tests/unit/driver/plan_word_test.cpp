#include <gtest/gtest.h>

#include <string>

#include "driver/input_loop.h"

namespace vox {
namespace {

TEST(PlanWord, DecidesWhatTheLoopDoesWithAWord) {
  constexpr auto kQuit = WordAction::Quit;
  constexpr auto kComment = WordAction::SkipBatch;
  constexpr auto kSkip = WordAction::SkipWord;
  constexpr auto kExpand = WordAction::Expand;
  constexpr auto kDos = WordCursor::DosStart;
  constexpr auto kNumber = WordCursor::NumberStart;
  const struct {
    const char* word;
    bool first;
    bool redirection;
    const char* filter;
    char dvobj;
    WordAction action;
    WordCursor::State start;
    int text_offset;  // where the expanded text starts in the word
  } cases[] = {
      {"quit", true, false, nullptr, '$', kQuit, kNumber, 0},
      // "quit" elsewhere is an ordinary word.
      {"quit", false, false, nullptr, '$', kExpand, kNumber, 0},
      {"QUIT", true, false, nullptr, '$', kExpand, kNumber, 0},
      {"quit2", true, false, nullptr, '$', kExpand, kNumber, 0},
      {"#", true, false, nullptr, '$', kComment, kNumber, 0},
      {"#hd1", true, false, nullptr, '$', kComment, kNumber, 0},
      {"#hd1", false, false, nullptr, '$', kExpand, kNumber, 0},
      // The comment and quit tests come before the filter.
      {"quit", true, false, "Hard", '$', kQuit, kNumber, 0},
      {"#x", true, false, "Hard", '$', kComment, kNumber, 0},
      {"Harddisk1", true, false, "Harddisk", '$', kExpand, kNumber, 0},
      {"VG1", false, false, "Harddisk", '$', kSkip, kNumber, 0},
      {"P-VOL", false, false, "Harddisk", '$', kSkip, kNumber, 0},
      {"Hard", false, false, "Harddisk", '$', kSkip, kNumber, 0},
      {"harddisk1", false, false, "Harddisk", '$', kSkip, kNumber, 0},
      {"anything", false, false, "", '$', kExpand, kNumber, 0},
      {"$C:", false, false, "$", '$', kExpand, kDos, 1},
      {"$C:", false, false, nullptr, '$', kExpand, kDos, 1},
      {"$", false, false, nullptr, '$', kExpand, kDos, 1},
      {"%C:", false, false, nullptr, '$', kExpand, kNumber, 0},
      {"%C:", false, false, nullptr, '%', kExpand, kDos, 1},
      // '$' stays a prefix when the second one is '%'.
      {"$Phys", false, false, nullptr, '%', kExpand, kDos, 1},
      {"C:", false, false, nullptr, '$', kExpand, kNumber, 0},
      {"", false, false, nullptr, '$', kExpand, kNumber, 0},
      {"", true, false, nullptr, '\0', kExpand, kNumber, 0},
      // A carried-out redirection never reaches the expansion; a -z word without "=" does.
      {"-z1w", false, true, nullptr, '$', kSkip, kNumber, 0},
      {"-z1w", true, true, "", '$', kSkip, kNumber, 0},
      {"-z1", false, false, nullptr, '$', kExpand, kNumber, 0},
  };
  for (const auto& c : cases) {
    const WordPlan plan = plan_word(c.word, c.first, c.redirection, c.filter, c.dvobj);
    const std::string label = std::string(c.word) + (c.first ? " first" : "");
    EXPECT_EQ(plan.action, c.action) << label;
    if (c.action == kExpand) {
      EXPECT_EQ(plan.start, c.start) << label;
      EXPECT_EQ(plan.text, c.word + c.text_offset) << label;
    }
  }
}

}  // namespace
}  // namespace vox
