// The application object: prepares the process and runs the controller
// modally for the life of the process.
#pragma once

class CTallowenApp {
 public:
  // Returns when the controller's run has ended; the process then exits.
  void Run();
};
