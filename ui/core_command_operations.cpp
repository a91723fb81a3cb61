#include "ui/core_command_operations.hpp"

#include "protocol/read_settings.hpp"
#include "protocol/write_settings.hpp"
#include "ui/printer_readiness.hpp"

namespace rovant::ui {

int CoreCommandOperations::CheckPrinterReady() { return ui::CheckPrinterReady(selection_); }

ReadResult CoreCommandOperations::ReadPrinterSettings(ReadMode mode, WindowRef owner) {
  return rovant::ReadPrinterSettings(mode, owner, printer_);
}

WriteResult CoreCommandOperations::WritePrinterSettings(WriteMode mode, WindowRef owner) {
  return rovant::WritePrinterSettings(mode, owner, printer_);
}

bool CoreCommandOperations::OpenSettingFile() { return rovant::OpenSettingFile(files_); }

bool CoreCommandOperations::SaveSettingFile() { return rovant::SaveSettingFile(files_); }

bool CoreCommandOperations::StoreWorkingCopy() { return rovant::StoreWorkingCopy(files_); }

}  // namespace rovant::ui
