#include "protocol/write_settings.hpp"

#include "protocol/setting_text.hpp"
#include "tests/fakes/operation_fixture.hpp"
#include "texts/printer_messages.hpp"

namespace rovant {
namespace {

using testing::Calls;
using testing::kOwner;

const std::string kTransfer = "status " + std::string(msg::kStatusTransfer);
const std::string kDefault = "status " + std::string(msg::kStatusFactoryDefault);
const std::string kList = "status " + std::string(msg::kStatusListPrint);
const Calls kOpen{"link open spooler session"};

Calls Join(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class WriteSettings : public testing::OperationTest {};

TEST_F(WriteSettings, OtherModesDoNothing) {
  for (const int mode : {0, 3, 4, 7, 9, -1}) {
    EXPECT_EQ(WritePrinterSettings(static_cast<WriteMode>(mode), kOwner, context),
              WriteResult::kFailed)
        << mode;
  }
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(WriteSettings, TransferSendsThePageThenSavesAndWaits) {
  SettingsRecord onPage = kFactoryDefaults;
  onPage[3] = 5;
  pages.selections = onPage;
  EXPECT_EQ(WritePrinterSettings(WriteMode::kTransfer, kOwner, context), WriteResult::kDone);
  EXPECT_EQ(log.calls, Join({{kTransfer, "cursor wait", "page store"},
                             kOpen,
                             {"link send online", "link send text 1160", "link send save+exit",
                              "link close", "sleep 2000", "status close", "cursor arrow"}}));
  SettingText expected;
  ItemList refused;
  ASSERT_TRUE(BuildSettingText(onPage, ModelCode::kHx320, expected, refused));
  EXPECT_EQ(link.sent[1], expected.view());
  EXPECT_EQ(state.settings, onPage);
}

TEST_F(WriteSettings, TransferFollowsTheSelectedModel) {
  state.selectedPrinter.modelCode = ModelCode::kHx310;
  EXPECT_EQ(WritePrinterSettings(WriteMode::kTransfer, kOwner, context), WriteResult::kDone);
  EXPECT_EQ(link.sent[1].size(), 1112u);
}

TEST_F(WriteSettings, FactoryDefaultResetsTheRecordAndShowsIt) {
  state.settings[3] = 5;
  EXPECT_EQ(WritePrinterSettings(WriteMode::kFactoryDefault, kOwner, context), WriteResult::kDone);
  EXPECT_EQ(log.calls,
            Join({{kDefault, "cursor wait"},
                  kOpen,
                  {"link send online", "page refresh", "link send default", "link send save+exit",
                   "link close", "sleep 5000", "status close", "cursor arrow"}}));
  EXPECT_EQ(state.settings, kFactoryDefaults);
  EXPECT_EQ(pages.shown, kFactoryDefaults);
}

TEST_F(WriteSettings, ListPrintWaitsForTheUserAfterTheStatusWindowHasGone) {
  EXPECT_EQ(WritePrinterSettings(WriteMode::kListPrint, kOwner, context), WriteResult::kDone);
  EXPECT_EQ(log.calls, Join({{kList, "cursor wait"},
                             kOpen,
                             {"link send online", "link send list+exit", "link close", "sleep 2000",
                              "status close", "print finished dialog", "cursor arrow"}}));
}

TEST_F(WriteSettings, OverLanTheConnectionIsOpenedInstead) {
  state.selectedPrinter.portState = kPortLan;
  EXPECT_EQ(WritePrinterSettings(WriteMode::kListPrint, kOwner, context), WriteResult::kDone);
  EXPECT_EQ(log.calls[2], "link open lan");
}

struct EarlyFailure {
  const char* name;
  WriteMode mode;
  int portState;
  bool mailboxOpens;
  std::string lanFailure;
};

class WriteEarlyFailure : public WriteSettings,
                          public ::testing::WithParamInterface<EarlyFailure> {};

TEST_P(WriteEarlyFailure, EndsBeforeAnythingIsSent) {
  const EarlyFailure& c = GetParam();
  state.selectedPrinter.portState = c.portState;
  link.mailboxOpens = c.mailboxOpens;
  link.lanFailure = c.lanFailure;
  state.noResponsePending = true;
  state.settings[3] = 5;
  const SettingsRecord before = state.settings;
  EXPECT_EQ(WritePrinterSettings(c.mode, kOwner, context), WriteResult::kFailed) << c.name;
  EXPECT_TRUE(link.sent.empty());
  EXPECT_EQ(state.settings, before) << "nothing reached the printer: the settings stay";
  EXPECT_FALSE(pages.shown.has_value());
  EXPECT_TRUE(state.noResponsePending) << "the flag waits for the next exchange";
  EXPECT_EQ(log.calls.back(), c.lanFailure.empty() ? "status close" : "cursor arrow");
  if (!c.lanFailure.empty()) {
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], (MessageBoxRequest{kOwner, c.lanFailure, 0x80, 187}));
    EXPECT_EQ(log.calls[log.calls.size() - 3], "status close");
  } else {
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(log.calls[log.calls.size() - 2], "cursor arrow");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, WriteEarlyFailure,
    ::testing::Values(EarlyFailure{"mailbox", WriteMode::kTransfer, kPortLocal, false, ""},
                      EarlyFailure{"mailbox list", WriteMode::kListPrint, kPortLocal, false, ""},
                      EarlyFailure{"lan library", WriteMode::kTransfer, kPortLan, true,
                                   std::string(msg::kLanInitFailed)},
                      EarlyFailure{"lan port", WriteMode::kListPrint, kPortLan, true,
                                   std::string(msg::kLanNoResponse)},
                      EarlyFailure{"blocked port", WriteMode::kFactoryDefault, 2, true, ""},
                      EarlyFailure{"mailbox default", WriteMode::kFactoryDefault, kPortLocal, false,
                                   ""},
                      EarlyFailure{"lan default", WriteMode::kFactoryDefault, kPortLan, true,
                                   std::string(msg::kLanInitFailed)}));

struct SendFailure {
  const char* name;
  WriteMode mode;
  std::deque<bool> sends;
  bool flagAfter;
  Calls tail;                 // from the online sequence on
  bool factoryAfter = false;  // a factory default the printer accepted
};

class WriteSendFailure : public WriteSettings, public ::testing::WithParamInterface<SendFailure> {};

TEST_P(WriteSendFailure, SetsTheFlagOnlyWhenTheCloseCouldNotBeSent) {
  const SendFailure& c = GetParam();
  link.sendResults = c.sends;
  state.settings[3] = 5;
  const SettingsRecord before = state.settings;
  EXPECT_EQ(WritePrinterSettings(c.mode, kOwner, context), WriteResult::kFailed) << c.name;
  EXPECT_EQ(state.noResponsePending, c.flagAfter) << c.name;
  // The user's settings stay unless the printer took the factory default; the page shows them.
  EXPECT_EQ(state.settings, c.factoryAfter ? kFactoryDefaults : before) << c.name;
  EXPECT_EQ(pages.shown.value_or(before), state.settings) << c.name;
  const auto online = std::find(log.calls.begin(), log.calls.end(), "link send online");
  EXPECT_EQ(Calls(online, log.calls.end()), c.tail) << c.name;
  EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, WriteSendFailure,
    ::testing::Values(
        SendFailure{"online refused",
                    WriteMode::kTransfer,
                    {false},
                    false,
                    {"link send online", "cursor arrow", "status close", "link close"}},
        SendFailure{"text refused, close accepted",
                    WriteMode::kTransfer,
                    {true, false, true},
                    false,
                    {"link send online", "link send text 1160", "link send save+exit",
                     "cursor arrow", "status close", "link close"}},
        SendFailure{"text and close refused",
                    WriteMode::kTransfer,
                    {true, false, false},
                    true,
                    {"link send online", "link send text 1160", "link send save+exit",
                     "cursor arrow", "status close", "link close"}},
        SendFailure{"default: online refused",
                    WriteMode::kFactoryDefault,
                    {false},
                    false,
                    {"link send online", "cursor arrow", "status close", "link close"}},
        SendFailure{"default refused, close accepted",
                    WriteMode::kFactoryDefault,
                    {true, false, true},
                    false,
                    {"link send online", "page refresh", "link send default", "page refresh",
                     "link send save+exit", "cursor arrow", "status close", "link close"}},
        SendFailure{"default refused, close refused",
                    WriteMode::kFactoryDefault,
                    {true, false, false},
                    true,
                    {"link send online", "page refresh", "link send default", "page refresh",
                     "link send save+exit", "cursor arrow", "status close", "link close"}},
        SendFailure{"close refused after the default",
                    WriteMode::kFactoryDefault,
                    {true, true, false},
                    true,
                    {"link send online", "page refresh", "link send default", "link send save+exit",
                     "link close", "cursor arrow", "status close"},
                    true},
        SendFailure{"list refused",
                    WriteMode::kListPrint,
                    {true, false},
                    true,
                    {"link send online", "link send list+exit", "cursor arrow", "status close",
                     "link close"}},
        SendFailure{"close refused after the text",
                    WriteMode::kTransfer,
                    {true, true, false},
                    true,
                    {"link send online", "link send text 1160", "link send save+exit", "link close",
                     "cursor arrow", "status close"}}));

TEST_F(WriteSettings, PendingNoResponseWaitsBeforeTheOnlineSequenceAndIsCleared) {
  state.noResponsePending = true;
  link.sendResults = {false};
  EXPECT_EQ(WritePrinterSettings(WriteMode::kListPrint, kOwner, context), WriteResult::kFailed);
  EXPECT_EQ(log.calls[3], "sleep 5000");
  EXPECT_EQ(log.calls[4], "link send online");
  EXPECT_FALSE(state.noResponsePending);
}

TEST_F(WriteSettings, TransferOfValuesOutsideTheirListsIsRefusedWithTheItems) {
  SettingsRecord onPage = kFactoryDefaults;
  onPage[61] = 30;  // one past the FINE list
  pages.selections = onPage;
  EXPECT_EQ(WritePrinterSettings(WriteMode::kTransfer, kOwner, context), WriteResult::kRefused);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].icon, 189u);
  EXPECT_NE(boxes.shown[0].text.find("ADJUST CNTFINE (stored 30, list of 30)"), std::string::npos);
  EXPECT_EQ(log.calls, (Calls{kTransfer, "cursor wait", "page store", "status close",
                              "box 128/189: " + boxes.shown[0].text, "cursor arrow"}));
  EXPECT_TRUE(link.sent.empty());
}

}  // namespace
}  // namespace rovant
