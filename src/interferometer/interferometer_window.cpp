#include "interferometer/interferometer_window.h"

#include "ui/fields.h"

namespace velmor {

Form8::Form8() : ui::Form(8, ui::Q("Velmor5     form8    Эксперимент Майкельсона-Морли ")) {
  resize(640, 480);
}

}  // namespace velmor
