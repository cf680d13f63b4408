#ifndef PROCESSSTATE_H
#define PROCESSSTATE_H

// The program keeps a few process-wide values (mode flags, the connected
// device's descriptions, the running command). The test main restores their
// start-up values before every test class; classes whose functions change
// them call it from init() as well. Each test folder links the definition
// that covers the libraries it tests.
void resetProcessState();

// The device link's share of those values.
void resetDeviceState();

#endif // PROCESSSTATE_H
