// Saving what the window shows as a PNG picture in the user's pictures folder.
#ifndef ORRERY_GFX_SCREENSHOT_H
#define ORRERY_GFX_SCREENSHOT_H

#include <cstddef>

// Saves the region (0, 0, width, height) of the back buffer, right way up, as
// a new file orrery-YYYYMMDD-HHMMSS.png (local time) in PicturesFolder(); when
// that name is taken, "-2", "-3"... go before ".png", so no file is replaced.
// Call it after the frame is drawn and before the buffers are swapped. The
// pack pixel store and the read buffer are left as they were; any pending GL
// error flags are cleared. 1 with the file's path in savedPath; 0 when nothing
// was saved, savedPath then holding the path tried (empty when none was
// chosen, cut short when it did not fit). Prints nothing.
int SaveWindowPicture(int width, int height, char* savedPath, size_t savedPathSize);

#endif
