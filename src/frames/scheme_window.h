#pragma once
// The scheme with the notation of the frame window.
#include "ui/form.h"

namespace velmor {

class Form7 : public ui::Form {
  Q_OBJECT

 public:
  Form7();
};

}  // namespace velmor
