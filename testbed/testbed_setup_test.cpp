// The test bed's printers as ROVANT's spooler code sees them under Wine: set up
// with rovant-testbed-setup --install, read with Win32Spooler, taken away with --remove.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/printer.hpp"
#include "ui/port_state.hpp"
#include "ui/win32/spooler_win32.hpp"

namespace rovant::ui {
namespace {

std::string WindowsPath(std::string path) {
  if (!path.empty() && path.front() == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// Runs the set-up program with `arguments`; its exit code, or -1 if it could not start.
int RunSetup(const std::string& arguments) {
  const std::string exe = WindowsPath(ROVANT_TESTBED_SETUP_EXE);
  std::string commandLine = "\"" + exe + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &info) == FALSE) {
    return -1;
  }
  const win32::UniqueKernelHandle thread(info.hThread);
  const win32::UniqueKernelHandle process(info.hProcess);
  ::WaitForSingleObject(process.get(), 120000);
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  return static_cast<int>(code);
}

// Wine's spooler takes the capture target as a host path; the test reads it through drive Z:.
const char kCaptureHostPath[] = "/tmp/rovant-testbed-lpt1.bin";
std::string CaptureFile() { return WindowsPath(kCaptureHostPath); }

struct Expected {
  const char* name;
  const char* port;
  const char* driver;
  int portState;
};

const Expected kExpected[] = {
    {"HX320 on LPT1", "LPT1:", "Vek HX320", kPortLocal},
    {"HX310 on USB", "USB001", "Vek HX310", kPortLocal},
    {"HX320 to file", "FILE:", "Vek HX320", kPortFile},
    {"HX320 on LAN", "127.0.0.1:lp", "Vek HX320", kPortLan},
    {"HX320 no bidi", "LPT1:", "Vek HX320", kPortNoBidi},
    {"HX320 offline", "LPT1:", "Vek HX320", kPortOffline},
    {"HX320 separator", "LPT1:", "Vek HX320", kPortSeparator},
    {"HX320 ipp", "http://127.0.0.1:631/ipp/LPT1", "Vek HX320", kPortLocal},
    {"Other driver on LPT1", "LPT1:", "Wine PostScript Driver", kPortLocal},
};

const SpoolerPrinter* Find(const std::vector<SpoolerPrinter>& printers, const std::string& name) {
  for (const SpoolerPrinter& p : printers)
    if (p.printerName == name) return &p;
  return nullptr;
}

class TestBed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::DeleteFileA(CaptureFile().c_str());
    installed_ = RunSetup(std::string("--install --capture-lpt1 ") + kCaptureHostPath);
  }
  static void TearDownTestSuite() { RunSetup("--remove"); }
  static inline int installed_ = -1;
};

TEST_F(TestBed, InstallSucceeds) { EXPECT_EQ(installed_, 0); }

TEST_F(TestBed, EachPrinterIsListedOpensAndClassifies) {
  for (const bool nt : {true, false}) {
    Win32Spooler spooler(nt);
    const std::vector<SpoolerPrinter> printers = spooler.EnumeratePrinters();
    for (const Expected& e : kExpected) {
      SCOPED_TRACE(std::string(e.name) + (nt ? " (wide)" : " (ansi)"));
      const SpoolerPrinter* listed = Find(printers, e.name);
      ASSERT_NE(listed, nullptr);
      EXPECT_EQ(listed->portName, e.port);
      EXPECT_EQ(listed->driverName, e.driver);
      SpoolerPrinter facts;
      ASSERT_EQ(spooler.ReadPrinter({listed->printerName, listed->printerNameWide}, facts),
                SpoolerRead::kDone);
      EXPECT_EQ(facts.portName, e.port);
      EXPECT_EQ(facts.driverName, e.driver);
      EXPECT_EQ(facts.attributes, listed->attributes);
      EXPECT_EQ(ClassifyPort({facts.portName, facts.attributes, facts.status, facts.separatorFile}),
                e.portState);
    }
  }
}

TEST_F(TestBed, TheIppPortIsMarked) {
  const auto printers = Win32Spooler(true).EnumeratePrinters();
  const SpoolerPrinter* ipp = Find(printers, "HX320 ipp");
  ASSERT_NE(ipp, nullptr);
  EXPECT_NE(ipp->portName.find("/ipp"), std::string::npos);
}

TEST_F(TestBed, ARawJobToLpt1LandsInTheCaptureFile) {
  std::wstring name = L"HX320 on LPT1";
  win32::PrinterHandle printer;
  ASSERT_NE(::OpenPrinterW(name.data(), printer.Receive(), nullptr), FALSE);
  std::wstring document = L"testbed";
  std::wstring raw = L"RAW";
  DOC_INFO_1W doc{document.data(), nullptr, raw.data()};
  ASSERT_NE(::StartDocPrinterW(printer.get(), 1, reinterpret_cast<LPBYTE>(&doc)), 0u);
  BYTE byte = 0x18;
  DWORD written = 0;
  EXPECT_NE(::WritePrinter(printer.get(), &byte, 1, &written), FALSE);
  EXPECT_EQ(written, 1u);
  ASSERT_NE(::EndDocPrinter(printer.get()), FALSE);
  std::ifstream in(CaptureFile(), std::ios::binary);
  const std::string content{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(content, std::string(1, '\x18'));
}

}  // namespace
}  // namespace rovant::ui
