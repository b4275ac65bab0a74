#include "frames/frame_window.h"

#include "ui/fields.h"

namespace velmor {

Form6::Form6() : ui::Form(6, ui::Q("ASO_ISO   Velmor5    form6")) {
  resize(640, 480);
}

}  // namespace velmor
