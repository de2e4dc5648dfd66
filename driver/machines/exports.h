// The plug-in's exported interface: the 20 jPrint functions, three of our
// own and the colour callback, as the printing-device layer looks them up by
// name (undecorated, listed in resources/RX3.def). Results: 1 success, 0 failure unless noted.
#pragma once

#include <cstdint>

#include "Device.h"
#include "PrintDriver.h"

extern "C" {

// Machines and their settings.
int jPrintEnumMachine(jPrintEnumCallback callback);  // number of table rows
int jPrintOpenMachine(DeviceRecord* record);
int jPrintCloseMachine(DeviceRecord* record);
int jPrintSaveMachine(DeviceRecord* record);
int jPrintLoadMachine(DeviceRecord* record);
int jPrintGetDeviceName(DeviceRecord* record, char* device260, char* port260);
int jPrintSetDeviceName(DeviceRecord* record, const char* device, const char* port);
ColorProfile jPrintGetCpf(DeviceRecord* record);
int jPrintSetCpf(DeviceRecord* record, ColorProfile profile);
int jPrintSetupMachine(DeviceRecord* record, jHWND parent);  // dialog result
int jPrintSetup(jHostJobContext* context);
jCMS jPrintCmsSetup(const ColorProfile* profile);  // 0 on failure

// One job.
int jPrintStartDoc(jHostJobContext* context);
int jPrintStartPage(jHostJobContext* context, float x0, float y0, float x1, float y1);
int jPrintDrawPage(jHostJobContext* context, float x0, float y0, float x1, float y1);
int jPrintEndPage(jHostJobContext* context, int abort);
int jPrintEndDoc(jHostJobContext* context);

// The ink account.
int jPrintLoadInk(DeviceRecord* record, InkEntry* inks);  // ink count
int jPrintSaveInk(DeviceRecord* record, InkEntry* inks);
int jPrintSetupInk(DeviceRecord* record, jHWND parent);  // dialog result

// Ours (PrintDriver.h): a job's settings image, and dry runs.
int jPrintSetSettings(DeviceRecord* record, const void* image, int size);
int jPrintGetInkSetName(DeviceRecord* record, char* text, int size);
int jPrintGetPageDots(DeviceRecord* record, float x0, float y0, float x1, float y1, int32_t* width, int32_t* height);
int jPrintBeginDryRun(DeviceRecord* record);
int jPrintEndDryRun(DeviceRecord* record);

// The default colour conversion (four values changed in place).
int RgbToCmykFunc16(int32_t* values);
}
