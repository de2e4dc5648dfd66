// The steps of one job behind the document and page exports. Each takes a
// host job context whose record is open (the exports check that first).
#pragma once

#include <cstdint>

#include "PrintDriver.h"
#include "driver/raster/page_geometry.h"

namespace rx3 {

int startDocument(jHostJobContext* context);
int endDocument(jHostJobContext* context);
int startPage(jHostJobContext* context, UnitRect page);
int endPage(jHostJobContext* context, int abort);
int drawPage(jHostJobContext* context, UnitRect band);
// Rows rendered at a time by drawPage; 0 (the default) takes as many as fit
// about 1 MB (on one thread) or a pipeline strip. Small chunks let short
// test pages cross chunk borders.
void setRenderChunkRows(int32_t rows);

// Ends whatever job an open record still carries, for a record that is
// closed, reopened or loaded over while a document is open: an open page
// ends with the abort trailer and is accounted, the channel is closed, and
// the page buffers and the colour transform are freed. Returns 1.
int abandonJob(DeviceRecord* record);

// The host's progress hooks, each call skipped when the host gave none.
void* progressBegin(const jHostJobContext* context);
void progressStep(const jHostJobContext* context, void* progress, int position, const char* text);
void progressEnd(const jHostJobContext* context, void* progress);
int progressYield(const jHostJobContext* context, void* progress);  // 1 = go on

}  // namespace rx3
