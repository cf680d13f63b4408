#ifndef PROCESSSTATE_H
#define PROCESSSTATE_H

// The program keeps a few process-wide values (mode flags, the connected
// device's descriptions, the running command). Every test class starts from
// their start-up values, whatever the class before it left behind.
void resetProcessState();

#endif // PROCESSSTATE_H
