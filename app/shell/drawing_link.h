// The connection to the drawing library: opened while the main window is
// created, closed when it closes.
#pragma once

#include <cstdint>

#include "jApi.h"

namespace vlx {

// jDrawOpen, then the drawing document with jDrawGDBOpen. The document
// handle, 0 when the library gives none.
int32_t openDrawingLibrary(jHWND mainWindow);
// jDrawGDBClose when a document is open; the handle becomes 0.
void closeDrawingDocument(int32_t* document);
// Ends the connection (jDrawClose); after the document is closed.
void closeDrawingLibrary();

}  // namespace vlx
