// Process entry: prepares the system's platform and runs the dialogue on it.
#include "app/process_entry.h"
#include "host/platform/platform.h"

int main() { return lotrano::runLotranoProcess(lotrano::systemPlatform()); }
