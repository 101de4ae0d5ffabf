#pragma once
// The pictures of the base form's toolbar buttons and image list: 16 by 16 pixels (the
// submit and cancel buttons: strips of two 18 by 18 pictures, the second for the disabled
// button); the bottom-left pixel's colour is transparent.
#include "ui/picture.h"

namespace forms::glyphs {

ui::Picture Print();
ui::Picture Preview();
ui::Picture Seek();
ui::Picture Refresh();
ui::Picture First();
ui::Picture Prior();
ui::Picture Next();
ui::Picture Last();
ui::Picture New();
ui::Picture Edit();
ui::Picture Delete();
ui::Picture Ok();      // two frames
ui::Picture Cancel();  // two frames
ui::Picture Exit();

// The four images of the base form's image list.
ui::Picture Prohibited();
ui::Picture ProhibitedOutline();
ui::Picture Sigma();
ui::Picture SigmaOutline();

}  // namespace forms::glyphs
