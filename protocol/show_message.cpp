#include "protocol/show_message.hpp"

#include "protocol/item_codes.hpp"
#include "texts/messages.hpp"

namespace rovant {

std::string ComposeMessageText(std::string_view text, int code) {
  if (!IsItemCode(code)) return std::string(text);
  std::string report;
  report.reserve(msg::kReportBufferSize);
  report.append(msg::kBadItemHeader);
  report.append(ReportLabelOf(code));
  report.append(msg::kBadItemTrailer);
  return report;
}

int ShowMessage(MessageBoxes& boxes, unsigned style, std::string_view text, unsigned icon, int code,
                WindowRef owner) {
  return boxes.Show(MessageBoxRequest{owner, ComposeMessageText(text, code), style, icon});
}

int ShowPlainMessage(MessageBoxes& boxes, WindowRef owner, std::string_view text, unsigned style) {
  return boxes.Show(MessageBoxRequest{owner, std::string(text), style, msg::kIconNone});
}

}  // namespace rovant
