#pragma once

// Makes a process that dies abnormally (an access violation, a corrupt heap,
// abort(), an exception nobody caught) end with exitCode and a line on
// standard error, never with a code a monitor reads as success. Windows
// needs it: a crash there may end with 0 (as under Wine) or an NTSTATUS that
// schedulers show as a number. Elsewhere the signal's status says it already.
void exitWithCodeOnCrash(int exitCode);
