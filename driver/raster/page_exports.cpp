// The document and page exports of the plug-in. Each refuses (0) a context
// without an open machine record before any step runs; jPrintEndDoc still
// answers 1, as there is nothing to close.
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/page_steps.h"

namespace {

bool isOpen(const jHostJobContext* context) {
  return context && context->device && context->device->state;
}

}  // namespace

extern "C" {

int jPrintStartDoc(jHostJobContext* context) {
  return isOpen(context) ? rx3::startDocument(context) : 0;
}

int jPrintEndDoc(jHostJobContext* context) {
  return isOpen(context) ? rx3::endDocument(context) : 1;
}

int jPrintStartPage(jHostJobContext* context, float x0, float y0, float x1, float y1) {
  return isOpen(context) ? rx3::startPage(context, rx3::UnitRect{x0, y0, x1, y1}) : 0;
}

int jPrintDrawPage(jHostJobContext* context, float x0, float y0, float x1, float y1) {
  return isOpen(context) ? rx3::drawPage(context, rx3::UnitRect{x0, y0, x1, y1}) : 0;
}

int jPrintEndPage(jHostJobContext* context, int abort) {
  return isOpen(context) ? rx3::endPage(context, abort) : 0;
}

}  // extern "C"
