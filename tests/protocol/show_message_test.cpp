#include "protocol/show_message.hpp"

#include <gtest/gtest.h>

#include "protocol/item_codes.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

TEST(ComposeMessageText, ACodeInItsRangeReplacesTheTextByTheReport) {
  for (int code = kFirstItemCode; code <= kLastItemCode; ++code) {
    const std::string text = ComposeMessageText("ignored", code);
    EXPECT_EQ(text, std::string(msg::kBadItemHeader) + std::string(ReportLabelOf(code)) +
                        std::string(msg::kBadItemTrailer));
    EXPECT_LT(text.size(), msg::kReportBufferSize) << code;
  }
  for (const int code : {0, 100, 188, -1, 1000}) {
    EXPECT_EQ(ComposeMessageText(msg::kReadingFailed, code), msg::kReadingFailed) << code;
  }
}

TEST(ShowMessage, PassesStyleIconOwnerAndResult) {
  testing::CallLog log;
  testing::FakeMessageBoxes boxes(log);
  boxes.answers = {msg::kResultRetry};
  EXPECT_EQ(
      ShowMessage(boxes, msg::kUserIconAbortRetryIgnore, "Continue?", msg::kIconWarning, 0, 42),
      msg::kResultRetry);
  EXPECT_EQ(ShowMessage(boxes, msg::kUserIconOk, "", msg::kIconInformation, 126, 7),
            msg::kResultOk);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0], (MessageBoxRequest{42, "Continue?", 0x82, 189}));
  EXPECT_EQ(boxes.shown[1], (MessageBoxRequest{7, ComposeMessageText({}, 126), 0x80, 188}));
}

}  // namespace
}  // namespace rovant
