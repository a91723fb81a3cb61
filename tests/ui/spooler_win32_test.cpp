// The Windows spooler as Wine offers it, in both families of calls (the end-to-end scenarios
// meet only the wide one, and the code page's conversions of names): a printer that cannot be
// opened, and a printer added for the test read back.
#include "ui/win32/spooler_win32.hpp"

#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <string>

namespace rovant::ui {
namespace {

TEST(Win32Spooler, APrinterThatDoesNotExistCannotBeOpened) {
  for (const bool nt : {true, false}) {
    Win32Spooler spooler(nt);
    SpoolerPrinter facts;
    facts.jobCount = 5;
    const SpoolerPrinterName name{"ROVANT test: no such printer", u"ROVANT test: no such printer"};
    EXPECT_EQ(spooler.ReadPrinter(name, facts), SpoolerRead::kCannotOpen) << nt;
    EXPECT_EQ(facts.jobCount, 5u);
    EXPECT_EQ(spooler.ReadPrinter({}, facts), SpoolerRead::kCannotOpen) << nt;
  }
}

// A printer added for the test on a driver named like the supported one,
// made from Wine's own PostScript driver files, with the datatype "RAW" that
// Wine needs to open it; it is removed again at the end.
class AddedPrinter : public ::testing::Test {
 protected:
  static constexpr wchar_t kKey[] =
      L"System\\CurrentControlSet\\Control\\Print\\Printers\\ROVANT spooler test";

  void SetUp() override {
    wchar_t driver[] = L"Vek HX320", file[] = L"wineps.drv", data[] = L"generic.ppd";
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = driver;
    info.pDriverPath = info.pConfigFile = file;
    info.pDataFile = data;
    if (::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_NEW_FILES) ==
        FALSE) {
      GTEST_SKIP() << "no driver can be added here: " << ::GetLastError();
    }
    wchar_t name[] = L"ROVANT spooler test", port[] = L"LPT1:", processor[] = L"WinPrint";
    wchar_t datatype[] = L"RAW";  // Wine opens a printer only when it has a datatype
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = name;
    printer.pPortName = port;
    printer.pDriverName = driver;
    printer.pPrintProcessor = processor;
    printer.pDatatype = datatype;
    printer.Attributes = PRINTER_ATTRIBUTE_ENABLE_BIDI | PRINTER_ATTRIBUTE_LOCAL;
    added_ = ::AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
  }

  void TearDown() override {
    wchar_t name[] = L"ROVANT spooler test";
    HANDLE printer = added_;
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (printer == nullptr) ::OpenPrinterW(name, &printer, &all);
    if (printer != nullptr) {
      ::DeletePrinter(printer);
      ::ClosePrinter(printer);
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);  // in case it was only half added
  }

  static const SpoolerPrinter* Find(const std::vector<SpoolerPrinter>& printers) {
    for (const SpoolerPrinter& p : printers)
      if (p.printerName == "ROVANT spooler test") return &p;
    return nullptr;
  }

  HANDLE added_ = nullptr;
};

TEST_F(AddedPrinter, IsListedWithItsPortDriverAndAttributes) {
  const std::vector<SpoolerPrinter> wide = Win32Spooler(true).EnumeratePrinters();
  const SpoolerPrinter* listed = Find(wide);
  if (listed == nullptr) GTEST_SKIP() << "the printer could not be added here";
  EXPECT_EQ(listed->printerNameWide, u"ROVANT spooler test");
  EXPECT_EQ(listed->portName, "LPT1:");
  EXPECT_EQ(listed->driverName, "Vek HX320");
  EXPECT_NE(listed->attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI, 0u);

  const std::vector<SpoolerPrinter> ansi = Win32Spooler(false).EnumeratePrinters();
  const SpoolerPrinter* listedAnsi = Find(ansi);
  ASSERT_NE(listedAnsi, nullptr);
  EXPECT_TRUE(listedAnsi->printerNameWide.empty());
  EXPECT_EQ(listedAnsi->portName, "LPT1:");
  EXPECT_EQ(listedAnsi->driverName, "Vek HX320");

  for (const bool nt : {true, false}) {
    SpoolerPrinter facts;
    const SpoolerRead read =
        Win32Spooler(nt).ReadPrinter({listed->printerName, listed->printerNameWide}, facts);
    ASSERT_EQ(read, SpoolerRead::kDone) << (nt ? "wide" : "ANSI");
    EXPECT_EQ(facts.portName, "LPT1:");
    EXPECT_EQ(facts.driverName, "Vek HX320");
    EXPECT_NE(facts.attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI, 0u);
  }
}

}  // namespace
}  // namespace rovant::ui
