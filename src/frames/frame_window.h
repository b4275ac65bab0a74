#pragma once
// The recomputation of one instant into a moving inertial frame.
#include "ui/form.h"

namespace velmor {

class Form6 : public ui::Form {
  Q_OBJECT

 public:
  Form6();
};

}  // namespace velmor
