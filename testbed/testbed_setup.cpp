// rovant-testbed-setup --install [--capture-lpt1 PATH]: puts the printers ROVANT is tested
// against into the spooler of the current Wine prefix (or Windows), again on each run. The
// drivers are Wine's own PostScript driver files registered under our model names.
#include <windows.h>
#include <winspool.h>

#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/printer.hpp"

namespace {

using rovant::win32::PrinterHandle;
using rovant::win32::UniqueKey;

constexpr DWORD kBidi = PRINTER_ATTRIBUTE_ENABLE_BIDI;
constexpr DWORD kLocal = PRINTER_ATTRIBUTE_LOCAL;
constexpr DWORD kOffline = PRINTER_ATTRIBUTE_WORK_OFFLINE;

constexpr const wchar_t* kOtherDriver = L"Wine PostScript Driver";
constexpr std::array<const wchar_t*, 3> kDrivers{L"Vek HX310", L"Vek HX320", kOtherDriver};

// Ports the local port monitor does not know from the start.
constexpr const wchar_t* kLanPort = L"127.0.0.1:lp";
constexpr const wchar_t* kIppPort = L"http://127.0.0.1:631/ipp/LPT1";
constexpr std::array<const wchar_t*, 3> kAddedPorts{L"USB001", kLanPort, kIppPort};

constexpr const wchar_t* kSeparatorFile = L"C:\\windows\\system32\\sysprint.sep";

// Strings, not views: the spooler's structures take them as writable.
struct TestPrinter {
  std::wstring name;
  std::wstring port = L"LPT1:";
  DWORD attributes = kBidi | kLocal;
  std::wstring driver = L"Vek HX320";
  std::wstring separatorFile = L"";
};

// The second and third: names the 8-bit spooler calls cannot carry whole, one of them outside
// the ANSI code page.
const std::array<TestPrinter, 11> kPrinters{
    {{L"HX320 on LPT1"},
     {L"HX320 Lager S\u00fcd"},
     {L"HX320 \u0421\u043a\u043b\u0430\u0434"},
     {L"HX310 on USB", L"USB001", kBidi | kLocal, L"Vek HX310"},
     {L"HX320 to file", L"FILE:"},
     {L"HX320 on LAN", kLanPort},
     {L"HX320 no bidi", L"LPT1:", kLocal},
     {L"HX320 offline", L"LPT1:", kBidi | kLocal | kOffline},
     {L"HX320 separator", L"LPT1:", kBidi | kLocal, L"Vek HX320", kSeparatorFile},
     {L"HX320 ipp", kIppPort},
     {L"Other driver on LPT1", L"LPT1:", kBidi | kLocal, kOtherDriver}}};

// Where Wine's spooler looks up a port name to send the jobs for it to a
// file (or, with a leading '|', to a command) instead of the port itself.
constexpr wchar_t kSpoolerKey[] = L"Software\\Wine\\Printing\\Spooler";
constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers";

void Report(std::wstring_view what, std::wstring_view name, bool ok) {
  std::fwprintf(ok ? stdout : stderr, L"%ls %ls: %ls (%lu)\n", std::wstring(what).c_str(),
                std::wstring(name).c_str(), ok ? L"ok" : L"FAILED", ok ? 0ul : ::GetLastError());
}

bool AddDriver(std::wstring name) {
  std::wstring file = L"wineps.drv";
  std::wstring data = L"generic.ppd";
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = name.data();
  info.pDriverPath = file.data();
  info.pDataFile = data.data();
  info.pConfigFile = file.data();
  const bool ok = ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info),
                                        APD_COPY_NEW_FILES) != FALSE;
  Report(L"driver", name, ok);
  return ok;
}

// The local port monitor's transceive call "AddPort" for `port`. True when the
// monitor reports success or that the port is there already.
bool AddPort(std::wstring port) {
  std::wstring monitor = L",XcvMonitor Local Port";
  PRINTER_DEFAULTSW access{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  PrinterHandle xcv;
  DWORD needed = 0;
  DWORD status = ERROR_SUCCESS;
  const bool ok = ::OpenPrinterW(monitor.data(), xcv.Receive(), &access) != FALSE &&
                  ::XcvDataW(xcv.get(), L"AddPort", reinterpret_cast<PBYTE>(port.data()),
                             static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)), nullptr, 0,
                             &needed, &status) != FALSE &&
                  (status == ERROR_SUCCESS || status == ERROR_ALREADY_EXISTS);
  if (status != ERROR_SUCCESS) ::SetLastError(status);
  Report(L"port", port, ok);
  return ok;
}

bool AddTestPrinter(TestPrinter p) {
  std::wstring processor = L"WinPrint";
  // Wine's local print provider opens a printer only when its registry key has a "Datatype",
  // which is written only when AddPrinter is given one.
  std::wstring datatype = L"RAW";
  PRINTER_INFO_2W info{};
  info.pPrinterName = p.name.data();
  info.pPortName = p.port.data();
  info.pDriverName = p.driver.data();
  info.pPrintProcessor = processor.data();
  info.pDatatype = datatype.data();
  info.pSepFile = p.separatorFile.empty() ? nullptr : p.separatorFile.data();
  info.Attributes = p.attributes;
  PrinterHandle added;
  *added.Receive() = ::AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  const bool ok = static_cast<bool>(added);
  Report(L"printer", p.name, ok);
  return ok;
}

void DeleteTestPrinter(std::wstring name) {
  PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  PrinterHandle printer;
  if (::OpenPrinterW(name.data(), printer.Receive(), &all) != FALSE) ::DeletePrinter(printer.get());
  // A key left by an earlier, unopenable printer of this name.
  UniqueKey printers;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_ALL_ACCESS, printers.Receive()) ==
      ERROR_SUCCESS) {
    ::RegDeleteTreeW(printers.get(), name.c_str());
  }
}

bool SetCapture(const wchar_t* port, const std::wstring& target) {
  UniqueKey spooler;
  return ::RegCreateKeyExW(HKEY_CURRENT_USER, kSpoolerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           spooler.Receive(), nullptr) == ERROR_SUCCESS &&
         ::RegSetValueExW(
             spooler.get(), port, 0, REG_SZ, reinterpret_cast<const BYTE*>(target.c_str()),
             static_cast<DWORD>((target.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

int Install(const std::wstring& captureTarget) {  // empty: LPT1 is not captured
  bool ok = true;
  for (const wchar_t* driver : kDrivers) ok = AddDriver(driver) && ok;
  for (const wchar_t* port : kAddedPorts) ok = AddPort(port) && ok;
  for (const TestPrinter& p : kPrinters) {
    DeleteTestPrinter(p.name);  // installing twice gives the same printers
    ok = AddTestPrinter(p) && ok;
  }
  if (!captureTarget.empty()) {
    const bool set = SetCapture(L"LPT1:", captureTarget);
    Report(L"LPT1: captured to", captureTarget, set);
    ok = set && ok;
  }
  return ok ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring_view> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == L"--install") return Install(L"");
  if (args.size() == 3 && args[0] == L"--install" && args[1] == L"--capture-lpt1")
    return Install(std::wstring(args[2]));
  std::fwprintf(stderr, L"usage: rovant-testbed-setup --install [--capture-lpt1 PATH]\n");
  return 2;
}
