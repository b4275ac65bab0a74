#pragma once
// The medium window: the Doppler experiment in a layered medium and with retarded potentials.
#include "ui/form.h"

namespace velmor {

class Form3 : public ui::Form {
  Q_OBJECT

 public:
  Form3();
};

}  // namespace velmor
