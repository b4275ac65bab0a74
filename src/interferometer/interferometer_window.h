#pragma once
// The moving Michelson interferometer.
#include "ui/form.h"

namespace velmor {

class Form8 : public ui::Form {
  Q_OBJECT

 public:
  Form8();
};

}  // namespace velmor
