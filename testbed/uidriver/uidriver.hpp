// rovant_uidriver: drives the program's windows from a separate process under Wine (or Windows).
//
//   process.hpp           start programs in a kill-on-close job, wait for their exit
//   windows.hpp           find top-level windows and child controls, bounded waits, reports
//   message_box.hpp       read a message box (caption, text, buttons, icon) and its button names
//   icon_kind.hpp         which icon a control shows, by comparing pixels with candidates
//   controls.hpp          buttons, combo boxes, edit text, enabled/visible/focus state
//   remote_block.hpp      bounded messages, memory placed in another process
//   remote_list_view.hpp  list view rows in another process (read, select)
//   remote_tree_view.hpp  tree view items in another process (count, top-level texts)
//   keyboard.hpp          SendInput key chords after bringing a window to the foreground
//   screenshot.hpp        screen and window captures saved as PNG (png_writer.hpp)
//
// Every wait takes a bound in milliseconds and polls every kPollMs; every cross-process message
// is sent with a time-out or posted, so a hung program cannot hang the driver.
#pragma once

#include "testbed/uidriver/controls.hpp"
#include "testbed/uidriver/icon_kind.hpp"
#include "testbed/uidriver/keyboard.hpp"
#include "testbed/uidriver/message_box.hpp"
#include "testbed/uidriver/process.hpp"
#include "testbed/uidriver/remote_list_view.hpp"
#include "testbed/uidriver/remote_tree_view.hpp"
#include "testbed/uidriver/screenshot.hpp"
#include "testbed/uidriver/text.hpp"
#include "testbed/uidriver/windows.hpp"
