#include "protocol/write_settings.hpp"

#include "protocol/setting_text.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "tests/fakes/test_records.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

using testing::Calls;
using testing::Join;
using testing::kOwner;
using testing::SplitCalls;

const std::string kTransfer = "status " + std::string(msg::kStatusTransfer);
const std::string kDefault = "status " + std::string(msg::kStatusFactoryDefault);
const std::string kList = "status " + std::string(msg::kStatusListPrint);

class WriteSettings : public testing::OperationTest {};

Calls Head(WriteMode mode) {
  if (mode == WriteMode::kTransfer) return {kTransfer, "cursor wait", "page store"};
  return {mode == WriteMode::kFactoryDefault ? kDefault : kList, "cursor wait"};
}

TEST_F(WriteSettings, TransferSendsTheTextOfThePageForTheSelectedModel) {
  const SettingsRecord onPage = testing::WithChanges(kFactoryDefaults, "3=5");
  pages.selections = onPage;
  for (const ModelCode model : {ModelCode::kHx310, ModelCode::kHx320}) {
    state.selectedPrinter.modelCode = model;
    link.sent.clear();
    EXPECT_EQ(WritePrinterSettings(WriteMode::kTransfer, kOwner, context), WriteResult::kDone);
    SettingText expected;
    ItemList refused;
    ASSERT_TRUE(BuildSettingText(onPage, model, expected, refused));
    ASSERT_EQ(link.sent.size(), 3u);
    EXPECT_EQ(link.sent[1], expected.view());
  }
  EXPECT_EQ(state.settings, onPage);
}

struct WriteEnding {
  const char* name;
  WriteMode mode;
  WriteResult result;
  const char* sends;  // the printer's answers in order, '+' taken, '-' refused; then taken
  bool pendingBefore;
  bool pendingAfter;
  bool factoryAfter;  // a factory default the printer accepted
  std::string calls;  // from the opening of the link on, separated by '|'
  int portState = kPortLocal;
  bool mailboxOpens = true;
  std::string_view lanFailure = {};
};

constexpr WriteMode kText = WriteMode::kTransfer;
constexpr WriteMode kReset = WriteMode::kFactoryDefault;
constexpr WriteMode kListing = WriteMode::kListPrint;
const std::string kOpened = "link open spooler session|link send online|";
const std::string kNotSent = "|cursor arrow|status close|link close";
const std::string kNotSaved = "|link close|cursor arrow|status close";
constexpr WriteResult kDone = WriteResult::kDone, kFailed = WriteResult::kFailed;

// Nothing opened keeps the no-response flag for the next exchange; a refused
// command sets it only when the closing save could not be sent either. A transfer
// and a factory default close alike: the default's rows walk through the closing.
const WriteEnding kEndings[] = {
    {"transfer", kText, kDone, "", false, false, false,
     kOpened + "link send text 1160|link send save+exit|link close|sleep 2000|status close|"
               "cursor arrow"},
    {"factory default", kReset, kDone, "", false, false, true,
     kOpened + "page refresh|link send default|link send save+exit|link close|sleep 5000|"
               "status close|cursor arrow"},
    {"list printing", kListing, kDone, "", false, false, false,
     kOpened + "link send list+exit|link close|sleep 2000|status close|print finished dialog|"
               "cursor arrow"},
    {"mailbox", kText, kFailed, "", true, true, false,
     "link open spooler session|cursor arrow|status close", kPortLocal, false},
    {"lan port", kListing, kFailed, "", true, true, false,
     "link open lan|status close|" +
         testing::OperationTest::Box(msg::kIconError, msg::kLanNoResponse) + "|cursor arrow",
     kPortLan, true, msg::kLanNoResponse},
    {"online refused after a wait", kListing, kFailed, "-", true, false, false,
     "link open spooler session|sleep 5000|link send online" + kNotSent},
    {"default: online refused", kReset, kFailed, "-", false, false, false,
     "link open spooler session|link send online" + kNotSent},
    {"text refused, close taken", kText, kFailed, "+-+", false, false, false,
     kOpened + "link send text 1160|link send save+exit" + kNotSent},
    {"default refused, close taken", kReset, kFailed, "+-+", false, false, false,
     kOpened + "page refresh|link send default|page refresh|link send save+exit" + kNotSent},
    {"default and close refused", kReset, kFailed, "+--", false, true, false,
     kOpened + "page refresh|link send default|page refresh|link send save+exit" + kNotSent},
    {"close refused after the default", kReset, kFailed, "++-", false, true, true,
     kOpened + "page refresh|link send default|link send save+exit" + kNotSaved},
    {"list refused", kListing, kFailed, "+-", false, true, false,
     kOpened + "link send list+exit" + kNotSent},
};

class WriteEndingTest : public WriteSettings, public ::testing::WithParamInterface<WriteEnding> {};

TEST_P(WriteEndingTest, EndsAndKeepsTheUsersSettingsUnlessTheDefaultWasTaken) {
  const WriteEnding& c = GetParam();
  Arrange(c.portState, c.mailboxOpens, c.lanFailure, c.sends);
  state.noResponsePending = c.pendingBefore;
  state.settings[3] = 5;
  pages.selections = state.settings;
  const SettingsRecord before = state.settings;
  EXPECT_EQ(WritePrinterSettings(c.mode, kOwner, context), c.result) << c.name;
  EXPECT_EQ(log.calls, Join({Head(c.mode), SplitCalls(c.calls)})) << c.name;
  EXPECT_EQ(state.noResponsePending, c.pendingAfter) << c.name;
  // The user's settings stay unless the printer took the factory default; the page shows them.
  EXPECT_EQ(state.settings, c.factoryAfter ? kFactoryDefaults : before) << c.name;
  EXPECT_EQ(pages.shown.value_or(before), state.settings) << c.name;
  for (const MessageBoxRequest& box : boxes.shown) EXPECT_EQ(box.owner, kOwner) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Endings, WriteEndingTest, ::testing::ValuesIn(kEndings));

TEST_F(WriteSettings, TransferOfValuesOutsideTheirListsIsRefusedWithTheItems) {
  const SettingsRecord onPage = testing::WithChanges(kFactoryDefaults, "61=30");  // one past FINE's
  pages.selections = onPage;
  EXPECT_EQ(WritePrinterSettings(WriteMode::kTransfer, kOwner, context), WriteResult::kRefused);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].text.find("ADJUST CNTFINE (stored 30, list of 30)"), std::string::npos);
  EXPECT_EQ(log.calls,
            Join({Head(WriteMode::kTransfer),
                  {"status close", Box(msg::kIconWarning, boxes.shown[0].text), "cursor arrow"}}));
  EXPECT_TRUE(link.sent.empty());
}

}  // namespace
}  // namespace rovant
