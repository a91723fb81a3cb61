// The Windows spooler as Wine offers it: Wine keeps no paused state and no
// job counts, so those are covered with the fake spooler; here the calls,
// the conversions and the failures that can be produced for real.
#include "ui/win32/spooler_win32.hpp"

#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <string>

#include "platform/win32/text.hpp"
#include "ui/printer_table.hpp"

namespace rovant::ui {
namespace {

TEST(AnsiCodePage, PlainTextIsUnchanged) {
  EXPECT_EQ(win32::FromWide(L"Vek HX320 on LPT1:"), "Vek HX320 on LPT1:");
  EXPECT_EQ(win32::FromWide(L""), "");
}

TEST(AnsiCodePage, KeepsTheWholeTextWithoutTerminator) {
  const std::string text = win32::FromWide(std::wstring(300, L'x'));
  EXPECT_EQ(text, std::string(300, 'x'));
}

TEST(AnsiCodePage, ACharacterTheCodePageLacksBecomesItsNearestOrItsDefault) {
  if (::GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << ::GetACP();
  EXPECT_EQ(win32::FromWide(L"Dru\u010Dk\u00E9r"), "Druck\xE9r");
  EXPECT_EQ(win32::FromWide(L"\u4E2D"), "?");
}

class Win32SpoolerTest : public ::testing::TestWithParam<bool> {};

TEST_P(Win32SpoolerTest, EnumerationReturnsNamedPrinters) {
  Win32Spooler spooler(GetParam());
  for (const SpoolerPrinter& printer : spooler.EnumeratePrinters()) {
    EXPECT_FALSE(printer.printerName.empty());
    EXPECT_EQ(printer.printerNameWide.empty(), !GetParam()) << printer.printerName;
  }
}

TEST_P(Win32SpoolerTest, APrinterThatDoesNotExistCannotBeOpened) {
  Win32Spooler spooler(GetParam());
  SpoolerPrinter facts;
  facts.jobCount = 5;
  const SpoolerPrinterName name{"ROVANT test: no such printer", u"ROVANT test: no such printer"};
  EXPECT_EQ(spooler.ReadPrinter(name, facts), SpoolerRead::kCannotOpen);
  EXPECT_EQ(facts.jobCount, 5u);
}

TEST_P(Win32SpoolerTest, AnEmptyNameIsNoPrinter) {
  Win32Spooler spooler(GetParam());
  SpoolerPrinter facts;
  EXPECT_EQ(spooler.ReadPrinter({}, facts), SpoolerRead::kCannotOpen);
}

TEST_P(Win32SpoolerTest, EachListedPrinterReadsLikeItsListing) {
  Win32Spooler spooler(GetParam());
  for (const SpoolerPrinter& listed : spooler.EnumeratePrinters()) {
    SpoolerPrinter facts;
    ASSERT_EQ(spooler.ReadPrinter({listed.printerName, listed.printerNameWide}, facts),
              SpoolerRead::kDone)
        << listed.printerName;
    EXPECT_EQ(facts.printerName, listed.printerName);
    EXPECT_EQ(facts.printerNameWide, listed.printerNameWide);
    EXPECT_EQ(facts.portName, listed.portName);
    EXPECT_EQ(facts.driverName, listed.driverName);
    EXPECT_EQ(facts.separatorFile, listed.separatorFile);
  }
}

TEST(Win32Spooler, TheWideAndTheAnsiEnumerationAgree) {
  const auto wide = Win32Spooler(true).EnumeratePrinters();
  const auto ansi = Win32Spooler(false).EnumeratePrinters();
  ASSERT_EQ(wide.size(), ansi.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    EXPECT_EQ(wide[i].printerName, ansi[i].printerName);
    EXPECT_EQ(wide[i].portName, ansi[i].portName);
    EXPECT_EQ(wide[i].driverName, ansi[i].driverName);
  }
}

// A printer added for the test on a driver named like the supported one,
// made from Wine's own PostScript driver files, with the datatype "RAW" that
// Wine needs to open it; it is removed again at the end.
class AddedPrinter : public ::testing::Test {
 protected:
  static constexpr wchar_t kName[] = L"ROVANT spooler test";
  static constexpr wchar_t kKey[] =
      L"System\\CurrentControlSet\\Control\\Print\\Printers\\ROVANT spooler test";

  void SetUp() override {
    std::wstring driver = L"Vek HX320";
    std::wstring file = L"wineps.drv";
    std::wstring data = L"generic.ppd";
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = driver.data();
    info.pDriverPath = file.data();
    info.pDataFile = data.data();
    info.pConfigFile = file.data();
    if (::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_NEW_FILES) ==
        FALSE) {
      GTEST_SKIP() << "no driver can be added here: " << ::GetLastError();
    }
    std::wstring name = kName;
    std::wstring port = L"LPT1:";
    std::wstring processor = L"WinPrint";
    std::wstring datatype = L"RAW";  // Wine opens a printer only when it has a datatype
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = name.data();
    printer.pPortName = port.data();
    printer.pDriverName = driver.data();
    printer.pPrintProcessor = processor.data();
    printer.pDatatype = datatype.data();
    printer.Attributes = PRINTER_ATTRIBUTE_ENABLE_BIDI | PRINTER_ATTRIBUTE_LOCAL;
    added_ = ::AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
  }

  void TearDown() override {
    std::wstring name = kName;
    HANDLE printer = added_;
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (printer == nullptr) ::OpenPrinterW(name.data(), &printer, &all);
    if (printer != nullptr) {
      ::DeletePrinter(printer);
      ::ClosePrinter(printer);
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);  // in case it was only half added
  }

  static const SpoolerPrinter* Find(const std::vector<SpoolerPrinter>& printers) {
    for (const SpoolerPrinter& p : printers) {
      if (p.printerName == "ROVANT spooler test") return &p;
    }
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

  const PrinterTable table = BuildPrinterTable(wide);
  EXPECT_TRUE(table.anySupported);
  const auto row = static_cast<std::size_t>(listed - wide.data());
  EXPECT_EQ(table.entries[row].modelCode, ModelCode::kHx320);
  EXPECT_EQ(table.entries[row].portState, kPortLocal);
  EXPECT_EQ(table.icons[row], 160u);

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

INSTANTIATE_TEST_SUITE_P(Families, Win32SpoolerTest, ::testing::Values(true, false),
                         [](const auto& p) { return std::string(p.param ? "Nt" : "Ansi"); });

}  // namespace
}  // namespace rovant::ui
