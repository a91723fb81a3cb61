// rovantctl --printer lan:PORTNAME on Windows: a printer on a network port,
// reached as the setup program reaches it, through the reply mailbox's link
// and the LAN connection library (SxJcp32.dll beside the program). The
// library's failures are shown by console message boxes on standard error.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "platform/clock.hpp"
#include "platform/printer_link.hpp"

namespace rovant::cli {

// The text the library is given for the port name "HOST:lp": "HOST".
std::string LanPortText(const std::string& portName);

class LanPrinterLink final : public PrinterLink {
 public:
  // `portName` is the printer's port name, e.g. "192.168.1.20:lp".
  LanPrinterLink(const std::string& portName, Clock& clock, std::ostream& messages);
  ~LanPrinterLink() override;
  LanPrinterLink(const LanPrinterLink&) = delete;
  LanPrinterLink& operator=(const LanPrinterLink&) = delete;

  LinkOpening Open(LinkRoute route) override;
  bool Send(std::string_view bytes) override;
  bool Receive(std::array<char, 4096>& reply, std::size_t& length) override;
  void Close() override;
  [[nodiscard]] std::string LastError() const override;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace rovant::cli
