// The steps of one job behind the document and page exports. Each takes a
// host job context whose record is open (the exports check that first).
#pragma once

#include "PrintDriver.h"
#include "driver/raster/page_geometry.h"

namespace rx3 {

int startDocument(jHostJobContext* context);
int endDocument(jHostJobContext* context);
int startPage(jHostJobContext* context, UnitRect page);
int endPage(jHostJobContext* context, int abort);
int drawPage(jHostJobContext* context, UnitRect band);

// The host's progress hooks, each call skipped when the host gave none.
void* progressBegin(const jHostJobContext* context);
void progressStep(const jHostJobContext* context, void* progress, int position, const char* text);
void progressEnd(const jHostJobContext* context, void* progress);
int progressYield(const jHostJobContext* context, void* progress);  // 1 = go on

}  // namespace rx3
