// The help pages against the program: every message the program can show is quoted on the
// messages page, and every item of the catalogue is described on its page with its options.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
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
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string HelpPage(std::string_view name) {
  const std::string path = std::string(ROVANT_HELP_DIR) + "/" + std::string(name);
  std::string text = ReadText(path);
  EXPECT_FALSE(text.empty()) << "help page missing or empty: " << path;
  // The version is filled in when the help file is compiled.
  constexpr std::string_view kVersionToken = "@ROVANT_VERSION_TEXT@";
  for (std::size_t at = text.find(kVersionToken); at != std::string::npos;
       at = text.find(kVersionToken, at)) {
    text.replace(at, kVersionToken.size(), ROVANT_VERSION_TEXT);
  }
  return text;
}

// Runs of blanks, tabs and line breaks become one blank; no blank at either end.
std::string CollapseBlanks(std::string_view text) {
  std::string out;
  bool blank = false;
  for (const char c : text) {
    if (std::isspace(static_cast<unsigned char>(c)) != 0) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

// HTML to the text a reader sees: tags (<br> included) become blanks, entities are decoded,
// blanks are collapsed.
std::string VisibleText(std::string_view html) {
  std::string text;
  for (std::size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      const std::size_t end = html.find('>', i);
      if (end == std::string_view::npos) break;
      text += ' ';
      i = end + 1;
      continue;
    }
    if (html[i] == '&') {
      const std::size_t end = html.find(';', i);
      if (end != std::string_view::npos && end - i <= 8) {
        const std::string_view entity = html.substr(i + 1, end - i - 1);
        char decoded = '\0';
        if (entity == "amp")
          decoded = '&';
        else if (entity == "lt")
          decoded = '<';
        else if (entity == "gt")
          decoded = '>';
        else if (entity == "quot")
          decoded = '"';
        else if (entity == "nbsp")
          decoded = ' ';
        else if (entity == "apos")
          decoded = '\'';
        else if (entity.size() > 1 && entity[0] == '#') {
          decoded = static_cast<char>(std::stoi(std::string(entity.substr(1))));
        }
        if (decoded != '\0') {
          text += decoded;
          i = end + 1;
          continue;
        }
      }
    }
    text += html[i];
    ++i;
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
  const std::size_t end = source.find(';', at);
  std::string value;
  bool inside = false;
  for (std::size_t i = source.find('=', at) + 1; i < end; ++i) {
    const char c = source[i];
    if (!inside) {
      if (c == '"') inside = true;
      continue;
    }
    if (c == '"') {
      inside = false;
    } else if (c == '\\' && i + 1 < end) {
      const char e = source[++i];
      value += e == 'n' ? '\n' : e;
    } else {
      value += c;
    }
  }
  return value;
}

struct Message {
  std::string_view name;
  std::string text;
};

std::vector<Message> ProgramMessages() {
  std::vector<Message> all = {
      {"kBadItemHeader", std::string(msg::kBadItemHeader)},
      {"kBadItemTrailer", std::string(msg::kBadItemTrailer)},
      {"kRecordOutOfListHeader", std::string(msg::kRecordOutOfListHeader)},
      {"kStatusReading", std::string(msg::kStatusReading)},
      {"kStatusTransfer", std::string(msg::kStatusTransfer)},
      {"kStatusFactoryDefault", std::string(msg::kStatusFactoryDefault)},
      {"kStatusListPrint", std::string(msg::kStatusListPrint)},
      {"kReadingFailed", std::string(msg::kReadingFailed)},
      {"kNoResponse", std::string(msg::kNoResponse)},
      {"kLanInitFailed", std::string(msg::kLanInitFailed)},
      {"kLanNoResponse", std::string(msg::kLanNoResponse)},
      {"kLanReleaseFailed", std::string(msg::kLanReleaseFailed)},
      {"kLanSendFailed", std::string(msg::kLanSendFailed)},
      {"kLanReceiveFailed", std::string(msg::kLanReceiveFailed)},
      {"kFileNotExisting", std::string(msg::kFileNotExisting)},
      {"kFileNotGot", std::string(msg::kFileNotGot)},
      {"kFileOverwriteQuestion", std::string(msg::kFileOverwriteQuestion)},
      {"kFileProhibited", std::string(msg::kFileProhibited)},
      {"kFileWriteFailed", std::string(msg::kFileWriteFailed)},
      {"kFileDamagedHeader", std::string(msg::kFileDamagedHeader)},
      {"kWorkingCopyNotOpened", std::string(msg::kWorkingCopyNotOpened)},
      {"kWorkingCopyNotWritten", std::string(msg::kWorkingCopyNotWritten)},
      {"kConfirmRead", std::string(msg::kConfirmRead)},
      {"kConfirmTransfer", std::string(msg::kConfirmTransfer)},
      {"kConfirmInitialize", std::string(msg::kConfirmInitialize)},
      {"kConfirmListPrint", std::string(msg::kConfirmListPrint)},
      {"kConfirmQuit", std::string(msg::kConfirmQuit)},
      {"kQuitNoResponse", std::string(msg::kQuitNoResponse)},
      {"kVersion", std::string(msg::kVersion)},
      {"kNotSelected", std::string(msg::kNotSelected)},
      {"kNoSupportedPrinter", std::string(msg::kNoSupportedPrinter)},
      {"kDriverNotSupported", std::string(msg::kDriverNotSupported)},
      {"kJobsWaiting", std::string(msg::kJobsWaiting)},
      {"kIppPort", std::string(msg::kIppPort)},
      {"kOtherModel", std::string(msg::kOtherModel)},
      {"kReadFailedContinue", std::string(msg::kReadFailedContinue)},
      {"kPrinterDeleted", std::string(msg::kPrinterDeleted)},
      {"kEmulationChangedText", std::string(ui::kEmulationChangedText)},
      {"kAlreadyStarted", std::string(ui::kAlreadyStarted)},
      {"kResourceInsufficient",
       ConstantFromHeader(std::string(ROVANT_SOURCE_DIR) + "/ui/win32/panel_dialog.hpp",
                          "kResourceInsufficient")},
  };
  for (const ui::PortStateMessage& m : ui::kPortStateMessages) {
    all.push_back({"kPortStateMessages", std::string(m.text)});
  }
  return all;
}

TEST(HelpMessages, EveryMessageOfTheProgramIsQuotedOnTheMessagesPage) {
  const std::vector<std::string> blocks = MessageBlocks(HelpPage("messages.html"));
  ASSERT_FALSE(blocks.empty()) << "no <p class=\"msg\"> blocks on messages.html";
  for (const Message& m : ProgramMessages()) {
    ASSERT_FALSE(m.text.empty()) << m.name << " could not be read from the program";
    const std::string want = CollapseBlanks(m.text);
    bool found = false;
    for (const std::string& block : blocks) {
      if (block.find(want) != std::string::npos) found = true;
    }
    EXPECT_TRUE(found) << m.name << " is not quoted on messages.html:\n  \"" << want << "\"";
  }
}

TEST(HelpMessages, TheNormalisationKeepsLineBreaksAndEntitiesApart) {
  EXPECT_EQ(VisibleText("A&quot;b&quot;<br>\nc&amp;d&nbsp;&nbsp;e &#39;f&#39;"),
            "A\"b\" c&d e 'f'");
  EXPECT_EQ(CollapseBlanks("Quit ROVANT. \n\n Save"), "Quit ROVANT. Save");
  const std::vector<std::string> blocks =
      MessageBlocks("<p class=\"msg\">x<br>y</p><p>z</p><p class=\"msg\">w</p>");
  ASSERT_EQ(blocks.size(), 2U);
  EXPECT_EQ(blocks[0], "x y");
}

std::string PageOf(ItemIndex item) {
  switch (BlockOf(item)) {
    case MenuBlock::kMenu1:
    case MenuBlock::kMenu2:
      return "menu_pages.html";
    case MenuBlock::kHardware:
      return "hardware_page.html";
    case MenuBlock::kAdjust:
      return "adjust_page.html";
    case MenuBlock::kConfig:
      return "config_page.html";
  }
  return {};
}

// "item-" and the page label in lower case, every run of other characters one dash.
std::string AnchorOf(std::string_view label) {
  std::string anchor = "item-";
  bool dash = false;
  for (const char c : label) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      if (dash && anchor.size() > 5) anchor += '-';
      dash = false;
      anchor += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else {
      dash = true;
    }
  }
  return anchor;
}

// The visible text of the item's section: from its anchor to the next heading.
std::string ItemSection(const std::string& html, std::string_view label) {
  const std::string anchor = "<a name=\"" + AnchorOf(label) + "\">";
  const std::size_t start = html.find(anchor);
  if (start == std::string::npos) return {};
  std::size_t end = html.find("<h3", start);
  const std::size_t h2 = html.find("<h2", start);
  if (h2 < end) end = h2;
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
      if (list.empty()) continue;
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
