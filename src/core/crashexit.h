#pragma once

// Makes a process that dies abnormally (an access violation, a corrupt heap,
// abort(), an exception nobody caught) end with exitCode and a line on
// standard error, never with a code a monitor reads as success. Windows
// needs it: a crash there may end with 0 (as under Wine) or an NTSTATUS that
// schedulers show as a number. Elsewhere the signal's status says it already.
void exitWithCodeOnCrash(int exitCode);

// Ends the process with exitCode once main() is done with everything it owns.
// On Windows the process ends at once, flushed but without the runtime's own
// teardown: after a fleet's worker threads, MinGW's runtime under Wine was
// seen to hang there for good, the report written, a monitor left waiting.
[[noreturn]] void endProcess(int exitCode);
// Ends the process with exitCode now, its output flushed, without waiting for
// other threads or the runtime's teardown.
[[noreturn]] void endProcessNow(int exitCode);
