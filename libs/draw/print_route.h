// The inner print of the printing-device layer, with a route that a print
// other than the queue's own (a dry run) uses to adjust the opened record,
// to take the place of the installed progress hooks and to read the record
// before it is closed.
#pragma once

#include "Draw.h"
#include "libs/draw/driver_plugins.h"

namespace jdraw {

class PrintRoute {
 public:
  virtual ~PrintRoute() = default;
  // The opened record before its first page; false fails the print.
  virtual bool prepare(const DriverExports& driver, DeviceRecord* record) = 0;
  // Each page ahead, in the host's units, before the first is printed;
  // false fails the print before it starts.
  virtual bool pageAhead(const DriverExports&, DeviceRecord*, int /*page*/, float /*x0*/, float /*y0*/, float /*x1*/,
                         float /*y1*/) {
    return true;
  }
  // After the last page, before the record is closed (also after a failure).
  virtual void finish(const DriverExports& driver, DeviceRecord* record) = 0;
  // The hooks the pages report to instead of the installed ones.
  virtual jProgressHooks hooks() const = 0;
};

// jPdevPrint / jPdevPrintTile (tileBlock null for the whole area); route
// null prints as the queue does.
int printDocument(jHWND window, int32_t document, jDEVICE device, const void* tileBlock, const void* setting,
                  PrintRoute* route);

}  // namespace jdraw
