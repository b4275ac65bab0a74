#pragma once

namespace velmor {

// Tells the window registry how to create Form1 … Form9.
void RegisterForms();

}  // namespace velmor
