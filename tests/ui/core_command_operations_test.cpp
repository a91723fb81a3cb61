// The commands' operations reach the program's own parts.
#include "ui/core_command_operations.hpp"

#include <gtest/gtest.h>

#include "tests/fakes/fake_file_system.hpp"
#include "tests/fakes/fake_spooler.hpp"
#include "tests/fakes/operation_fixture.hpp"

namespace rovant::ui {
namespace {

class CoreOperations : public testing::OperationTest {
 protected:
  testing::FakeSpooler spooler{log};
  testing::FakeFileSystem fs{log};
  testing::FakeFileDialogs dialogs{log};
  SelectionContext selection{state, spooler, boxes, testing::kOwner};
  FileCommandContext files{fs,    dialogs,        boxes,          cursor,
                           pages, state.settings, "C:\\Settings", testing::kOwner};
  CoreCommandOperations operations{context, selection, files};
};

TEST_F(CoreOperations, TheReadinessCheckAsksTheSpooler) {
  state.selectedPrinter.printerName = "gone";
  EXPECT_NE(operations.CheckPrinterReady(), 0);
  ASSERT_FALSE(log.calls.empty());
  EXPECT_EQ(log.calls[0], "spooler read gone");
}

TEST_F(CoreOperations, PrinterOperationsTakeTheirModes) {
  // Modes the operations do not know end at once, without the printer.
  EXPECT_EQ(operations.ReadPrinterSettings(static_cast<ReadMode>(2), testing::kOwner),
            ReadResult::kFailed);
  EXPECT_EQ(operations.WritePrinterSettings(static_cast<WriteMode>(3), testing::kOwner),
            WriteResult::kFailed);
  EXPECT_TRUE(log.calls.empty());
  operations.ReadPrinterSettings(ReadMode::kRead, testing::kOwner);
  EXPECT_EQ(log.calls.front(), "status Setting data is read from the printer");
}

TEST_F(CoreOperations, WriteRunsTheGivenMode) {
  operations.WritePrinterSettings(WriteMode::kListPrint, testing::kOwner);
  ASSERT_FALSE(log.calls.empty());
  EXPECT_EQ(log.calls.front(), "status The setting list is printed");
}

TEST_F(CoreOperations, FileCommandsUseTheirDialogs) {
  EXPECT_FALSE(operations.OpenSettingFile());
  EXPECT_FALSE(operations.SaveSettingFile());
  ASSERT_EQ(dialogs.requests.size(), 2u);
  EXPECT_EQ(dialogs.requests[0].title, "OPEN");
  EXPECT_EQ(dialogs.requests[1].title, "Save");
}

TEST_F(CoreOperations, TheWorkingCopyIsStored) {
  EXPECT_TRUE(operations.StoreWorkingCopy());
  EXPECT_TRUE(fs.files.contains(WorkingCopyPath("C:\\Settings")));
}

}  // namespace
}  // namespace rovant::ui
