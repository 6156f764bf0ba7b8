#pragma once

// A request to end kinemora_xplane: Ctrl+C, Ctrl+Break or closing the console
// window on Windows; SIGINT, SIGTERM or SIGHUP elsewhere. The main loop ends
// its subscriptions before the program ends. One file per platform.

// Starts catching the requests.
void CatchEndRequests();

bool EndRequested();

// Tells that the subscriptions have ended: Windows ends the process as soon as
// the handler of a closing window returns, so that handler waits for this.
void EndRequestAnswered();
