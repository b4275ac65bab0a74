#include "calculator/calculator_window.h"

#include "ui/fields.h"

namespace velmor {

Form5::Form5()
    : ui::Form(
          5,
          ui::Q("Эксперименты с Мессбауэровскими центрифугами и встречными лазерами   Velmor5")) {
  resize(640, 480);
}

}  // namespace velmor
