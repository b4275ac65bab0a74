#include "medium/medium_window.h"

#include "ui/fields.h"

namespace velmor {

Form3::Form3()
    : ui::Form(3, ui::Q("Velmor5     form3     Распространение сигнала в среде переменной "
                        "оптической плотности ")) {
  resize(640, 480);
}

}  // namespace velmor
