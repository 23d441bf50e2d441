#pragma once

// Whether this process can show a window to a person: on Windows a visible
// window station outside session 0 on a machine with a desktop shell (not a
// service, a task run without a logged-on user, or Server Core); elsewhere a
// display server to connect to.
bool isInteractiveSession();
