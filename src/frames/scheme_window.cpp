#include "frames/scheme_window.h"

#include "ui/fields.h"

namespace velmor {

Form7::Form7() : ui::Form(7, ui::Q("ASO_ISO  Схема   Velmor5   Form7")) {
  resize(640, 480);
}

}  // namespace velmor
