#include "protocol/show_message.hpp"

#include <gtest/gtest.h>

#include "protocol/item_codes.hpp"
#include "tests/fakes/fake_ui.hpp"
#include "texts/messages.hpp"

namespace rovant {
namespace {

struct CodeCase {
  int code;
  const char* label;
};

class ReportLabels : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ReportLabels, EachCodeNamesOneLabel) {
  const CodeCase& c = GetParam();
  EXPECT_EQ(ReportLabelOf(c.code), c.label);
  const std::string text = ComposeMessageText("ignored", c.code);
  EXPECT_EQ(text, std::string(msg::kBadItemHeader) + c.label + std::string(msg::kBadItemTrailer));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ReportLabels,
    ::testing::Values(CodeCase{101, "EMULATE"}, CodeCase{105, "LINE-SP"}, CodeCase{113, "CHR-SET"},
                      CodeCase{134, "CHR-SET"}, CodeCase{114, "AGM"}, CodeCase{135, "AGM"},
                      CodeCase{117, "ZEROFNT"}, CodeCase{138, "ZEROFNT"}, CodeCase{118, "DC3-CDE"},
                      CodeCase{139, "DC3-CDE"}, CodeCase{126, "LINE-SP"}, CodeCase{146, "WORD-LD"},
                      CodeCase{156, "CSFTYPE"}, CodeCase{164, "CSF-ADJ"}, CodeCase{175, "LOCL"},
                      CodeCase{178, "GATHRT"}, CodeCase{181, "STATUS"}, CodeCase{183, "TOF-CTL"},
                      CodeCase{184, "PG LX10"}, CodeCase{185, "PG LX1"}, CodeCase{186, "PG LX10"},
                      CodeCase{187, "PG LX1"}));

struct ItemCodeCase {
  ItemIndex item;
  int code;
};

class ItemCodes : public ::testing::TestWithParam<ItemCodeCase> {};

TEST_P(ItemCodes, ItemsHaveTheirReceivedCodes) {
  EXPECT_EQ(ItemCodeOf(GetParam().item), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ItemCodes,
    ::testing::Values(ItemCodeCase{0, 101}, ItemCodeCase{8, 109}, ItemCodeCase{9, 184},
                      ItemCodeCase{10, 185}, ItemCodeCase{11, 110}, ItemCodeCase{18, 117},
                      ItemCodeCase{19, 118}, ItemCodeCase{22, 121}, ItemCodeCase{23, 122},
                      ItemCodeCase{27, 126}, ItemCodeCase{32, 186}, ItemCodeCase{33, 187},
                      ItemCodeCase{41, 139}, ItemCodeCase{42, 138}, ItemCodeCase{45, 142},
                      ItemCodeCase{46, 143}, ItemCodeCase{59, 156}, ItemCodeCase{60, 157},
                      ItemCodeCase{69, 166}, ItemCodeCase{70, 167}, ItemCodeCase{84, 181},
                      ItemCodeCase{86, 183}));

TEST(ComposeMessageText, TextIsUsedUnchangedOutsideTheCodeRange) {
  for (const int code : {0, 100, 188, -1, 1000}) {
    EXPECT_EQ(ComposeMessageText("Failure in reading settings from printer", code),
              "Failure in reading settings from printer");
  }
  EXPECT_TRUE(ReportLabelOf(100).empty());
  EXPECT_TRUE(ReportLabelOf(188).empty());
}

TEST(ComposeMessageText, ReportFitsItsBuffer) {
  for (int code = kFirstItemCode; code <= kLastItemCode; ++code) {
    EXPECT_LT(ComposeMessageText({}, code).size(), msg::kReportBufferSize);
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
  EXPECT_EQ(boxes.shown[1].owner, 7u);
  EXPECT_EQ(boxes.shown[1].style, 0x80u);
  EXPECT_EQ(boxes.shown[1].icon, 188u);
  EXPECT_NE(boxes.shown[1].text.find("\n\nLINE-SP\n\n"), std::string::npos);
}

}  // namespace
}  // namespace rovant
