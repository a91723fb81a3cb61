// rovant-testbed-setup: puts the printers ROVANT is tested against into the
// spooler of the current Wine prefix (or Windows), lists them, and takes them
// away again.
//
//   rovant-testbed-setup --install [--capture-lpt1 PATH]
//   rovant-testbed-setup --list
//   rovant-testbed-setup --remove
//
// The drivers are Wine's own PostScript driver files registered under our
// model names. Wine's local print provider opens a printer only when its
// registry key has the values "Port", "Print Processor" and "Datatype"; the
// "Datatype" is written only when AddPrinter is given one, so every printer
// here is added with the datatype "RAW".
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

constexpr std::wstring_view kOtherDriver = L"Wine PostScript Driver";
constexpr std::array<std::wstring_view, 2> kOurDrivers{L"Vek HX310", L"Vek HX320"};

// Ports the local port monitor does not know from the start; they are added
// through its "AddPort" transceive call and deleted again on --remove.
constexpr std::wstring_view kLanPort = L"127.0.0.1:lp";
constexpr std::wstring_view kIppPort = L"http://127.0.0.1:631/ipp/LPT1";
constexpr std::array<std::wstring_view, 3> kAddedPorts{L"USB001", kLanPort, kIppPort};

constexpr std::wstring_view kSeparatorFile = L"C:\\windows\\system32\\sysprint.sep";

struct TestPrinter {
  std::wstring_view name;
  std::wstring_view port;
  std::wstring_view driver;
  DWORD attributes;
  std::wstring_view separatorFile;
};

constexpr std::array<TestPrinter, 11> kPrinters{{
    {L"HX320 on LPT1", L"LPT1:", L"Vek HX320", kBidi | kLocal, L""},
    // Names the 8-bit spooler calls cannot carry whole: one outside the ANSI code page.
    {L"HX320 Lager S\u00fcd", L"LPT1:", L"Vek HX320", kBidi | kLocal, L""},
    {L"HX320 \u0421\u043a\u043b\u0430\u0434", L"LPT1:", L"Vek HX320", kBidi | kLocal, L""},
    {L"HX310 on USB", L"USB001", L"Vek HX310", kBidi | kLocal, L""},
    {L"HX320 to file", L"FILE:", L"Vek HX320", kBidi | kLocal, L""},
    {L"HX320 on LAN", kLanPort, L"Vek HX320", kBidi | kLocal, L""},
    {L"HX320 no bidi", L"LPT1:", L"Vek HX320", kLocal, L""},
    {L"HX320 offline", L"LPT1:", L"Vek HX320", kBidi | kLocal | kOffline, L""},
    {L"HX320 separator", L"LPT1:", L"Vek HX320", kBidi | kLocal, kSeparatorFile},
    {L"HX320 ipp", kIppPort, L"Vek HX320", kBidi | kLocal, L""},
    {L"Other driver on LPT1", L"LPT1:", kOtherDriver, kBidi | kLocal, L""},
}};

// Where Wine's spooler looks up a port name to send the jobs for it to a
// file (or, with a leading '|', to a command) instead of the port itself.
constexpr wchar_t kSpoolerKey[] = L"Software\\Wine\\Printing\\Spooler";
constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers";

std::wstring Text(std::wstring_view text) { return std::wstring(text); }

void Report(std::wstring_view what, std::wstring_view name, bool ok) {
  std::fwprintf(ok ? stdout : stderr, L"%ls %ls: %ls (%lu)\n", std::wstring(what).c_str(),
                std::wstring(name).c_str(), ok ? L"ok" : L"FAILED", ok ? 0ul : ::GetLastError());
}

bool DriverExists(std::wstring_view name) {
  DWORD needed = 0;
  DWORD count = 0;
  ::EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  std::vector<DRIVER_INFO_1W> infos((needed + sizeof(DRIVER_INFO_1W) - 1) / sizeof(DRIVER_INFO_1W) +
                                    1);
  if (::EnumPrinterDriversW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(infos.data()),
                            static_cast<DWORD>(infos.size() * sizeof(DRIVER_INFO_1W)), &needed,
                            &count) == FALSE) {
    return false;
  }
  for (DWORD i = 0; i < count; ++i) {
    if (infos[i].pName != nullptr && name == infos[i].pName) return true;
  }
  return false;
}

bool AddDriver(std::wstring_view name) {
  std::wstring driverName = Text(name);
  std::wstring file = L"wineps.drv";
  std::wstring data = L"generic.ppd";
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = driverName.data();
  info.pDriverPath = file.data();
  info.pDataFile = data.data();
  info.pConfigFile = file.data();
  const bool ok = ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info),
                                        APD_COPY_NEW_FILES) != FALSE;
  Report(L"driver", name, ok);
  return ok;
}

// The local port monitor's transceive call `command` ("AddPort" or
// "DeletePort") for `port`. True when the monitor reports success or, for
// "AddPort", that the port is there already.
bool LocalPortCommand(const wchar_t* command, std::wstring_view port) {
  std::wstring monitor = L",XcvMonitor Local Port";
  PRINTER_DEFAULTSW access{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  PrinterHandle xcv;
  if (::OpenPrinterW(monitor.data(), xcv.Receive(), &access) == FALSE) return false;
  std::wstring portName = Text(port);
  DWORD needed = 0;
  DWORD status = ERROR_SUCCESS;
  const BOOL called = ::XcvDataW(xcv.get(), command, reinterpret_cast<PBYTE>(portName.data()),
                                 static_cast<DWORD>((portName.size() + 1) * sizeof(wchar_t)),
                                 nullptr, 0, &needed, &status);
  if (called == FALSE) return false;
  if (status == ERROR_ALREADY_EXISTS && std::wstring_view(command) == L"AddPort") return true;
  ::SetLastError(status);
  return status == ERROR_SUCCESS;
}

bool AddTestPrinter(const TestPrinter& p) {
  std::wstring name = Text(p.name);
  std::wstring port = Text(p.port);
  std::wstring driver = Text(p.driver);
  std::wstring processor = L"WinPrint";
  std::wstring datatype = L"RAW";  // without it Wine lists the printer but cannot open it
  std::wstring separator = Text(p.separatorFile);
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  info.pPrintProcessor = processor.data();
  info.pDatatype = datatype.data();
  info.pSepFile = separator.empty() ? nullptr : separator.data();
  info.Attributes = p.attributes;
  PrinterHandle added;
  *added.Receive() = ::AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  const bool ok = static_cast<bool>(added);
  Report(L"printer", p.name, ok);
  return ok;
}

bool DeleteTestPrinter(std::wstring_view printerName) {
  std::wstring name = Text(printerName);
  PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  PrinterHandle printer;
  bool ok = false;
  if (::OpenPrinterW(name.data(), printer.Receive(), &all) != FALSE) {
    ok = ::DeletePrinter(printer.get()) != FALSE;
  }
  // A key left by an earlier, unopenable printer of this name.
  UniqueKey printers;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_ALL_ACCESS, printers.Receive()) ==
      ERROR_SUCCESS) {
    if (::RegDeleteTreeW(printers.get(), name.c_str()) == ERROR_SUCCESS) ok = true;
  }
  return ok;
}

bool SetCapture(const wchar_t* port, const std::wstring* target) {
  UniqueKey spooler;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSpoolerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        spooler.Receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  if (target == nullptr) {
    const LSTATUS status = ::RegDeleteValueW(spooler.get(), port);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  return ::RegSetValueExW(
             spooler.get(), port, 0, REG_SZ, reinterpret_cast<const BYTE*>(target->c_str()),
             static_cast<DWORD>((target->size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool PrinterUsesDriver(std::wstring_view driver);

int Install(const std::wstring* captureTarget) {
  bool ok = true;
  for (std::wstring_view driver : kOurDrivers) ok = AddDriver(driver) && ok;
  if (!DriverExists(kOtherDriver)) ok = AddDriver(kOtherDriver) && ok;
  for (std::wstring_view port : kAddedPorts) {
    const bool added = LocalPortCommand(L"AddPort", port);
    Report(L"port", port, added);
    ok = added && ok;
  }
  for (const TestPrinter& p : kPrinters) {
    DeleteTestPrinter(p.name);  // installing twice gives the same printers
    ok = AddTestPrinter(p) && ok;
  }
  if (captureTarget != nullptr) {
    const bool set = SetCapture(L"LPT1:", captureTarget);
    Report(L"LPT1: captured to", *captureTarget, set);
    ok = set && ok;
  }
  return ok ? 0 : 1;
}

int Remove() {
  bool ok = true;
  for (const TestPrinter& p : kPrinters) {
    const bool deleted = DeleteTestPrinter(p.name);
    Report(L"removed printer", p.name, deleted);
    ok = deleted && ok;
  }
  for (std::wstring_view port : kAddedPorts) {
    Report(L"removed port", port, LocalPortCommand(L"DeletePort", port));
  }
  std::vector<std::wstring_view> drivers(kOurDrivers.begin(), kOurDrivers.end());
  if (!PrinterUsesDriver(kOtherDriver)) drivers.push_back(kOtherDriver);
  for (std::wstring_view driver : drivers) {
    std::wstring name = Text(driver);
    if (DriverExists(driver)) {
      const bool deleted = ::DeletePrinterDriverW(nullptr, nullptr, name.data()) != FALSE;
      Report(L"removed driver", driver, deleted);
      ok = deleted && ok;
    }
  }
  ok = SetCapture(L"LPT1:", nullptr) && ok;
  return ok ? 0 : 1;
}

std::vector<PRINTER_INFO_2W> Printers(DWORD& count) {
  constexpr int kAttempts = 8;
  return rovant::win32::EnumerateInfo<PRINTER_INFO_2W>(
      [](LPBYTE buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return ::EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer,
                               size, needed, returned);
      },
      count, kAttempts);
}

bool PrinterUsesDriver(std::wstring_view driver) {
  DWORD count = 0;
  const std::vector<PRINTER_INFO_2W> infos = Printers(count);
  for (DWORD i = 0; i < count; ++i) {
    if (infos[i].pDriverName != nullptr && driver == infos[i].pDriverName) return true;
  }
  return false;
}

bool OpensAndReads(wchar_t* name) {
  PrinterHandle printer;
  if (::OpenPrinterW(name, printer.Receive(), nullptr) == FALSE) return false;
  std::vector<PRINTER_INFO_2W> info;
  return rovant::win32::ReadPrinterInfo2(printer.get(), info) ==
         rovant::win32::PrinterInfoRead::kDone;
}

const wchar_t* Or(const wchar_t* text) { return text != nullptr ? text : L""; }

int List() {
  DWORD count = 0;
  std::vector<PRINTER_INFO_2W> infos = Printers(count);
  for (DWORD i = 0; i < count; ++i) {
    const PRINTER_INFO_2W& p = infos[i];
    std::fwprintf(stdout,
                  L"%ls\tport=%ls\tdriver=%ls\tattributes=0x%08lX\tstatus=0x%08lX\t"
                  L"separator=%ls\tjobs=%lu\topen=%ls\n",
                  Or(p.pPrinterName), Or(p.pPortName), Or(p.pDriverName), p.Attributes, p.Status,
                  Or(p.pSepFile), p.cJobs, OpensAndReads(p.pPrinterName) ? L"yes" : L"no");
  }
  return 0;
}

int Usage() {
  std::fwprintf(
      stderr, L"usage: rovant-testbed-setup --install [--capture-lpt1 PATH] | --list | --remove\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring_view command = argv[1];
  if (command == L"--install") {
    if (argc == 2) return Install(nullptr);
    if (argc == 4 && std::wstring_view(argv[2]) == L"--capture-lpt1") {
      const std::wstring target = argv[3];
      return Install(&target);
    }
    return Usage();
  }
  if (argc != 2) return Usage();
  if (command == L"--list") return List();
  if (command == L"--remove") return Remove();
  return Usage();
}
