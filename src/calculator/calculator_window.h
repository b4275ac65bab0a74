#pragma once
// The calculator of published high-speed Doppler experiments.
#include "ui/form.h"

namespace velmor {

class Form5 : public ui::Form {
  Q_OBJECT

 public:
  Form5();
};

}  // namespace velmor
