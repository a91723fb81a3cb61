// The texts of the printer links' failures (a printer's device file, a TCP
// connection, the reply mailbox), each composed from what it names: a device's
// path, an address as "HOST:PORT", a time-out as "3 s", the system's reason.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace rovant::msg {

namespace link_detail {

inline std::string Joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts) text += part;
  return text;
}

}  // namespace link_detail

// ---- Any link to a printer: `where` is a device's path or an address.

inline std::string PrinterAt(std::string_view where) {
  return link_detail::Joined({"the printer at ", where});
}
inline std::string NoAnswerWithin(std::string_view where, std::string_view seconds) {
  return link_detail::Joined({"no answer from ", where, " within ", seconds});
}
inline std::string TookNoDataWithin(std::string_view where, std::string_view seconds) {
  return link_detail::Joined({PrinterAt(where), " took no data within ", seconds});
}
inline std::string SendingFailed(std::string_view to, std::string_view reason) {
  return link_detail::Joined({"sending to ", to, " failed: ", reason});
}
inline std::string ReceivingFailed(std::string_view from, std::string_view reason) {
  return link_detail::Joined({"receiving from ", from, " failed: ", reason});
}

// ---- A printer's device file (USB or a parallel port).

// What a file that is no character device is, in NotADevice.
inline constexpr std::string_view kKindMissing = "not a device";
inline constexpr std::string_view kKindRegularFile = "a regular file";
inline constexpr std::string_view kKindFolder = "a folder";
inline constexpr std::string_view kKindNamedPipe = "a named pipe (FIFO)";
inline constexpr std::string_view kKindSocket = "a socket";
inline constexpr std::string_view kKindBlockDevice = "a block device (a disk)";
inline constexpr std::string_view kKindOther = "not a character device";

inline std::string NotADevice(std::string_view path, std::string_view kind) {
  return link_detail::Joined({path, " is ", kind,
                              ", not a printer's device file (a character device such as "
                              "/dev/usb/lp0): nothing was sent to it"});
}
inline std::string DeviceBusy(std::string_view path) {
  return link_detail::Joined(
      {"the printer device ", path,
       " is in use by the print spooler (CUPS) or another program: stop the CUPS queue of this "
       "printer (cupsdisable QUEUE) or close the other program, then try again"});
}
inline std::string DeviceNotPermitted(std::string_view path) {
  return link_detail::Joined(
      {"no permission to use the printer device ", path,
       ": add your user to the group owning it (usually \"lp\": sudo usermod -aG lp USER, then "
       "log in again) or run with rights on the device"});
}
inline std::string DeviceAbsent(std::string_view path) {
  return link_detail::Joined({"there is no printer device ", path,
                              ": the printer is not connected or is switched off (check the "
                              "cable, the power and the device name)"});
}
inline std::string DeviceNotOpened(std::string_view path, std::string_view reason) {
  return link_detail::Joined({"cannot open the printer device ", path, ": ", reason});
}
inline std::string DeviceNotOpen(std::string_view path) {
  return link_detail::Joined({"the printer device ", path, " is not open"});
}
inline std::string DeviceOneWay(std::string_view path) {
  return link_detail::Joined(
      {"the printer's interface at ", path,
       " is one-way: no replies can be read through it; check that the interface and the cable "
       "support bidirectional mode (a parallel port: ECP, EPP or PS/2 in the computer's firmware "
       "settings)"});
}
inline std::string DeviceUnplugged(std::string_view path) {
  return link_detail::Joined({PrinterAt(path), " was disconnected or switched off"});
}
inline constexpr std::string_view kDeviceMayBeStuck =
    ": it may be off line, out of paper or jammed";
inline std::string DeviceTookOnly(std::string_view path, std::size_t taken, std::size_t total,
                                  std::string_view seconds) {
  return link_detail::Joined({PrinterAt(path), " took only ", std::to_string(taken), " of ",
                              std::to_string(total), " bytes within ", seconds, kDeviceMayBeStuck});
}
inline std::string DeviceTookNoData(std::string_view path, std::string_view seconds) {
  return link_detail::Joined({TookNoDataWithin(path, seconds), kDeviceMayBeStuck});
}
inline std::string DeviceSendingFailed(std::string_view path, std::string_view reason) {
  return SendingFailed(PrinterAt(path), reason);
}
inline std::string DeviceReceivingFailed(std::string_view path, std::string_view reason) {
  return ReceivingFailed(PrinterAt(path), reason);
}
inline std::string DeviceNoAnswer(std::string_view path, std::string_view seconds) {
  return NoAnswerWithin(PrinterAt(path), seconds);
}

// ---- A TCP connection: `where` is "HOST:PORT" ("[HOST]:PORT" for IPv6).

inline constexpr std::string_view kSocketsUnusable = "the system's sockets cannot be used";

inline std::string SocketNotCreated(std::string_view reason) {
  return link_detail::Joined({"cannot create a socket: ", reason});
}
inline std::string AddressNotResolvedWithin(std::string_view host, std::string_view seconds) {
  return link_detail::Joined({"the printer address ", host, " cannot be resolved within ", seconds,
                              ": the name service does not answer"});
}
inline std::string AddressNotResolved(std::string_view host, std::string_view reason) {
  return link_detail::Joined({"the printer address ", host, " cannot be resolved: ", reason});
}
inline std::string ConnectionRefused(std::string_view where) {
  return link_detail::Joined(
      {PrinterAt(where),
       " refused the connection: it is busy with another session or switched off"});
}
inline std::string CannotConnect(std::string_view where, std::string_view reason) {
  return link_detail::Joined({"cannot connect to ", where, ": ", reason});
}
inline std::string NotConnected(std::string_view where) {
  return link_detail::Joined({"not connected to ", where});
}
inline std::string ClosedWithoutAnswer(std::string_view where) {
  return link_detail::Joined({PrinterAt(where), " closed the connection without an answer"});
}
inline std::string ResetAfterLastSend(std::string_view where, std::string_view reason) {
  return link_detail::Joined({PrinterAt(where), " reset the connection after the last send (",
                              reason, "): it may not have taken everything"});
}

// ---- The reply mailbox shared with the printer driver's language monitor.

inline constexpr std::string_view kMailboxNotOpened =
    "the reply mailbox (the named file mapping shared with the printer driver's language "
    "monitor) cannot be opened";
inline constexpr std::string_view kMonitorPortFailed =
    "the printer driver's language monitor reported that the printer port failed";

inline std::string MailboxLockHeld(unsigned seconds) {
  return link_detail::Joined({"the reply mailbox's mutex stayed held for ", std::to_string(seconds),
                              " s: the language monitor may hang"});
}
inline std::string MonitorNoAnswer(unsigned seconds) {
  return link_detail::Joined(
      {"the printer driver's language monitor did not answer within ", std::to_string(seconds),
       " s: is the printer's own driver installed, with its language monitor?"});
}

}  // namespace rovant::msg
