// The commands' operations on the program's own parts: the readiness check,
// the printer operations and the file commands.
#pragma once

#include "files/file_commands.hpp"
#include "protocol/printer_operation.hpp"
#include "ui/command_surroundings.hpp"
#include "ui/selection_context.hpp"

namespace rovant::ui {

class CoreCommandOperations final : public CommandOperations {
 public:
  CoreCommandOperations(PrinterOperationContext& printer, SelectionContext& selection,
                        FileCommandContext& files)
      : printer_(printer), selection_(selection), files_(files) {}

  int CheckPrinterReady() override;
  ReadResult ReadPrinterSettings(ReadMode mode, WindowRef owner) override;
  WriteResult WritePrinterSettings(WriteMode mode, WindowRef owner) override;
  bool OpenSettingFile() override;
  bool SaveSettingFile() override;
  bool StoreWorkingCopy() override;

 private:
  PrinterOperationContext& printer_;
  SelectionContext& selection_;
  FileCommandContext& files_;
};

}  // namespace rovant::ui
