#pragma once

// Ctrl+C asks a run to stop instead of ending the process, so that what was
// written stays whole and the run can close its output. The first one
// raises the flag and puts the system's handling back, so a second Ctrl+C
// ends the process at once.
class InterruptFlag {
 public:
  // Catches the next Ctrl+C (SIGINT); lowers the flag.
  static void install();
  static bool raised();
};
