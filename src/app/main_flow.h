// The program's whole interactive run, from the group dialog to the final key
// wait. It owns every value of the run and calls the other modules in order.
#pragma once

#include "host/platform/platform.h"

namespace lotrano {

// Runs the dialogue once. Both normal endings (an allocation written, or the
// ten-file stop) return 0; every other failure is thrown as a FatalError.
int runLotrano(const Platform& platform);

}  // namespace lotrano
