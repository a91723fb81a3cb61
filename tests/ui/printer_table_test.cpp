#include "ui/printer_table.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/selection_fixture.hpp"

namespace rovant::ui {
namespace {

using testing::kBidi;
using testing::Printer;

struct TableCase {
  const char* name;
  SpoolerPrinter printer;
  ModelCode model;
  int portState;
  unsigned icon;
};

const TableCase kRows[] = {
    {"Hx310Local", Printer("a", "LPT1:", "Vek HX310"), ModelCode::kHx310, 0, 160},
    {"Lan", Printer("a", "IP_1.2.3.4:lp", "Vek HX320", 0), ModelCode::kHx320, 1, 160},
    {"Paused", Printer("a", "LPT1:", "Vek HX320", kBidi, 1), ModelCode::kHx320, 3, 188},
    // Printers on other drivers are not classified: their port would block them.
    {"OtherDriver", Printer("a", "FILE:", "Generic / Text Only"), ModelCode::kOther, 0, 187},
    {"DriverWholeName", Printer("a", "LPT1:", "Vek HX320 (copy 1)"), ModelCode::kOther, 0, 187}};

TEST(PrinterTable, ClassifiesSupportedDriversOnly) {
  for (const TableCase& c : kRows) {
    SCOPED_TRACE(c.name);
    const std::vector<SpoolerPrinter> printers{c.printer};
    const PrinterTable table = BuildPrinterTable(printers);
    ASSERT_EQ(table.entries.size(), 1u);
    ASSERT_EQ(table.icons.size(), 1u);
    const PrinterEntry& entry = table.entries[0];
    EXPECT_EQ(entry.modelCode, c.model);
    EXPECT_EQ(entry.portState, c.portState);
    EXPECT_EQ(table.icons[0], c.icon);
    EXPECT_EQ(table.anySupported, c.model != ModelCode::kOther);
    EXPECT_EQ(entry.printerName, c.printer.printerName);
    EXPECT_EQ(entry.portName, c.printer.portName);
    EXPECT_EQ(entry.driverName, c.printer.driverName);
    EXPECT_EQ(entry.queuedJobs, 0u);  // counted only when the printer is chosen
    EXPECT_EQ(entry.lanPortName, "");
  }
}

TEST(PrinterTable, KeepsTheSpoolersOrderAndKnowsWhetherAnyIsSupported) {
  std::vector<SpoolerPrinter> printers{Printer("one", "LPT1:", "Other"),
                                       Printer("two", "FILE:", "Vek HX310"),
                                       Printer("three", "COM1:", "Vek HX330")};
  PrinterTable table = BuildPrinterTable(printers);
  ASSERT_EQ(table.entries.size(), 3u);
  EXPECT_EQ(table.entries[0].printerName, "one");
  EXPECT_EQ(table.entries[2].printerName, "three");
  EXPECT_EQ(table.icons, (std::vector<unsigned>{187, 188, 187}));
  EXPECT_TRUE(table.anySupported);
  printers.erase(printers.begin() + 1);
  EXPECT_FALSE(BuildPrinterTable(printers).anySupported);
  EXPECT_FALSE(BuildPrinterTable({}).anySupported);
}

TEST(PrinterTable, CutsEveryTextTo255Characters) {
  SpoolerPrinter long_ = Printer(std::string(300, 'n'), "LPT1:" + std::string(300, 'p'),
                                 "Vek HX320" + std::string(300, ' '));
  long_.printerNameWide = std::u16string(400, u'w');
  const std::vector<SpoolerPrinter> printers{long_};
  const PrinterEntry entry = BuildPrinterTable(printers).entries.at(0);
  EXPECT_EQ(entry.printerName, std::string(255, 'n'));
  EXPECT_EQ(entry.printerNameWide, std::u16string(255, u'w'));
  EXPECT_EQ(entry.portName, "LPT1:" + std::string(250, 'p'));
  EXPECT_EQ(entry.driverName.size(), 255u);
  EXPECT_EQ(entry.modelCode, ModelCode::kOther);
  EXPECT_EQ(entry.portState, kPortLocal);  // classified on the spooler's whole information
  EXPECT_EQ(CutPrinterText(std::string(255, 'x')).size(), 255u);
}

TEST(PrinterTable, CopiesTheWideName) {
  SpoolerPrinter p = Printer("Dru?ker");
  p.printerNameWide = u"Dru\u0161ker";
  const std::vector<SpoolerPrinter> printers{p};
  const PrinterEntry entry = BuildPrinterTable(printers).entries.at(0);
  EXPECT_EQ(SpoolerNameOf(entry).wide, u"Dru\u0161ker");
  EXPECT_EQ(SpoolerNameOf(entry).ansi, "Dru?ker");
}

}  // namespace
}  // namespace rovant::ui
