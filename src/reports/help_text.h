// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help text: what every button of every window does, window by window.
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// The entries in their order.
const std::vector<std::string_view>& HelpEntries();

// The whole text: the title followed by two line breaks, the heading of the
// first window by one, every other entry by two.
std::string ComposeHelpText();

// The description of the button with this caption in window FormN ("" when
// the help text has none), for tooltips.
std::string HelpForButton(int form, std::string_view caption);

// The same for a caption as the window shows it: the help text writes a
// caption without its order number ("1-"), with other blanks or letters that
// look alike, or with a letter more or less; the closest caption within a
// few letters is taken.
std::string HelpForCaption(int form, std::string_view caption);

// The closest caption of window FormN alone, fewer than `tolerance` letters
// apart.
std::string HelpForCaptionIn(int form, std::string_view caption, std::size_t tolerance = 4);

}  // namespace velmor
