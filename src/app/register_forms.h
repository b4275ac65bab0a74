// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velmor {

// Tells the window registry how to create Form1 … Form9, and which of them
// keep set-ups in experiment files.
void RegisterForms();

}  // namespace velmor
