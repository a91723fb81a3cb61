// The help pages against the program: every message the program can show is quoted on the
// messages page, and every item of the catalogue is described on its page with its options.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/catalogue.hpp"
#include "texts/command_texts.hpp"
#include "texts/file_messages.hpp"
#include "texts/messages.hpp"
#include "texts/printer_messages.hpp"
#include "texts/selection_messages.hpp"
#include "ui/page_rules.hpp"
#include "ui/port_state.hpp"
#include "ui/startup.hpp"

namespace rovant {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A help page with its version filled in, as the compiled help file has it.
std::string HelpPage(std::string_view name) {
  return std::regex_replace(ReadText(std::string(ROVANT_HELP_DIR) + "/" + std::string(name)),
                            std::regex("@ROVANT_VERSION_TEXT@"), ROVANT_VERSION_TEXT);
}

// Runs of blanks, tabs and line breaks become one blank; no blank at either end.
std::string CollapseBlanks(std::string_view text) {
  const std::string out = std::regex_replace(std::string(text), std::regex("\\s+"), " ");
  return std::regex_replace(out, std::regex("^ | $"), "");
}

// HTML to the text a reader sees: tags (<br> included) become blanks, the entities the pages
// use are decoded, blanks are collapsed.
std::string VisibleText(std::string_view html) {
  std::string text = std::regex_replace(std::string(html), std::regex("<[^>]*>"), " ");
  for (const auto& [entity, c] : {std::pair{"&quot;", "\""}, std::pair{"&#39;", "'"},
                                  std::pair{"&nbsp;", " "}, std::pair{"&amp;", "&"}}) {
    text = std::regex_replace(text, std::regex(entity), c);
  }
  return CollapseBlanks(text);
}

// The visible text of every <p class="msg"> block of a page.
std::vector<std::string> MessageBlocks(std::string_view html) {
  constexpr std::string_view kOpen = "<p class=\"msg\">";
  std::vector<std::string> blocks;
  for (std::size_t at = html.find(kOpen); at != std::string_view::npos;
       at = html.find(kOpen, at + 1)) {
    const std::size_t start = at + kOpen.size();
    const std::size_t end = html.find("</p>", start);
    blocks.push_back(VisibleText(html.substr(start, end - start)));
  }
  return blocks;
}

// The program's C++ string literal constant `name` read from a header that cannot be compiled
// here (Windows only): the concatenated literals between "name =" and ";".
std::string ConstantFromHeader(const std::string& path, std::string_view name) {
  const std::string source = ReadText(path);
  const std::size_t at = source.find(std::string(name) + " =");
  if (at == std::string::npos) return {};
  const std::string definition = source.substr(at, source.find(';', at) - at);
  const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
  std::string value;
  for (std::sregex_iterator it(definition.begin(), definition.end(), literal), end; it != end; ++it)
    value += (*it)[1].str();
  return std::regex_replace(std::regex_replace(value, std::regex(R"(\\n)"), "\n"),
                            std::regex(R"(\\(.))"), "$1");
}

template <typename... Text>
std::vector<std::string> Strings(Text... texts) {
  return {std::string(texts)...};
}

std::vector<std::string> ProgramMessages() {
  std::vector<std::string> all = Strings(
      msg::kBadItemHeader, msg::kBadItemTrailer, msg::kRecordOutOfListHeader, msg::kStatusReading,
      msg::kStatusTransfer, msg::kStatusFactoryDefault, msg::kStatusListPrint, msg::kReadingFailed,
      msg::kNoResponse, msg::kLanInitFailed, msg::kLanNoResponse, msg::kLanReleaseFailed,
      msg::kLanSendFailed, msg::kLanReceiveFailed, msg::kFileNotExisting, msg::kFileNotGot,
      msg::kFileOverwriteQuestion, msg::kFileProhibited, msg::kFileWriteFailed,
      msg::kFileDamagedHeader, msg::kWorkingCopyNotOpened, msg::kWorkingCopyNotWritten,
      msg::kConfirmRead, msg::kConfirmTransfer, msg::kConfirmInitialize, msg::kConfirmListPrint,
      msg::kConfirmQuit, msg::kQuitNoResponse, msg::kVersion, msg::kNotSelected,
      msg::kNoSupportedPrinter, msg::kDriverNotSupported, msg::kJobsWaiting, msg::kIppPort,
      msg::kOtherModel, msg::kReadFailedContinue, msg::kPrinterDeleted, ui::kEmulationChangedText,
      ui::kAlreadyStarted);
  for (const ui::PortStateMessage& m : ui::kPortStateMessages) all.emplace_back(m.text);
  all.push_back(ConstantFromHeader(std::string(ROVANT_SOURCE_DIR) + "/ui/win32/panel_dialog.hpp",
                                   "kResourceInsufficient"));
  return all;
}

TEST(HelpMessages, EveryMessageOfTheProgramIsQuotedOnTheMessagesPage) {
  const std::vector<std::string> blocks = MessageBlocks(HelpPage("messages.html"));
  ASSERT_FALSE(blocks.empty()) << "no <p class=\"msg\"> blocks on messages.html";
  for (const std::string& text : ProgramMessages()) {
    ASSERT_FALSE(text.empty()) << "kResourceInsufficient could not be read from the program";
    const std::string want = CollapseBlanks(text);
    EXPECT_TRUE(std::ranges::any_of(
        blocks, [&](const std::string& b) { return b.find(want) != std::string::npos; }))
        << "not quoted on messages.html:\n  \"" << want << "\"";
  }
}

std::string PageOf(ItemIndex item) {
  constexpr const char* kPages[kBlockCount] = {"menu_pages.html", "menu_pages.html",
                                               "hardware_page.html", "adjust_page.html",
                                               "config_page.html"};
  return kPages[static_cast<std::size_t>(BlockOf(item))];
}

// "item-" and the page label in lower case, every run of other characters one dash.
std::string AnchorOf(std::string_view label) {
  std::string lower;
  for (const char c : label)
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  lower = std::regex_replace(lower, std::regex("[^a-z0-9]+"), "-");
  return "item-" + std::regex_replace(lower, std::regex("^-|-$"), "");
}

// The visible text of the item's section: from its anchor to the next heading.
std::string ItemSection(const std::string& html, std::string_view label) {
  const std::string anchor = "<a name=\"" + AnchorOf(label) + "\">";
  const std::size_t start = html.find(anchor);
  if (start == std::string::npos) return {};
  const std::size_t end = std::min(html.find("<h3", start), html.find("<h2", start));
  return VisibleText(
      std::string_view(html).substr(start, end == std::string::npos ? end : end - start));
}

TEST(HelpItems, EveryItemIsDescribedOnItsPageWithItsOptions) {
  for (ItemIndex item = 0; item < kItemCount; ++item) {
    const ItemInfo& info = kCatalogue[item];
    const std::string section = ItemSection(HelpPage(PageOf(item)), info.pageLabel);
    ASSERT_FALSE(section.empty()) << "no section \"" << AnchorOf(info.pageLabel) << "\" for item "
                                  << item << " (" << info.pageLabel << ") on " << PageOf(item);
    EXPECT_NE(section.find(std::string(info.pageLabel)), std::string::npos) << info.pageLabel;
    const std::string keyword = CollapseBlanks(info.keyword);
    if (!keyword.empty()) {
      EXPECT_NE(section.find(keyword), std::string::npos)
          << "keyword \"" << keyword << "\" missing on " << PageOf(item);
    }
    // Short lists are shown entry by entry, long ones at least by their ends (as a range).
    for (const OptionList list : {info.list, info.second}) {
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (list.size() > 6 && i != 0 && i + 1 != list.size()) continue;
        const std::string label = CollapseBlanks(list[i].view());
        EXPECT_NE(section.find(label), std::string::npos)
            << info.pageLabel << ": option \"" << label << "\" missing on " << PageOf(item);
      }
    }
  }
}

}  // namespace
}  // namespace rovant
