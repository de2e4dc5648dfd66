// What the job maker checks against the installation a hot folder belongs
// to before it makes a job: that one of its virtual devices prints for the
// machine, and that the page fits the machine's widest paper.
#pragma once

#include <string>

namespace jobmaker {

// The widest paper (roll width) of a machine in millimetres.
float widestPaperMm(const std::string& machine);
// The longest page the job maker makes, whatever the machine.
constexpr float kLongestPageMm = 20000;

// True when the device registry (printer\DEVICE.rgs beside the hot folder)
// has a device for machine and the page fits; else false with a message.
bool checkAgainstInstallation(const std::string& hotFolder, const std::string& machine, float widthMm, float heightMm,
                              std::string* error);

}  // namespace jobmaker
