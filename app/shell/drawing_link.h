// The connection to the drawing library: opened while the main window is
// created (library, fonts, the drawing document, the Mervale variant's own
// file type, the print worker's progress hooks), closed when it closes.
#pragma once

#include <cstdint>

#include "jApi.h"

namespace vlx {

struct DrawingLinkSetup {
  const char* fontListPath;  // D\Tagwright.ini
  const char* fontFolder;    // D\FONT
  bool registersFileType;    // the variant's own drawing-file type
};

// jDrawOpen, the fonts, the drawing document (jDrawGDBOpen), the file type
// when the variant has one, and the progress hooks. The document handle, 0
// when the library gives none.
int32_t openDrawingLibrary(jHWND mainWindow, const DrawingLinkSetup& setup);
// jDrawGDBClose when a document is open; the handle becomes 0.
void closeDrawingDocument(int32_t* document);
// Ends the connection (jDrawClose); after the document is closed.
void closeDrawingLibrary();

}  // namespace vlx
